#pragma once
// Binding a method of CL_GL010C into the dispatch table. The method's C++
// signature decides how each argument travels: `T &` by reference (written
// back after the call), `T` by value, `T *` optional by reference (nullptr
// when omitted), `W *` for a QObject type an object passed as its handle
// (by value, declared Object). The declared types must agree with the C++
// types; a registration that does not is caught when the table is built.

#include "platform/desktop/handles.h"
#include "util/cl_gl010c.h"
#include "util/gl010c_dispatch.h"

#include <QObject>
#include <QWidget>
#include <concepts>
#include <initializer_list>
#include <tuple>
#include <type_traits>
#include <utility>

namespace tambolin::dispatch {

struct Param {
    const char *name;
    VarType type;
};

template <class T> struct ValueTraits {
    static constexpr bool isArray = false;
    static bool matches(VarType t) {
        if constexpr (std::is_same_v<T, QString>)
            return t == VarType::String;
        else if constexpr (std::is_same_v<T, Long>)
            return t == VarType::Long || t == VarType::Object;
        else if constexpr (std::is_same_v<T, Integer>)
            return t == VarType::Integer || t == VarType::Boolean;
        else if constexpr (std::is_same_v<T, double>)
            return t == VarType::Double || t == VarType::Date;
        else if constexpr (std::is_same_v<T, QVariant>)
            return t == VarType::Variant;
        else
            return false;
    }
    static T from(const QVariant &v) {
        if constexpr (std::is_same_v<T, QVariant>)
            return v;
        else
            return v.value<T>();
    }
    static QVariant to(const T &value) {
        if constexpr (std::is_same_v<T, QVariant>)
            return value;
        else
            return QVariant::fromValue(value);
    }
};

template <class E> struct ValueTraits<BasicArray<E>> {
    static constexpr bool isArray = true;
    static bool matches(VarType t) { return ValueTraits<E>::matches(t); }
    static BasicArray<E> from(const QVariant &v) {
        const VariantArray in = v.value<VariantArray>();
        BasicArray<E> out;
        out.lower = in.lower;
        for (const QVariant &item : in.items)
            out.items.push_back(ValueTraits<E>::from(item));
        return out;
    }
    static QVariant to(const BasicArray<E> &value) {
        VariantArray out;
        out.lower = value.lower;
        for (const E &item : value.items)
            out.items.push_back(ValueTraits<E>::to(item));
        return QVariant::fromValue(out);
    }
};

// An object argument as it travels: the handle of its widget.
struct ObjectHandle {
    Long handle = 0;
};

template <> struct ValueTraits<ObjectHandle> {
    static constexpr bool isArray = false;
    static bool matches(VarType t) { return t == VarType::Object; }
    static ObjectHandle from(const QVariant &v) { return {v.value<Long>()}; }
    static QVariant to(const ObjectHandle &value) { return QVariant::fromValue(value.handle); }
};

// How one argument is held during a call.
template <class P> struct Holder { // by value
    using Value = std::remove_cvref_t<P>;
    static constexpr bool byValue = true, optional = false;
    Value value;
    explicit Holder(const std::optional<QVariant> &a) : value(ValueTraits<Value>::from(*a)) {}
    Value get() { return value; }
    void writeBack(std::optional<QVariant> &) const {}
};

template <class T> struct Holder<T &> { // by reference
    using Value = T;
    static constexpr bool byValue = false, optional = false;
    T value;
    explicit Holder(const std::optional<QVariant> &a) : value(ValueTraits<T>::from(*a)) {}
    T &get() { return value; }
    void writeBack(std::optional<QVariant> &a) const { a = ValueTraits<T>::to(value); }
};

template <class T> struct Holder<T *> { // optional, by reference
    using Value = T;
    static constexpr bool byValue = false, optional = true;
    std::optional<T> value;
    explicit Holder(const std::optional<QVariant> &a) {
        if (a)
            value = ValueTraits<T>::from(*a);
    }
    T *get() { return value ? &*value : nullptr; }
    void writeBack(std::optional<QVariant> &a) const {
        if (value)
            a = ValueTraits<T>::to(*value);
    }
};

// An object by its handle: nullptr when the handle names no live widget of
// the kind the method wants. The caller's handle comes back unchanged.
template <class W>
requires std::derived_from<W, QObject>
struct Holder<W *> {
    using Value = ObjectHandle;
    static constexpr bool byValue = true, optional = false;
    W *object;
    explicit Holder(const std::optional<QVariant> &a)
        : object(qobject_cast<W *>(widgetOf(ValueTraits<ObjectHandle>::from(*a).handle))) {}
    W *get() { return object; }
    void writeBack(std::optional<QVariant> &) const {}
};

template <class R, class... P, std::size_t... I>
QVariant callBound(CL_GL010C &object, R (CL_GL010C::*method)(P...), Arguments &args,
                   std::index_sequence<I...>) {
    std::tuple<Holder<P>...> holders{Holder<P>(args[I])...};
    QVariant result;
    if constexpr (std::is_void_v<R>)
        (object.*method)(std::get<I>(holders).get()...);
    else
        result = ValueTraits<R>::to((object.*method)(std::get<I>(holders).get()...));
    (std::get<I>(holders).writeBack(args[I]), ...);
    return result;
}

template <class R, class... P>
void addMember(DispatchTable &table, bool windowed, const char *name, std::optional<VarType> result,
               std::initializer_list<Param> params, R (CL_GL010C::*method)(P...)) {
    MemberSpec member;
    member.name = QString::fromLatin1(name);
    member.windowed = windowed;
    member.result = result;
    bool agrees = params.size() == sizeof...(P);
    if constexpr (std::is_void_v<R>)
        agrees = agrees && !result;
    else
        agrees = agrees && result && ValueTraits<R>::matches(*result);
    if (agrees) {
        const Param *p = params.begin();
        auto describe = [&]<class H>(std::type_identity<H>) {
            using V = typename H::Value;
            ParamInfo param{QString::fromLatin1(p->name), p->type, ValueTraits<V>::isArray,
                            H::byValue, H::optional};
            agrees = agrees && ValueTraits<V>::matches(p->type);
            member.params.push_back(param);
            ++p;
        };
        (describe(std::type_identity<Holder<P>>{}), ...);
        (void)describe; // a member without parameters describes none
    }
    if (!agrees)
        qFatal("CL_GL010C dispatch: declared types of %s do not match the method", name);
    member.invoke = [method](CL_GL010C &object, Arguments &args) {
        return callBound(object, method, args, std::index_sequence_for<P...>{});
    };
    table.add(std::move(member));
}

template <class R, class... P>
void add(DispatchTable &table, const char *name, std::optional<VarType> result,
         std::initializer_list<Param> params, R (CL_GL010C::*method)(P...)) {
    addMember(table, false, name, result, params, method);
}

// A member that shows a dialog or works on windows.
template <class R, class... P>
void addWindowed(DispatchTable &table, const char *name, std::optional<VarType> result,
                 std::initializer_list<Param> params, R (CL_GL010C::*method)(P...)) {
    addMember(table, true, name, result, params, method);
}

} // namespace tambolin::dispatch

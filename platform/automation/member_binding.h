#pragma once
// Binding a method of a class into its member table. The method's C++
// signature decides how each argument travels: `T &` by reference (written
// back after the call), `T` by value, `T *` optional by reference (nullptr
// when omitted). The declared types must agree with the C++ types; a
// binding that does not is caught when the table is built.

#include "platform/automation/member_entry.h"

#include <QByteArray>
#include <concepts>
#include <initializer_list>
#include <tuple>
#include <type_traits>
#include <utility>

namespace tambolin::automation {

struct Param {
    const char *name;
    VarType type;
};

// An array type with a lower bound and its items (the class's own arrays).
template <class A>
concept BoundedArray = requires(A a) {
    { a.lower } -> std::convertible_to<Long>;
    typename decltype(A::items)::value_type;
};

// A C++ value to and from its variant form.
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
        else if constexpr (std::is_same_v<T, QByteArray>)
            return t == VarType::Bytes;
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

template <BoundedArray A> struct ValueTraits<A> {
    using Item = typename decltype(A::items)::value_type;
    static constexpr bool isArray = true;
    static bool matches(VarType t) { return ValueTraits<Item>::matches(t); }
    static A from(const QVariant &v) {
        const VariantArray in = v.value<VariantArray>();
        A out;
        out.lower = in.lower;
        for (const QVariant &item : in.items)
            out.items.push_back(ValueTraits<Item>::from(item));
        return out;
    }
    static QVariant to(const A &value) {
        VariantArray out;
        out.lower = value.lower;
        for (const Item &item : value.items)
            out.items.push_back(ValueTraits<Item>::to(item));
        return QVariant::fromValue(out);
    }
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

template <class R, class... P, class C, class M, std::size_t... I>
QVariant callBound(C &object, M method, Arguments &args, std::index_sequence<I...>) {
    std::tuple<Holder<P>...> holders{Holder<P>(args[I])...};
    QVariant result;
    if constexpr (std::is_void_v<R>)
        (object.*method)(std::get<I>(holders).get()...);
    else
        result = ValueTraits<R>::to((object.*method)(std::get<I>(holders).get()...));
    (std::get<I>(holders).writeBack(args[I]), ...);
    return result;
}

template <class C, class R, class... P, class M>
MemberEntry<C> makeEntry(const char *name, std::optional<VarType> result,
                         std::initializer_list<Param> params, M method) {
    MemberEntry<C> member;
    member.name = QString::fromLatin1(name);
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
            agrees = agrees && ValueTraits<V>::matches(p->type);
            member.params.push_back({QString::fromLatin1(p->name), p->type, ValueTraits<V>::isArray,
                                     H::byValue, H::optional});
            ++p;
        };
        (describe(std::type_identity<Holder<P>>{}), ...);
        (void)describe; // a member without parameters describes none
    }
    if (!agrees)
        qFatal("automation: declared types of %s do not match the method", name);
    member.invoke = [method](C &object, Arguments &args) {
        return callBound<R, P...>(object, method, args, std::index_sequence_for<P...>{});
    };
    return member;
}

// A member calling method, named name, with its result's and parameters'
// declared types; its identifier and kind are the table's to set.
template <class C, class R, class... P>
MemberEntry<C> bind(const char *name, std::optional<VarType> result,
                    std::initializer_list<Param> params, R (C::*method)(P...)) {
    return makeEntry<C, R, P...>(name, result, params, method);
}

template <class C, class R, class... P>
MemberEntry<C> bind(const char *name, std::optional<VarType> result,
                    std::initializer_list<Param> params, R (C::*method)(P...) const) {
    return makeEntry<C, R, P...>(name, result, params, method);
}

} // namespace tambolin::automation

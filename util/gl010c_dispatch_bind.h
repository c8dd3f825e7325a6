#pragma once
// Binding a method of CL_GL010C into the dispatch table (see
// platform/automation/member_binding.h for how arguments travel). Here
// besides: `W *` for a QObject type is an object passed as its handle (by
// value, declared Object).

#include "platform/automation/member_binding.h"
#include "platform/desktop/handles.h"
#include "util/cl_gl010c.h"
#include "util/gl010c_dispatch.h"

#include <QObject>
#include <QWidget>

namespace tambolin::automation {

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

} // namespace tambolin::automation

namespace tambolin::dispatch {

using automation::Param;

template <class M>
void add(DispatchTable &table, const char *name, std::optional<VarType> result,
         std::initializer_list<Param> params, M method) {
    table.add(automation::bind(name, result, params, method));
}

// A member that shows a dialog or works on windows.
template <class M>
void addWindowed(DispatchTable &table, const char *name, std::optional<VarType> result,
                 std::initializer_list<Param> params, M method) {
    MemberEntry member = automation::bind(name, result, params, method);
    member.windowed = true;
    table.add(std::move(member));
}

} // namespace tambolin::dispatch

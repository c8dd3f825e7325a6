#pragma once
// Members of an automation object: each with its name, dispatch identifier,
// how it is invoked, its parameters' declared types and the method it calls.
// A host calls a member by name or identifier with its arguments by
// reference: after the call they hold the values the member left in them.

#include "platform/automation/variant_value.h"

#include <QString>
#include <QStringView>
#include <QVariant>
#include <QVariantList>
#include <functional>
#include <optional>
#include <vector>

namespace tambolin::automation {

// How a member is invoked; a caller may ask for several at once.
enum Kind : int { Method = 1, PropertyGet = 2, PropertyPut = 4, AnyKind = 7 };

struct ParamInfo {
    QString name;
    VarType type = VarType::Variant;
    bool isArray = false;  // an array of `type`
    bool byValue = false;  // the method works on a copy
    bool optional = false; // may be omitted
};

// One value per parameter, held as its declared type (see variant_value.h);
// std::nullopt for an omitted optional argument.
using Arguments = std::vector<std::optional<QVariant>>;

// What callers can know of a member.
struct MemberInfo {
    Long id = -1;
    QString name;
    Kind kind = Method; // a property's read and write are two members sharing one identifier
    std::vector<ParamInfo> params;
    std::optional<VarType> result; // none for a member without a result
    // Shows a dialog or works on windows, so it needs the window system.
    bool windowed = false;

    std::size_t requiredCount() const;
};

// A member of class C, with the call that runs it on an object.
template <class C> struct MemberEntry : MemberInfo {
    std::function<QVariant(C &, Arguments &)> invoke;
};

// The members of class C in the order they were added.
template <class C> class MemberTable {
public:
    void add(MemberEntry<C> member) { m_members.push_back(std::move(member)); }
    const std::vector<MemberEntry<C>> &members() const { return m_members; }

    // The first member of that name (any letter case) or identifier invoked
    // in one of the ways kind allows; nullptr when there is none.
    const MemberEntry<C> *byName(QStringView name, int kind = AnyKind) const {
        return find([&](const MemberInfo &m) {
            return (m.kind & kind) && m.name.compare(name, Qt::CaseInsensitive) == 0;
        });
    }
    const MemberEntry<C> *byId(Long id, int kind = AnyKind) const {
        return find([&](const MemberInfo &m) { return (m.kind & kind) && m.id == id; });
    }

protected:
    std::vector<MemberEntry<C>> m_members;

private:
    template <class F> const MemberEntry<C> *find(F matches) const {
        for (const MemberEntry<C> &m : m_members)
            if (matches(m))
                return &m;
        return nullptr;
    }
};

// Whether member takes `given` arguments; *error says what it takes when not.
bool acceptsArgumentCount(const MemberInfo &member, std::size_t given, QString *error);

// Checks the arguments against the member's parameters (count, types) and
// pads omitted trailing optionals; *error says why when they do not fit.
Status checkArguments(const MemberInfo &member, Arguments &args, QString *error);

// Checks the arguments, calls the method and leaves every by-reference
// argument as the method left it; *result is the method's result (invalid
// for a member without one). Nothing is called when the arguments do not fit.
template <class C>
Status invokeMember(C &object, const MemberEntry<C> &member, Arguments &args, QVariant *result,
                    QString *error = nullptr) {
    const Status status = checkArguments(member, args, error);
    if (status != Status::Ok)
        return status;
    const QVariant value = member.invoke(object, args);
    if (result)
        *result = value;
    return status;
}

struct Outcome {
    Status status = Status::Ok;
    QVariant result; // invalid for a member without a result
};

// The arguments of a host's call: every value changed to its parameter's
// type (an array must already be one).
Status changeArguments(const MemberInfo &member, const QVariantList &values, Arguments &args);

// A host's call of member (nullptr: not found): values are changed to the
// parameters' types first, and come back as the member left them.
template <class C>
Outcome invokeWithValues(C &object, const MemberEntry<C> *member, QVariantList &values) {
    if (!member)
        return {Status::MemberNotFound, {}};
    Arguments args;
    Outcome out;
    out.status = changeArguments(*member, values, args);
    if (out.status == Status::Ok)
        out.status = invokeMember(object, *member, args, &out.result);
    if (out.status == Status::Ok)
        for (qsizetype i = 0; i < values.size(); ++i)
            values[i] = *args[static_cast<std::size_t>(i)];
    return out;
}

} // namespace tambolin::automation

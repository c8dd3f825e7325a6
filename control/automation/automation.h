#pragma once
// The automation interface of the player control: `_PLAYCTRL`, its members
// in interface order with their dispatch identifiers, and the empty event
// interface `__PLAYCTRL`. A host invokes a member by name or by identifier,
// with its arguments by reference: the argument list comes back holding the
// values the member left in them.

#include "platform/automation/member_entry.h"

#include <QString>
#include <QVariantList>
#include <vector>

namespace tambolin {

class PLAYCTRL;

namespace automation {

inline constexpr const char *kInterfaceName = "_PLAYCTRL";
inline constexpr const char *kInterfaceId = "{3BAA860A-1C43-4079-B4E3-6E61A214C9FE}";
inline constexpr const char *kEventInterfaceName = "__PLAYCTRL";
inline constexpr const char *kEventInterfaceId = "{6C5A6081-FF1F-4DC3-922F-4862DAAC28C5}";

using Member = MemberEntry<PLAYCTRL>;

// The members of `_PLAYCTRL`, in interface order (a property's read and
// write are two entries sharing one identifier).
const std::vector<Member> &interfaceMembers();
// The members of `__PLAYCTRL`: none.
const std::vector<Member> &eventMembers();

inline constexpr Long kUnknownName = -1;
// The identifier of a member; names compare without regard to letter case.
Long GetIDsOfNames(const QString &name);

// Invokes a member on ctrl. Strings, numbers, Booleans and byte arrays are
// changed to the parameter's type as a host's values would be; after the
// call each argument holds the value the member left in it.
Outcome Invoke(PLAYCTRL &ctrl, Long dispid, int kind, QVariantList &args);
Outcome Invoke(PLAYCTRL &ctrl, const QString &name, int kind, QVariantList &args);

// The member an identifier and invocation kind select, or nullptr.
const Member *findMember(Long dispid, int kind);

} // namespace automation
} // namespace tambolin

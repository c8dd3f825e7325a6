#pragma once
// The utility class as an automation object: its members by identifier
// (slot order, from 0) and by name, each with its parameters' declared types
// and the call of the real method with its arguments by reference. Every
// member of the class is present, each family registering its own.

#include "platform/automation/member_entry.h"

#include <QStringList>

namespace tambolin {

class CL_GL010C;

using automation::Arguments;
using automation::ParamInfo;
using automation::VariantArray;
using automation::VarType;
using MemberEntry = automation::MemberEntry<CL_GL010C>;

class DispatchTable final : public automation::MemberTable<CL_GL010C> {
public:
    // The class's table, built once, in identifier order.
    static const DispatchTable &instance();
    // Every member name of the class in slot order; the index is the identifier.
    static const QStringList &slotNames();

    // Used by the families' registration: the identifier comes from the slot
    // order; an unknown or repeated name is a programming error.
    void add(MemberEntry member);

private:
    DispatchTable() = default;
};

} // namespace tambolin

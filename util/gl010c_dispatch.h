#pragma once
// The utility class as an automation object: its members by identifier
// (slot order, from 0) and by name, each with its parameters' declared types
// and an invoker that calls the real method with its arguments by reference.
// Every member of the class is present, each family registering its own.

#include "platform/runtime/basic_runtime.h"
#include "util/gl010c_array.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <optional>
#include <vector>

namespace tambolin {

class CL_GL010C;

enum class VarType { String, Long, Integer, Boolean, Double, Date, Variant, Object };

QString typeName(VarType type);

struct ParamInfo {
    QString name;
    VarType type = VarType::Variant;
    bool isArray = false;  // an array of `type`
    bool byValue = false;  // the method works on a copy
    bool optional = false; // may be omitted
};

// One value per parameter; std::nullopt for an omitted optional argument.
// Values are held as: String QString, Long and Object qint32, Integer and
// Boolean qint16, Double and Date double, Variant any (invalid = Empty),
// arrays BasicArray<QVariant> of those.
using Arguments = std::vector<std::optional<QVariant>>;
using VariantArray = BasicArray<QVariant>;

using Invoker = std::function<QVariant(CL_GL010C &, Arguments &)>;

struct MemberSpec {
    Long id = -1;
    QString name;
    std::vector<ParamInfo> params;
    std::optional<VarType> result; // none for a member without a result
    Invoker invoke;
    // Shows a dialog or works on windows, so it needs the window system.
    bool windowed = false;

    std::size_t requiredCount() const;
};

class DispatchTable final {
public:
    // The class's table, built once.
    static const DispatchTable &instance();
    // Every member name of the class in slot order; the index is the identifier.
    static const QStringList &slotNames();

    // Case-insensitive; nullptr when the member is unknown or not built.
    const MemberSpec *byName(QStringView name) const;
    const MemberSpec *byId(Long id) const;
    // The members present, in identifier order.
    const std::vector<MemberSpec> &members() const { return m_members; }

    // Used by the families' registration: the identifier comes from the slot
    // order; an unknown or repeated name is a programming error.
    void add(MemberSpec member);

private:
    DispatchTable() = default;
    std::vector<MemberSpec> m_members;
};

enum class InvokeStatus { Ok, WrongArgumentCount, WrongArgumentType };

// The value form a parameter's argument must hold (see Arguments).
bool holdsDeclaredType(const QVariant &value, const ParamInfo &param);

// Whether member takes `given` arguments; *error says what it takes when not.
bool acceptsArgumentCount(const MemberSpec &member, std::size_t given, QString *error);

// Checks the arguments against the member's parameters (count, types),
// pads omitted trailing optionals, calls the method and leaves every
// by-reference argument as the method left it. result is the method's
// result (invalid for a member without one).
InvokeStatus invokeMember(CL_GL010C &object, const MemberSpec &member, Arguments &args,
                          QVariant *result, QString *error = nullptr);

} // namespace tambolin

Q_DECLARE_METATYPE(tambolin::VariantArray)

#pragma once
// Calling a member of CL_GL010C from text, as the command line does: each
// argument text is converted by its parameter's declared type, and the
// outcome is written as JSON {"result": R, "args": [...]} with every
// argument's value after the call (see cli/json_writer.h).
//
// Argument texts: String as given; Long, Integer and Object as decimal
// integers in range; Boolean true/false/-1/0; Double a number; Date an ISO
// date-time (2000-03-10T12:00:00[.000]) or a day count; Variant a JSON value
// (number, string, true/false, null) or, when the text is not JSON, the text
// as a string; arrays a JSON array (lower bound 0) or an object
// {"base": L, "items": [...]}. The text "--omit" leaves an optional argument
// out; trailing optional arguments may simply be left off.

#include "util/gl010c_dispatch.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace tambolin::cli {

inline constexpr char omitArgument[] = "--omit";

struct CallOutcome {
    int status = 0; // 0 when called, 2 for an unknown member or unusable arguments
    QString json;   // the outcome, when called
    QString error;  // a message for people, otherwise
};

// method is a member name (any case) or "#" and its identifier; nullptr with
// *error set when there is no such member.
const MemberEntry *findMember(const QString &method, QString *error);

// method is a member name (any case) or "#" and its identifier.
CallOutcome callFromText(const QString &method, const QStringList &args);

// One argument text converted for param; std::nullopt with *error set when
// it cannot be converted. Omission is handled by the caller.
std::optional<QVariant> parseArgument(const QString &text, const ParamInfo &param, QString *error);

// One line per member present: "#id name(param: Type, ...): Result".
QStringList memberSignatures();

} // namespace tambolin::cli

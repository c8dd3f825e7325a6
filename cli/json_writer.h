#pragma once
// JSON text as the tool writes it: strings with control characters, NUL and
// unpaired surrogates escaped, numbers in their shortest exact form, and the
// values of the utility class's members by their declared types: Long,
// Integer and Double as numbers, Boolean as true/false, Date as an ISO text,
// arrays as a JSON array (lower bound 0) or {"base": L, "items": [...]},
// Empty and an omitted value as null.

#include "util/gl010c_dispatch.h"

#include <QString>
#include <QVariant>
#include <optional>

namespace tambolin::cli {

QString jsonString(const QString &text);
// null for infinities and NaN.
QString jsonNumber(double d);
// The JSON form of a value held for a parameter or result of declared type.
QString toJson(const std::optional<QVariant> &value, VarType type, bool isArray);

} // namespace tambolin::cli

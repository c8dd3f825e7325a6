#pragma once
// The values automation members take and give, held in a QVariant: String
// as QString, Long and Object (a handle) as qint32, Integer and Boolean as
// qint16 (True = -1), Double and Date (a day count) as double, Bytes as
// QByteArray, Variant as anything (invalid = Empty), arrays as VariantArray
// of those.

#include "platform/runtime/basic_runtime.h"

#include <QString>
#include <QVariant>
#include <vector>

namespace tambolin::automation {

enum class VarType { String, Long, Integer, Boolean, Double, Date, Variant, Object, Bytes };

QString typeName(VarType type);

// An array as a caller dimensions it: any lower bound.
struct VariantArray {
    Long lower = 0;
    std::vector<QVariant> items;
    bool operator==(const VariantArray &) const = default;
};

// Whether value is held as a scalar of type, or as an array of it.
bool holdsType(const QVariant &value, VarType type, bool isArray);

// What a host asks for when its value is not of the parameter's type.
enum class Status { Ok, MemberNotFound, BadParamCount, TypeMismatch, Overflow };

struct Changed {
    Status status = Status::Ok;
    QVariant value;
};

// A host's value changed to a scalar of type, as hosts change variants:
// numbers round half to even into range (Overflow otherwise), texts are
// read as numbers or True/False, Booleans read -1 and 0, Empty is 0 or "".
// Bytes come from a byte array or a list of numbers 0..255.
Changed changeType(const QVariant &value, VarType type);

} // namespace tambolin::automation

Q_DECLARE_METATYPE(tambolin::automation::VariantArray)

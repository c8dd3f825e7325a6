#include "platform/automation/variant_value.h"

#include <QByteArray>
#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace tambolin::automation {

QString typeName(VarType type) {
    static const char *const names[] = {"String", "Long",    "Integer", "Boolean", "Double",
                                        "Date",   "Variant", "Object",  "Byte()"};
    return QString::fromLatin1(names[static_cast<int>(type)]);
}

namespace {

bool holdsScalar(const QVariant &value, VarType type) {
    const int id = value.metaType().id();
    switch (type) {
    case VarType::String:
        return id == QMetaType::QString;
    case VarType::Long:
    case VarType::Object:
        return id == QMetaType::Int;
    case VarType::Integer:
    case VarType::Boolean:
        return id == QMetaType::Short;
    case VarType::Double:
    case VarType::Date:
        return id == QMetaType::Double;
    case VarType::Bytes:
        return id == QMetaType::QByteArray;
    case VarType::Variant:
        return id != qMetaTypeId<VariantArray>();
    }
    return false;
}

// A host's value as a number: Booleans are -1 and 0, Empty is 0.
std::optional<double> numberOf(const QVariant &v) {
    bool ok = true;
    switch (v.typeId()) {
    case QMetaType::UnknownType:
        return 0.0;
    case QMetaType::Bool:
        return v.toBool() ? -1.0 : 0.0;
    case QMetaType::QString: {
        const double x = v.toString().trimmed().toDouble(&ok);
        return ok ? std::optional(x) : std::nullopt;
    }
    default: {
        const double x = v.toDouble(&ok);
        return ok ? std::optional(x) : std::nullopt;
    }
    }
}

// A whole number in lo..hi, rounded half to even.
Changed whole(const QVariant &v, double lo, double hi, std::optional<long long> *out) {
    const auto x = numberOf(v);
    if (!x)
        return {Status::TypeMismatch, {}};
    if (!std::isfinite(*x) || !(*x > lo - 0.5 && *x < hi + 0.5))
        return {Status::Overflow, {}};
    *out = static_cast<long long>(std::nearbyint(*x));
    return {};
}

template <class T> Changed wholeOfType(const QVariant &v) {
    std::optional<long long> n;
    Changed c = whole(v, std::numeric_limits<T>::min(), std::numeric_limits<T>::max(), &n);
    if (n)
        c.value = QVariant::fromValue(static_cast<T>(*n));
    return c;
}

} // namespace

bool holdsType(const QVariant &value, VarType type, bool isArray) {
    if (!isArray)
        return holdsScalar(value, type);
    if (value.metaType() != QMetaType::fromType<VariantArray>())
        return false;
    const VariantArray array = value.value<VariantArray>();
    return std::all_of(array.items.begin(), array.items.end(),
                       [&](const QVariant &item) { return holdsScalar(item, type); });
}

Changed changeType(const QVariant &v, VarType type) {
    switch (type) {
    case VarType::String:
        if (!v.isValid())
            return {Status::Ok, QString()};
        if (v.typeId() == QMetaType::Bool)
            return {Status::Ok, v.toBool() ? QStringLiteral("True") : QStringLiteral("False")};
        if (!v.canConvert<QString>())
            return {Status::TypeMismatch, {}};
        return {Status::Ok, v.toString()};
    case VarType::Integer:
        return wholeOfType<Integer>(v);
    case VarType::Long:
    case VarType::Object:
        return wholeOfType<Long>(v);
    case VarType::Boolean: {
        if (v.typeId() == QMetaType::QString) {
            const QString s = v.toString().trimmed();
            if (s.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
                return {Status::Ok, QVariant::fromValue(True)};
            if (s.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
                return {Status::Ok, QVariant::fromValue(False)};
        }
        Changed n = wholeOfType<Long>(v);
        if (n.status == Status::Ok)
            n.value = QVariant::fromValue(n.value.toInt() != 0 ? True : False);
        return n;
    }
    case VarType::Double:
    case VarType::Date: {
        const auto x = numberOf(v);
        if (!x)
            return {Status::TypeMismatch, {}};
        return std::isfinite(*x) ? Changed{Status::Ok, *x} : Changed{Status::Overflow, {}};
    }
    case VarType::Bytes: {
        if (v.typeId() == QMetaType::QByteArray)
            return {Status::Ok, v.toByteArray()};
        if (!v.canConvert<QVariantList>() || v.typeId() == QMetaType::QString)
            return {Status::TypeMismatch, {}};
        QByteArray bytes;
        for (const QVariant &item : v.toList()) {
            std::optional<long long> b;
            const Changed c = whole(item, 0, 255, &b);
            if (c.status != Status::Ok)
                return c;
            bytes.append(static_cast<char>(*b));
        }
        return {Status::Ok, bytes};
    }
    case VarType::Variant:
        break;
    }
    return {Status::Ok, v};
}

} // namespace tambolin::automation

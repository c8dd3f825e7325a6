#include "cli/json_writer.h"

#include "util/gl010c_date.h"

#include <QStringList>
#include <charconv>
#include <cmath>

namespace tambolin::cli {

namespace {

QString scalarJson(const QVariant &v, VarType type) {
    switch (type) {
    case VarType::String:
        return jsonString(v.toString());
    case VarType::Long:
    case VarType::Integer:
    case VarType::Object:
        return QString::number(v.toLongLong());
    case VarType::Boolean:
        return v.toLongLong() != 0 ? QStringLiteral("true") : QStringLiteral("false");
    case VarType::Double:
        return jsonNumber(v.toDouble());
    case VarType::Date: {
        const QDateTime dt = fromDate(v.toDouble());
        return dt.isValid() ? jsonString(dt.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz")))
                            : QStringLiteral("null");
    }
    case VarType::Variant:
    case VarType::Bytes:
        break;
    }
    // A Variant is written by what it holds.
    switch (v.metaType().id()) {
    case QMetaType::UnknownType:
        return QStringLiteral("null");
    case QMetaType::Bool:
        return v.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case QMetaType::QString:
        return jsonString(v.toString());
    case QMetaType::Double:
    case QMetaType::Float:
        return jsonNumber(v.toDouble());
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Char:
    case QMetaType::UChar:
        return QString::number(v.toLongLong());
    case QMetaType::ULongLong:
        return QString::number(v.toULongLong());
    default:
        break;
    }
    if (v.metaType() == QMetaType::fromType<VariantArray>())
        return toJson(v, VarType::Variant, true);
    return jsonString(v.toString());
}

} // namespace

QString jsonNumber(double d) {
    if (!std::isfinite(d))
        return QStringLiteral("null");
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, d);
    return QString::fromLatin1(buf, r.ptr - buf);
}

QString jsonString(const QString &text) {
    QString out = QStringLiteral("\"");
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const char16_t u = c.unicode();
        switch (u) {
        case u'"':
            out += QStringLiteral("\\\"");
            continue;
        case u'\\':
            out += QStringLiteral("\\\\");
            continue;
        case u'\b':
            out += QStringLiteral("\\b");
            continue;
        case u'\f':
            out += QStringLiteral("\\f");
            continue;
        case u'\n':
            out += QStringLiteral("\\n");
            continue;
        case u'\r':
            out += QStringLiteral("\\r");
            continue;
        case u'\t':
            out += QStringLiteral("\\t");
            continue;
        default:
            break;
        }
        // A surrogate without its partner cannot be written as UTF-8.
        const bool pairedHigh =
            c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        if (pairedHigh) {
            out += c;
            out += text[++i];
        } else if (u < 0x20 || u == 0x7F || c.isSurrogate()) {
            out += QStringLiteral("\\u%1").arg(static_cast<int>(u), 4, 16, QLatin1Char('0'));
        } else {
            out += c;
        }
    }
    out += u'"';
    return out;
}

QString toJson(const std::optional<QVariant> &value, VarType type, bool isArray) {
    if (!value)
        return QStringLiteral("null");
    if (!isArray)
        return scalarJson(*value, type);
    const VariantArray array = value->value<VariantArray>();
    QStringList items;
    for (const QVariant &item : array.items)
        items += scalarJson(item, type);
    const QString list = u'[' + items.join(QStringLiteral(", ")) + u']';
    if (array.lower == 0)
        return list;
    return QStringLiteral("{\"base\": %1, \"items\": %2}").arg(QString::number(array.lower), list);
}

} // namespace tambolin::cli

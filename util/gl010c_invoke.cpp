#include "util/gl010c_invoke.h"

#include "util/cl_gl010c.h"
#include "util/gl010c_date.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QRegularExpression>
#include <charconv>
#include <cmath>
#include <limits>

namespace tambolin {

namespace {

bool readInteger(const QString &text, long long lo, long long hi, long long *out) {
    static const QRegularExpression integer(QStringLiteral("^[+-]?[0-9]+$"));
    if (!integer.match(text).hasMatch())
        return false;
    bool ok = false;
    const long long v = text.toLongLong(&ok);
    if (!ok || v < lo || v > hi)
        return false;
    *out = v;
    return true;
}

std::optional<double> readDate(const QString &text) {
    bool ok = false;
    const double dayCount = QLocale::c().toDouble(text, &ok);
    if (ok && std::isfinite(dayCount) && fromDate(dayCount).isValid())
        return dayCount;
    QDateTime dt = QDateTime::fromString(text, Qt::ISODateWithMs);
    if (!dt.isValid()) {
        const QDate d = QDate::fromString(text, Qt::ISODate);
        if (d.isValid())
            dt = QDateTime(d, QTime(0, 0), Qt::UTC);
    }
    if (!dt.isValid() || dt.date().year() < 100 || dt.date().year() > 9999)
        return std::nullopt;
    return toDate(QDateTime(dt.date(), dt.time(), Qt::UTC));
}

QString jsonNumber(double d) {
    if (!std::isfinite(d))
        return QStringLiteral("null");
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, d);
    return QString::fromLatin1(buf, r.ptr - buf);
}

// A JSON scalar as a Variant argument: whole numbers that fit a Long as
// Long, other numbers as Double, booleans as Boolean, null as Empty.
std::optional<QVariant> variantFromJson(const QJsonValue &v) {
    switch (v.type()) {
    case QJsonValue::Null:
        return QVariant();
    case QJsonValue::Bool:
        return QVariant(v.toBool());
    case QJsonValue::String:
        return QVariant(v.toString());
    case QJsonValue::Double: {
        const double d = v.toDouble();
        if (std::trunc(d) == d && d >= std::numeric_limits<Long>::min() &&
            d <= std::numeric_limits<Long>::max())
            return QVariant::fromValue(static_cast<Long>(d));
        return QVariant(d);
    }
    default:
        return std::nullopt;
    }
}

std::optional<QVariant> scalarFromJson(const QJsonValue &v, VarType type) {
    switch (type) {
    case VarType::String:
        if (v.isString())
            return QVariant(v.toString());
        if (v.isDouble())
            return QVariant(jsonNumber(v.toDouble()));
        return std::nullopt;
    case VarType::Long:
    case VarType::Object:
    case VarType::Integer: {
        if (!v.isDouble())
            return std::nullopt;
        const double d = v.toDouble();
        const bool isLong = type != VarType::Integer;
        const double lo =
            isLong ? std::numeric_limits<Long>::min() : std::numeric_limits<Integer>::min();
        const double hi =
            isLong ? std::numeric_limits<Long>::max() : std::numeric_limits<Integer>::max();
        if (std::trunc(d) != d || d < lo || d > hi)
            return std::nullopt;
        return isLong ? QVariant::fromValue(static_cast<Long>(d))
                      : QVariant::fromValue(static_cast<Integer>(d));
    }
    case VarType::Boolean:
        if (!v.isBool())
            return std::nullopt;
        return QVariant::fromValue(v.toBool() ? True : False);
    case VarType::Double:
        if (!v.isDouble())
            return std::nullopt;
        return QVariant(v.toDouble());
    case VarType::Date:
        if (v.isDouble() && fromDate(v.toDouble()).isValid())
            return QVariant(v.toDouble());
        if (v.isString())
            if (const auto d = readDate(v.toString()))
                return QVariant(*d);
        return std::nullopt;
    case VarType::Variant:
        return variantFromJson(v);
    }
    return std::nullopt;
}

std::optional<QVariant> parseArray(const QString &text, VarType type) {
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(text.toUtf8(), &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return std::nullopt;
    VariantArray array;
    QJsonArray items;
    if (doc.isArray()) {
        items = doc.array();
    } else if (doc.isObject()) {
        const QJsonObject o = doc.object();
        const QJsonValue base = o.value(QStringLiteral("base"));
        const double b = base.toDouble(std::nan(""));
        if (o.size() != 2 || !o.value(QStringLiteral("items")).isArray() || !base.isDouble() ||
            std::trunc(b) != b || std::fabs(b) > 1e9)
            return std::nullopt;
        array.lower = static_cast<Long>(b);
        items = o.value(QStringLiteral("items")).toArray();
    } else {
        return std::nullopt;
    }
    for (const QJsonValue &item : items) {
        const auto value = scalarFromJson(item, type);
        if (!value)
            return std::nullopt;
        array.items.push_back(*value);
    }
    return QVariant::fromValue(array);
}

QString describe(const ParamInfo &param) {
    return (param.isArray ? QStringLiteral("an array of ") : QString()) + typeName(param.type);
}

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

const MemberSpec *findMember(const QString &method, QString *error) {
    const DispatchTable &table = DispatchTable::instance();
    Long id = -1;
    if (method.startsWith(u'#')) {
        long long n = 0;
        if (!readInteger(method.mid(1), 0, DispatchTable::slotNames().size() - 1, &n)) {
            *error = QStringLiteral("unknown method %1: identifiers run from #0 to #%2")
                         .arg(method, QString::number(DispatchTable::slotNames().size() - 1));
            return nullptr;
        }
        id = static_cast<Long>(n);
    } else {
        for (qsizetype i = 0; i < DispatchTable::slotNames().size(); ++i)
            if (DispatchTable::slotNames()[i].compare(method, Qt::CaseInsensitive) == 0)
                id = static_cast<Long>(i);
        if (id < 0) {
            *error = QStringLiteral("unknown method %1").arg(method);
            return nullptr;
        }
    }
    const MemberSpec *member = table.byId(id);
    if (!member)
        *error = QStringLiteral("%1 (#%2) is not available in this build")
                     .arg(DispatchTable::slotNames()[id], QString::number(id));
    return member;
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

std::optional<QVariant> parseArgument(const QString &text, const ParamInfo &param, QString *error) {
    std::optional<QVariant> value;
    if (param.isArray) {
        value = parseArray(text, param.type);
    } else {
        long long n = 0;
        switch (param.type) {
        case VarType::String:
            value = QVariant(text);
            break;
        case VarType::Long:
        case VarType::Object:
            if (readInteger(text, std::numeric_limits<Long>::min(),
                            std::numeric_limits<Long>::max(), &n))
                value = QVariant::fromValue(static_cast<Long>(n));
            break;
        case VarType::Integer:
            if (readInteger(text, std::numeric_limits<Integer>::min(),
                            std::numeric_limits<Integer>::max(), &n))
                value = QVariant::fromValue(static_cast<Integer>(n));
            break;
        case VarType::Boolean:
            if (text.compare(QStringLiteral("true"), Qt::CaseInsensitive) == 0 || text == u"-1")
                value = QVariant::fromValue(True);
            else if (text.compare(QStringLiteral("false"), Qt::CaseInsensitive) == 0 ||
                     text == u"0")
                value = QVariant::fromValue(False);
            break;
        case VarType::Double: {
            bool ok = false;
            const double d = QLocale::c().toDouble(text, &ok);
            if (ok && std::isfinite(d))
                value = QVariant(d);
            break;
        }
        case VarType::Date:
            if (const auto d = readDate(text))
                value = QVariant(*d);
            break;
        case VarType::Variant: {
            QJsonParseError parseError;
            const QJsonDocument doc =
                QJsonDocument::fromJson('[' + text.toUtf8() + ']', &parseError);
            if (parseError.error == QJsonParseError::NoError && doc.array().size() == 1)
                value = variantFromJson(doc.array().at(0));
            if (!value)
                value = QVariant(text);
            break;
        }
        }
    }
    if (!value && error)
        *error = QStringLiteral("'%1' is not %2").arg(text, describe(param));
    return value;
}

CallOutcome callFromText(const QString &method, const QStringList &args) {
    CallOutcome outcome;
    outcome.status = 2;
    const MemberSpec *member = findMember(method, &outcome.error);
    if (!member)
        return outcome;

    const std::size_t given = static_cast<std::size_t>(args.size());
    if (!acceptsArgumentCount(*member, given, &outcome.error))
        return outcome;
    Arguments values(member->params.size());
    for (std::size_t i = 0; i < given; ++i) {
        const ParamInfo &param = member->params[i];
        const QString &text = args[static_cast<qsizetype>(i)];
        if (text == QLatin1String(omitArgument)) {
            if (!param.optional) {
                outcome.error = QStringLiteral("%1: argument %2 (%3) may not be omitted")
                                    .arg(member->name, QString::number(i + 1), param.name);
                return outcome;
            }
            continue;
        }
        QString why;
        values[i] = parseArgument(text, param, &why);
        if (!values[i]) {
            outcome.error = QStringLiteral("%1: argument %2 (%3): %4")
                                .arg(member->name, QString::number(i + 1), param.name, why);
            return outcome;
        }
    }

    CL_GL010C object;
    QVariant result;
    if (invokeMember(object, *member, values, &result, &outcome.error) != InvokeStatus::Ok)
        return outcome;
    QStringList argsJson;
    for (std::size_t i = 0; i < values.size(); ++i)
        argsJson += toJson(values[i], member->params[i].type, member->params[i].isArray);
    const QString resultJson =
        member->result ? toJson(result, *member->result, false) : QStringLiteral("null");
    outcome.json = QStringLiteral("{\"result\": %1, \"args\": [%2]}")
                       .arg(resultJson, argsJson.join(QStringLiteral(", ")));
    outcome.status = 0;
    outcome.error.clear();
    return outcome;
}

QStringList memberSignatures() {
    QStringList lines;
    for (const MemberSpec &m : DispatchTable::instance().members()) {
        QStringList params;
        for (const ParamInfo &p : m.params) {
            QString s = p.name + QStringLiteral(": ") + typeName(p.type);
            if (p.isArray)
                s += QStringLiteral("()");
            if (p.byValue)
                s += QStringLiteral(" by value");
            if (p.optional)
                s += QStringLiteral(", optional");
            params += s;
        }
        lines += QStringLiteral("#%1 %2(%3)%4")
                     .arg(m.id)
                     .arg(m.name, params.join(QStringLiteral("; ")),
                          m.result ? QStringLiteral(": ") + typeName(*m.result) : QString());
    }
    return lines;
}

} // namespace tambolin

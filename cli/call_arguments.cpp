#include "cli/call_arguments.h"

#include "cli/json_writer.h"
#include "util/cl_gl010c.h"
#include "util/gl010c_date.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QRegularExpression>
#include <cmath>
#include <limits>

namespace tambolin::cli {

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
    case VarType::Bytes: // no member of the class takes bytes
        break;
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

} // namespace

const MemberEntry *findMember(const QString &method, QString *error) {
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
    const MemberEntry *member = table.byId(id);
    if (!member)
        *error = QStringLiteral("%1 (#%2) is not available in this build")
                     .arg(DispatchTable::slotNames()[id], QString::number(id));
    return member;
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
        case VarType::Bytes:
            break;
        }
    }
    if (!value && error)
        *error = QStringLiteral("'%1' is not %2").arg(text, describe(param));
    return value;
}

CallOutcome callFromText(const QString &method, const QStringList &args) {
    CallOutcome outcome;
    outcome.status = 2;
    const MemberEntry *member = findMember(method, &outcome.error);
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
    if (invokeMember(object, *member, values, &result, &outcome.error) != automation::Status::Ok)
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
    for (const MemberEntry &m : DispatchTable::instance().members()) {
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
                     .arg(QString::number(m.id), m.name, params.join(QStringLiteral("; ")),
                          m.result ? QStringLiteral(": ") + typeName(*m.result) : QString());
    }
    return lines;
}

} // namespace tambolin::cli

#include "control/automation.h"

#include "control/playctrl.h"

#include <QByteArray>
#include <cmath>
#include <optional>

namespace tambolin::automation {

namespace {

constexpr Long kProp = 0x68030000;
constexpr Long kMeth = 0x60030000;

using T = Type;

// Conversion of one host value to a parameter type.
struct Converted {
    Status status = Status::Ok;
    QVariant value;
};

Converted toNumber(const QVariant &v, double lo, double hi) {
    double x = 0;
    switch (v.typeId()) {
    case QMetaType::Bool:
        x = v.toBool() ? -1 : 0;
        break;
    case QMetaType::QString: {
        bool ok = false;
        x = v.toString().trimmed().toDouble(&ok);
        if (!ok)
            return {Status::TypeMismatch, {}};
        break;
    }
    default: {
        if (!v.isValid())
            break; // an empty argument is 0
        bool ok = false;
        x = v.toDouble(&ok);
        if (!ok)
            return {Status::TypeMismatch, {}};
    }
    }
    if (!std::isfinite(x) || !(x > lo - 0.5 && x < hi + 0.5))
        return {Status::Overflow, {}};
    return {Status::Ok, QVariant(static_cast<int>(std::nearbyint(x)))};
}

Converted convert(const QVariant &v, Type type) {
    switch (type) {
    case T::String:
        if (!v.isValid())
            return {Status::Ok, QString()};
        if (v.typeId() == QMetaType::Bool)
            return {Status::Ok, v.toBool() ? QStringLiteral("True") : QStringLiteral("False")};
        if (!v.canConvert<QString>())
            return {Status::TypeMismatch, {}};
        return {Status::Ok, v.toString()};
    case T::Integer:
        return toNumber(v, -32768, 32767);
    case T::Boolean: {
        if (v.typeId() == QMetaType::QString) {
            const QString s = v.toString().trimmed();
            if (s.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
                return {Status::Ok, true};
            if (s.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
                return {Status::Ok, false};
        }
        if (v.typeId() == QMetaType::Bool)
            return {Status::Ok, v.toBool()};
        Converted n = toNumber(v, -2147483648.0, 2147483647.0);
        if (n.status != Status::Ok)
            return n;
        return {Status::Ok, n.value.toInt() != 0};
    }
    case T::Bytes: {
        if (v.typeId() == QMetaType::QByteArray)
            return {Status::Ok, v.toByteArray()};
        if (!v.canConvert<QVariantList>() || v.typeId() == QMetaType::QString)
            return {Status::TypeMismatch, {}};
        QByteArray bytes;
        for (const QVariant &item : v.toList()) {
            Converted b = toNumber(item, 0, 255);
            if (b.status != Status::Ok)
                return b;
            bytes.append(static_cast<char>(b.value.toInt()));
        }
        return {Status::Ok, bytes};
    }
    case T::Variant:
    case T::None:
        break;
    }
    return {Status::Ok, v};
}

void call(PLAYCTRL &c, Long dispid, int kind, std::vector<QVariant> &a, QVariant &result) {
    // The by-reference storage of each argument, in its parameter type.
    std::vector<Integer> ints(a.size(), 0);
    std::vector<QString> strings(a.size());
    std::vector<QByteArray> bytes(a.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].typeId() == QMetaType::Int)
            ints[i] = static_cast<Integer>(a[i].toInt());
        else if (a[i].typeId() == QMetaType::Bool)
            ints[i] = a[i].toBool() ? True : False;
        else if (a[i].typeId() == QMetaType::QString)
            strings[i] = a[i].toString();
        else if (a[i].typeId() == QMetaType::QByteArray)
            bytes[i] = a[i].toByteArray();
    }
    auto I = [&](std::size_t i) -> Integer & { return ints.at(i); };

    switch (dispid) {
    case kProp + 2: // FileName
        if (kind & PropertyPut)
            c.setFileName(strings.at(0));
        else
            result = c.FileName();
        break;
    case kMeth + 3:
        c.FileSave(strings.at(0));
        break;
    case kMeth + 4:
        c.IniLoad();
        break;
    case kMeth + 5:
        c.IniSave();
        break;
    case kMeth + 6:
        c.kijyunput(I(0));
        break;
    case kMeth + 8:
        c.MidiEnd();
        break;
    case kMeth + 9:
        c.MidiInit();
        break;
    case kMeth + 10:
        c.MidiOff(I(0));
        break;
    case kMeth + 11:
        c.onpdatget(I(0), I(1), I(2));
        break;
    case kMeth + 12:
        c.onpdatput(I(0), I(1), I(2), I(3));
        break;
    case kProp + 1: // Play
        if (kind & PropertyPut)
            c.setPlay(I(0));
        else
            result = c.Play() != False;
        break;
    case kProp + 0: // MTitle
        result = c.MTitle();
        break;
    case kMeth + 13:
        result = c.TitleName_Get(bytes.at(0), I(1));
        break;
    case kMeth + 14:
        c.TitleName_Put(I(0));
        break;
    case kMeth + 15:
        c.MidiOn(I(0));
        break;
    case kMeth + 16:
        c.FileLoad(strings.at(0));
        break;
    case kMeth + 22:
        c.meter(I(0), I(1));
        break;
    default:
        break;
    }

    // Hand the by-reference values back in the types they came in.
    for (std::size_t i = 0; i < a.size(); ++i) {
        switch (a[i].typeId()) {
        case QMetaType::Int:
            a[i] = static_cast<int>(ints[i]);
            break;
        case QMetaType::Bool:
            a[i] = ints[i] != False;
            break;
        case QMetaType::QString:
            a[i] = strings[i];
            break;
        case QMetaType::QByteArray:
            a[i] = bytes[i];
            break;
        default:
            break;
        }
    }
}

} // namespace

const std::vector<Member> &interfaceMembers() {
    static const std::vector<Member> members = {
        {"FileName", kProp + 2, PropertyGet, {}, T::String},
        {"FileName", kProp + 2, PropertyPut, {T::String}, T::None},
        {"FileSave", kMeth + 3, Method, {T::String}, T::None},
        {"IniLoad", kMeth + 4, Method, {}, T::None},
        {"IniSave", kMeth + 5, Method, {}, T::None},
        {"kijyunput", kMeth + 6, Method, {T::Integer}, T::None},
        {"MidiEnd", kMeth + 8, Method, {}, T::None},
        {"MidiInit", kMeth + 9, Method, {}, T::None},
        {"MidiOff", kMeth + 10, Method, {T::Integer}, T::None},
        {"onpdatget", kMeth + 11, Method, {T::Integer, T::Integer, T::Integer}, T::None},
        {"onpdatput",
         kMeth + 12,
         Method,
         {T::Integer, T::Integer, T::Boolean, T::Integer},
         T::None},
        {"Play", kProp + 1, PropertyGet, {}, T::Boolean},
        {"Play", kProp + 1, PropertyPut, {T::Boolean}, T::None},
        {"MTitle", kProp + 0, PropertyGet, {}, T::String},
        {"TitleName_Get", kMeth + 13, Method, {T::Bytes, T::Integer}, T::Variant},
        {"TitleName_Put", kMeth + 14, Method, {T::Integer}, T::None},
        {"MidiOn", kMeth + 15, Method, {T::Integer}, T::None},
        {"FileLoad", kMeth + 16, Method, {T::String}, T::None},
        {"meter", kMeth + 22, Method, {T::Integer, T::Integer}, T::None},
    };
    return members;
}

const std::vector<Member> &eventMembers() {
    static const std::vector<Member> none;
    return none;
}

Long GetIDsOfNames(const QString &name) {
    for (const Member &m : interfaceMembers())
        if (name.compare(QLatin1String(m.name), Qt::CaseInsensitive) == 0)
            return m.dispid;
    return kUnknownName;
}

const Member *findMember(Long dispid, int kind) {
    for (const Member &m : interfaceMembers())
        if (m.dispid == dispid && (m.kind & kind))
            return &m;
    return nullptr;
}

Outcome Invoke(PLAYCTRL &ctrl, Long dispid, int kind, QVariantList &args) {
    const Member *member = findMember(dispid, kind);
    if (!member)
        return {Status::MemberNotFound, {}};
    if (static_cast<std::size_t>(args.size()) != member->params.size())
        return {Status::BadParamCount, {}};

    std::vector<QVariant> converted;
    converted.reserve(member->params.size());
    for (std::size_t i = 0; i < member->params.size(); ++i) {
        Converted c = convert(args.at(static_cast<qsizetype>(i)), member->params[i]);
        if (c.status != Status::Ok)
            return {c.status, {}};
        converted.push_back(c.value);
    }

    Outcome out;
    call(ctrl, dispid, member->kind, converted, out.result);
    for (std::size_t i = 0; i < converted.size(); ++i)
        args[static_cast<qsizetype>(i)] = converted[i];
    return out;
}

Outcome Invoke(PLAYCTRL &ctrl, const QString &name, int kind, QVariantList &args) {
    const Long dispid = GetIDsOfNames(name);
    if (dispid == kUnknownName)
        return {Status::MemberNotFound, {}};
    return Invoke(ctrl, dispid, kind, args);
}

} // namespace tambolin::automation

#include "platform/automation/member_entry.h"

namespace tambolin::automation {

std::size_t MemberInfo::requiredCount() const {
    std::size_t required = 0;
    for (std::size_t i = 0; i < params.size(); ++i)
        if (!params[i].optional)
            required = i + 1;
    return required;
}

bool acceptsArgumentCount(const MemberInfo &member, std::size_t given, QString *error) {
    const std::size_t required = member.requiredCount();
    if (given >= required && given <= member.params.size())
        return true;
    if (error) {
        const QString expected =
            required == member.params.size()
                ? QString::number(required)
                : QStringLiteral("%1 to %2").arg(required).arg(member.params.size());
        *error = QStringLiteral("%1 takes %2 argument(s), %3 given")
                     .arg(member.name, expected)
                     .arg(given);
    }
    return false;
}

Status checkArguments(const MemberInfo &member, Arguments &args, QString *error) {
    auto fail = [&](Status status, const QString &text) {
        if (error)
            *error = text;
        return status;
    };
    QString countError;
    if (!acceptsArgumentCount(member, args.size(), &countError))
        return fail(Status::BadParamCount, countError);
    args.resize(member.params.size());
    for (std::size_t i = 0; i < args.size(); ++i) {
        const ParamInfo &param = member.params[i];
        if (!args[i]) {
            if (!param.optional)
                return fail(Status::BadParamCount,
                            QStringLiteral("%1: argument %2 (%3) may not be omitted")
                                .arg(member.name)
                                .arg(i + 1)
                                .arg(param.name));
            continue;
        }
        if (!holdsType(*args[i], param.type, param.isArray))
            return fail(Status::TypeMismatch,
                        QStringLiteral("%1: argument %2 (%3) must be %4%5")
                            .arg(member.name)
                            .arg(i + 1)
                            .arg(param.name,
                                 param.isArray ? QStringLiteral("an array of ") : QString(),
                                 typeName(param.type)));
    }
    return Status::Ok;
}

Status changeArguments(const MemberInfo &member, const QVariantList &values, Arguments &args) {
    if (static_cast<std::size_t>(values.size()) != member.params.size())
        return Status::BadParamCount;
    args.clear();
    for (std::size_t i = 0; i < member.params.size(); ++i) {
        const QVariant &value = values.at(static_cast<qsizetype>(i));
        const ParamInfo &param = member.params[i];
        Changed c = param.isArray ? Changed{Status::Ok, value} : changeType(value, param.type);
        if (c.status != Status::Ok)
            return c.status;
        args.push_back(std::move(c.value));
    }
    return Status::Ok;
}

} // namespace tambolin::automation

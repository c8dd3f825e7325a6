#include "util/gl010c_dispatch.h"

#include "util/gl010c_dispatch_families.h"

#include <QMetaType>
#include <algorithm>

namespace tambolin {

QString typeName(VarType type) {
    switch (type) {
    case VarType::String:
        return QStringLiteral("String");
    case VarType::Long:
        return QStringLiteral("Long");
    case VarType::Integer:
        return QStringLiteral("Integer");
    case VarType::Boolean:
        return QStringLiteral("Boolean");
    case VarType::Double:
        return QStringLiteral("Double");
    case VarType::Date:
        return QStringLiteral("Date");
    case VarType::Variant:
        return QStringLiteral("Variant");
    case VarType::Object:
        return QStringLiteral("Object");
    }
    return {};
}

std::size_t MemberSpec::requiredCount() const {
    std::size_t required = 0;
    for (std::size_t i = 0; i < params.size(); ++i)
        if (!params[i].optional)
            required = i + 1;
    return required;
}

const QStringList &DispatchTable::slotNames() {
    static const QStringList names = {
        QStringLiteral("RVN_FormatChange"),
        QStringLiteral("RVN_APIErrorGet"),
        QStringLiteral("RVN_DataDate"),
        QStringLiteral("RVN_ProcessTerminate"),
        QStringLiteral("RVN_WaitProcess"),
        QStringLiteral("RVN_FolderSelect"),
        QStringLiteral("RVN_ListViewGridLine"),
        QStringLiteral("RVN_ListViewLineSelect"),
        QStringLiteral("RVN_LocalDate"),
        QStringLiteral("RVN_MCISendString"),
        QStringLiteral("RVN_MousePointerX"),
        QStringLiteral("RVN_MousePointerY"),
        QStringLiteral("RVN_ScreenCapt"),
        QStringLiteral("RVN_ShellSort"),
        QStringLiteral("RVN_ShowOpenAsDialog"),
        QStringLiteral("RVN_NetConnect"),
        QStringLiteral("RVN_RestartSystem"),
        QStringLiteral("RVN_ShowPropertiesDialog"),
        QStringLiteral("RVN_OpenFile"),
        QStringLiteral("RVN_OpenFindwindow"),
        QStringLiteral("RVN_OpenFolder"),
        QStringLiteral("RVN_RecentDocs"),
        QStringLiteral("RVN_SetBitmapMenu"),
        QStringLiteral("RVN_CharDoubleCheck"),
        QStringLiteral("RVN_CharLet"),
        QStringLiteral("RVN_DisplayColor"),
        QStringLiteral("RVN_DLLFunctionCheck"),
        QStringLiteral("RVN_EllipsisString"),
        QStringLiteral("RVN_FormMouseMove"),
        QStringLiteral("RVN_ShellAbout"),
        QStringLiteral("RVN_ShutDownDialog"),
        QStringLiteral("RVN_StrEnum"),
        QStringLiteral("RVN_Filekill"),
        QStringLiteral("RVN_ShowSaveFileDlg"),
        QStringLiteral("RVN_ShowOpenFileDlg"),
        QStringLiteral("RVN_CompiledCheck"),
        QStringLiteral("RVN_CharCut"),
        QStringLiteral("RVN_CharChange"),
        QStringLiteral("RVN_Filesize"),
        QStringLiteral("RVN_Mkdir"),
        QStringLiteral("RVN_Path"),
        QStringLiteral("RVN_Pathcheck"),
        QStringLiteral("RVN_RegGet"),
        QStringLiteral("RVN_IniGet"),
        QStringLiteral("RVN_RegSet"),
        QStringLiteral("RVN_EnvironGet"),
        QStringLiteral("RVN_EnvironSet"),
        QStringLiteral("RVN_GetFileName"),
        QStringLiteral("RVN_GetFileExt"),
        QStringLiteral("RVN_LenB"),
        QStringLiteral("RVN_LocalTime"),
        QStringLiteral("RVN_MidB"),
        QStringLiteral("RVN_Sleep"),
        QStringLiteral("RVN_IniWrite"),
        QStringLiteral("RVN_StrSubst"),
        QStringLiteral("RVN_TempFilename"),
        QStringLiteral("RVN_OpenURL"),
        QStringLiteral("RVN_SetFormMoveTop"),
        QStringLiteral("RVN_TempPath"),
        QStringLiteral("RVN_TimeCheck"),
        QStringLiteral("RVN_Timeformat"),
        QStringLiteral("RVN_TimeOut"),
        QStringLiteral("RVN_TimeOutCheck"),
    };
    return names;
}

const DispatchTable &DispatchTable::instance() {
    static const DispatchTable table = [] {
        DispatchTable t;
#define TAMBOLIN_REGISTER_FAMILY(Family) register##Family##Members(t);
        TAMBOLIN_GL010C_FAMILIES(TAMBOLIN_REGISTER_FAMILY)
#undef TAMBOLIN_REGISTER_FAMILY
        return t;
    }();
    return table;
}

void DispatchTable::add(MemberSpec member) {
    const Long id = static_cast<Long>(slotNames().indexOf(member.name));
    if (id < 0 || byId(id))
        qFatal("CL_GL010C dispatch: %s is not a member or is registered twice",
               qPrintable(member.name));
    member.id = id;
    const auto at = std::lower_bound(m_members.begin(), m_members.end(), id,
                                     [](const MemberSpec &m, Long i) { return m.id < i; });
    m_members.insert(at, std::move(member));
}

const MemberSpec *DispatchTable::byName(QStringView name) const {
    for (const MemberSpec &m : m_members)
        if (m.name.compare(name, Qt::CaseInsensitive) == 0)
            return &m;
    return nullptr;
}

const MemberSpec *DispatchTable::byId(Long id) const {
    const auto at = std::lower_bound(m_members.begin(), m_members.end(), id,
                                     [](const MemberSpec &m, Long i) { return m.id < i; });
    return at != m_members.end() && at->id == id ? &*at : nullptr;
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
    case VarType::Variant:
        return id != qMetaTypeId<VariantArray>();
    }
    return false;
}

} // namespace

bool holdsDeclaredType(const QVariant &value, const ParamInfo &param) {
    if (!param.isArray)
        return holdsScalar(value, param.type);
    if (value.metaType() != QMetaType::fromType<VariantArray>())
        return false;
    const VariantArray array = value.value<VariantArray>();
    return std::all_of(array.items.begin(), array.items.end(),
                       [&](const QVariant &item) { return holdsScalar(item, param.type); });
}

bool acceptsArgumentCount(const MemberSpec &member, std::size_t given, QString *error) {
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

InvokeStatus invokeMember(CL_GL010C &object, const MemberSpec &member, Arguments &args,
                          QVariant *result, QString *error) {
    auto fail = [&](InvokeStatus status, const QString &text) {
        if (error)
            *error = text;
        return status;
    };
    QString countError;
    if (!acceptsArgumentCount(member, args.size(), &countError))
        return fail(InvokeStatus::WrongArgumentCount, countError);
    args.resize(member.params.size());
    for (std::size_t i = 0; i < args.size(); ++i) {
        const ParamInfo &param = member.params[i];
        if (!args[i]) {
            if (!param.optional)
                return fail(InvokeStatus::WrongArgumentCount,
                            QStringLiteral("%1: argument %2 (%3) may not be omitted")
                                .arg(member.name)
                                .arg(i + 1)
                                .arg(param.name));
            continue;
        }
        if (!holdsDeclaredType(*args[i], param))
            return fail(InvokeStatus::WrongArgumentType,
                        QStringLiteral("%1: argument %2 (%3) must be %4%5")
                            .arg(member.name)
                            .arg(i + 1)
                            .arg(param.name,
                                 param.isArray ? QStringLiteral("an array of ") : QString(),
                                 typeName(param.type)));
    }
    const QVariant value = member.invoke(object, args);
    if (result)
        *result = value;
    return InvokeStatus::Ok;
}

} // namespace tambolin

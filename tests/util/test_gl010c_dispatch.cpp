// The utility class's dispatch table: identifiers, names, declared
// parameters, and calls whose by-reference arguments come back changed.

#include "platform/desktop/handles.h"
#include "util/cl_gl010c.h"
#include "util/gl010c_dispatch.h"

#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QPixmap>
#include <gtest/gtest.h>
#include <memory>

using namespace tambolin;

namespace {

const DispatchTable &table() {
    return DispatchTable::instance();
}

QVariant shortValue(int v) {
    return QVariant::fromValue(static_cast<Integer>(v));
}
QVariant longValue(int v) {
    return QVariant::fromValue(static_cast<Long>(v));
}

VariantArray strings(Long lower, const QStringList &items) {
    VariantArray a;
    a.lower = lower;
    for (const QString &s : items)
        a.items.push_back(s);
    return a;
}

} // namespace

TEST(Dispatch, SlotOrderRunsFrom0To62) {
    const QStringList &names = DispatchTable::slotNames();
    ASSERT_EQ(names.size(), 63);
    EXPECT_EQ(names.indexOf("RVN_FormatChange"), 0);
    EXPECT_EQ(names.indexOf("RVN_ShellSort"), 13);
    EXPECT_EQ(names.indexOf("RVN_Filesize"), 38);
    EXPECT_EQ(names.indexOf("RVN_LocalTime"), 50);
    EXPECT_EQ(names.indexOf("RVN_TimeOutCheck"), 62);
    EXPECT_EQ(QSet<QString>(names.begin(), names.end()).size(), 63);
    for (const QString &name : names)
        EXPECT_TRUE(name.startsWith("RVN_")) << name.toStdString();
}

TEST(Dispatch, MembersCarryTheirSlotIdentifiersInOrder) {
    const auto &members = table().members();
    ASSERT_FALSE(members.empty());
    Long previous = -1;
    for (const MemberEntry &m : members) {
        EXPECT_GT(m.id, previous);
        EXPECT_EQ(DispatchTable::slotNames().at(m.id), m.name);
        EXPECT_EQ(table().byId(m.id), &m);
        EXPECT_EQ(table().byName(m.name), &m);
        EXPECT_TRUE(m.invoke);
        previous = m.id;
    }
}

TEST(Dispatch, EveryMemberIsPresentInSlotOrder) {
    const auto &members = table().members();
    ASSERT_EQ(members.size(), 63u);
    for (std::size_t i = 0; i < members.size(); ++i) {
        EXPECT_EQ(members[i].id, static_cast<Long>(i));
        EXPECT_EQ(members[i].name, DispatchTable::slotNames().at(static_cast<qsizetype>(i)));
    }
}

TEST(Dispatch, ObjectsTravelAsHandlesByValue) {
    const MemberEntry *moveTop = table().byName(u"RVN_SetFormMoveTop");
    ASSERT_NE(moveTop, nullptr);
    EXPECT_EQ(moveTop->params[0].type, VarType::Object);
    EXPECT_TRUE(moveTop->params[0].byValue);
    EXPECT_EQ(moveTop->params[1].type, VarType::Long);
    EXPECT_TRUE(moveTop->params[2].optional);
    const MemberEntry *menu = table().byName(u"RVN_SetBitmapMenu");
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->params[0].type, VarType::Long);
    EXPECT_EQ(menu->params[3].type, VarType::Object);
    EXPECT_EQ(table().byName(u"RVN_ScreenCapt")->params[0].type, VarType::Object);
    EXPECT_EQ(table().byName(u"RVN_CompiledCheck")->params[0].type, VarType::Object);

    // The handle reaches the method as its widget, and comes back unchanged.
    CL_GL010C gl;
    QMainWindow main;
    QAction *open = main.menuBar()->addMenu(QStringLiteral("File"))->addAction("Open");
    QPixmap red(16, 16);
    red.fill(Qt::red);
    auto picture = std::make_unique<QLabel>();
    picture->setPixmap(red);
    const Long pictureHandle = handleOf(picture.get());
    Arguments args{longValue(handleOf(&main)), longValue(0), longValue(0),
                   longValue(pictureHandle)};
    QVariant result;
    ASSERT_EQ(invokeMember(gl, *menu, args, &result), automation::Status::Ok);
    ASSERT_FALSE(open->icon().isNull());
    EXPECT_EQ(open->icon().pixmap(16, 16).toImage().pixelColor(8, 8), QColor(Qt::red));
    EXPECT_EQ(args[3], longValue(pictureHandle));

    // A handle whose widget is gone names no object.
    open->setIcon(QIcon());
    picture.reset();
    ASSERT_EQ(invokeMember(gl, *menu, args, &result), automation::Status::Ok);
    EXPECT_TRUE(open->icon().isNull());

    main.resize(200, 100);
    main.show();
    Arguments place{longValue(handleOf(&main)), longValue(2)};
    ASSERT_EQ(invokeMember(gl, *moveTop, place, &result), automation::Status::Ok);
    EXPECT_NE(result, longValue(0));
    Arguments nothing{longValue(0), longValue(2)};
    ASSERT_EQ(invokeMember(gl, *moveTop, nothing, &result), automation::Status::Ok);
    EXPECT_EQ(result, longValue(0));
}

TEST(Dispatch, FindsMembersByNameCaseInsensitivelyAndById) {
    const MemberEntry *byName = table().byName(u"rvn_TIMECHECK");
    ASSERT_NE(byName, nullptr);
    EXPECT_EQ(byName->id, 59);
    EXPECT_EQ(byName->name, "RVN_TimeCheck");
    EXPECT_EQ(table().byId(59), byName);
    EXPECT_EQ(table().byName(u"RVN_NoSuchMember"), nullptr);
    EXPECT_EQ(table().byName(u"TimeCheck"), nullptr);
    EXPECT_EQ(table().byId(-1), nullptr);
    EXPECT_EQ(table().byId(63), nullptr);
}

TEST(Dispatch, DescribesParametersAsDeclared) {
    const MemberEntry *wait = table().byName(u"RVN_WaitProcess");
    ASSERT_NE(wait, nullptr);
    ASSERT_EQ(wait->params.size(), 3u);
    EXPECT_EQ(wait->params[0].name, "ProcessID");
    EXPECT_EQ(wait->params[0].type, VarType::Long);
    EXPECT_FALSE(wait->params[0].optional);
    EXPECT_TRUE(wait->params[1].optional);
    EXPECT_EQ(wait->params[2].type, VarType::Boolean);
    EXPECT_TRUE(wait->params[2].optional);
    EXPECT_EQ(wait->requiredCount(), 1u);
    EXPECT_EQ(wait->result, VarType::Boolean);

    const MemberEntry *ellipsis = table().byName(u"RVN_EllipsisString");
    ASSERT_NE(ellipsis, nullptr);
    EXPECT_TRUE(ellipsis->params[0].byValue);
    EXPECT_FALSE(ellipsis->params[1].byValue);
    EXPECT_TRUE(ellipsis->params[2].byValue);

    const MemberEntry *strEnum = table().byName(u"RVN_StrEnum");
    ASSERT_NE(strEnum, nullptr);
    EXPECT_TRUE(strEnum->params[2].isArray);
    EXPECT_EQ(strEnum->params[2].type, VarType::String);
    EXPECT_EQ(strEnum->result, VarType::Integer);

    const MemberEntry *path = table().byName(u"RVN_Path");
    ASSERT_NE(path, nullptr);
    EXPECT_TRUE(path->params[0].byValue);
    const MemberEntry *midB = table().byName(u"RVN_MidB");
    ASSERT_NE(midB, nullptr);
    EXPECT_EQ(midB->params[2].type, VarType::Variant);
    EXPECT_TRUE(midB->params[2].optional);

    const MemberEntry *terminate = table().byName(u"RVN_ProcessTerminate");
    ASSERT_NE(terminate, nullptr);
    EXPECT_FALSE(terminate->result.has_value());
}

TEST(Dispatch, ByReferenceArgumentsComeBackAsTheMethodLeftThem) {
    CL_GL010C gl;
    Arguments args{longValue(23), longValue(59), longValue(59), longValue(1500)};
    QVariant result;
    ASSERT_EQ(invokeMember(gl, *table().byName(u"RVN_TimeCheck"), args, &result),
              automation::Status::Ok);
    EXPECT_EQ(result, shortValue(True));
    EXPECT_EQ(args[0], longValue(0));
    EXPECT_EQ(args[1], longValue(0));
    EXPECT_EQ(args[2], longValue(0));
    EXPECT_EQ(args[3], longValue(500));

    Arguments let{QVariant(QStringLiteral("a = \"b\"")), QVariant(QString()), QVariant(QString())};
    ASSERT_EQ(invokeMember(gl, *table().byName(u"RVN_CharLet"), let, &result),
              automation::Status::Ok);
    EXPECT_EQ(result, shortValue(True));
    EXPECT_EQ(let[1], QVariant(QStringLiteral("a")));
    EXPECT_EQ(let[2], QVariant(QStringLiteral("b")));

    Arguments sort{QVariant::fromValue(strings(1, {"c", "a", "b"}))};
    ASSERT_EQ(invokeMember(gl, *table().byId(13), sort, &result), automation::Status::Ok);
    EXPECT_FALSE(result.isValid()); // a member without a result
    EXPECT_EQ(sort[0]->value<VariantArray>(), strings(1, {"a", "b", "c"}));

    Arguments split{QVariant(QStringLiteral("x,y,z")), QVariant(QStringLiteral(",")),
                    QVariant::fromValue(strings(0, {"", ""}))};
    ASSERT_EQ(invokeMember(gl, *table().byName(u"RVN_StrEnum"), split, &result),
              automation::Status::Ok);
    EXPECT_EQ(result, shortValue(3));
    EXPECT_EQ(split[2]->value<VariantArray>(), strings(0, {"", "x"}));
}

TEST(Dispatch, OmittedOptionalArgumentsStayOmitted) {
    CL_GL010C gl;
    Arguments args{QVariant(QStringLiteral(" a ")), QVariant(QStringLiteral(" ")),
                   QVariant(QStringLiteral("_"))};
    QVariant result;
    ASSERT_EQ(invokeMember(gl, *table().byName(u"RVN_CharChange"), args, &result),
              automation::Status::Ok);
    EXPECT_EQ(result, QVariant(QStringLiteral("_a_"))); // mode 0
    ASSERT_EQ(args.size(), 4u);
    EXPECT_FALSE(args[3].has_value());

    Arguments explicitMode{QVariant(QStringLiteral(" a ")), QVariant(QStringLiteral(" ")),
                           QVariant(QStringLiteral("_")), shortValue(1)};
    ASSERT_EQ(invokeMember(gl, *table().byName(u"RVN_CharChange"), explicitMode, &result),
              automation::Status::Ok);
    EXPECT_EQ(result, QVariant(QStringLiteral("_a ")));
    EXPECT_EQ(explicitMode[3], shortValue(1));
}

TEST(Dispatch, RefusesWrongCountsAndTypesWithoutCalling) {
    CL_GL010C gl;
    const MemberEntry &timeCheck = *table().byName(u"RVN_TimeCheck");
    QString error;
    QVariant result = QStringLiteral("untouched");

    Arguments tooFew{longValue(1), longValue(2)};
    EXPECT_EQ(invokeMember(gl, timeCheck, tooFew, &result, &error),
              automation::Status::BadParamCount);
    EXPECT_TRUE(error.contains("RVN_TimeCheck")) << error.toStdString();
    Arguments tooMany(5, longValue(0));
    EXPECT_EQ(invokeMember(gl, timeCheck, tooMany, &result, &error),
              automation::Status::BadParamCount);

    Arguments wrongType{longValue(23), QVariant(QStringLiteral("59")), longValue(59),
                        longValue(1500)};
    EXPECT_EQ(invokeMember(gl, timeCheck, wrongType, &result, &error),
              automation::Status::TypeMismatch);
    EXPECT_TRUE(error.contains("mn")) << error.toStdString();
    EXPECT_EQ(wrongType[3], longValue(1500)); // the method never ran
    EXPECT_EQ(result, QVariant(QStringLiteral("untouched")));

    // Integer and Long are distinct widths.
    Arguments integerForLong{shortValue(23), longValue(59), longValue(59), longValue(1500)};
    EXPECT_EQ(invokeMember(gl, timeCheck, integerForLong, &result, &error),
              automation::Status::TypeMismatch);

    // A required argument cannot be left out in the middle.
    Arguments gap{QVariant(QStringLiteral("x")), std::nullopt, QVariant(QStringLiteral("y"))};
    EXPECT_EQ(invokeMember(gl, *table().byName(u"RVN_CharChange"), gap, &result, &error),
              automation::Status::BadParamCount);

    // An array parameter takes only an array of its element type.
    Arguments notAnArray{QVariant(QStringLiteral("a,b"))};
    EXPECT_EQ(invokeMember(gl, *table().byName(u"RVN_ShellSort"), notAnArray, &result, &error),
              automation::Status::TypeMismatch);
    VariantArray mixed = strings(0, {"a"});
    mixed.items.push_back(longValue(1));
    Arguments mixedArray{QVariant::fromValue(mixed)};
    EXPECT_EQ(invokeMember(gl, *table().byName(u"RVN_ShellSort"), mixedArray, &result, &error),
              automation::Status::TypeMismatch);
}

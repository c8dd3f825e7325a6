#include "control_fixture.h"

#include "control/automation/automation.h"

#include <QAbstractButton>

namespace tambolin::testing {
namespace {

using namespace automation;

TEST(AutomationTable, MembersInInterfaceOrderWithTheirIdentifiers) {
    const std::vector<std::pair<const char *, Long>> expected = {
        {"FileName", 0x68030002},      {"FileName", 0x68030002},  {"FileSave", 0x60030003},
        {"IniLoad", 0x60030004},       {"IniSave", 0x60030005},   {"kijyunput", 0x60030006},
        {"MidiEnd", 0x60030008},       {"MidiInit", 0x60030009},  {"MidiOff", 0x6003000A},
        {"onpdatget", 0x6003000B},     {"onpdatput", 0x6003000C}, {"Play", 0x68030001},
        {"Play", 0x68030001},          {"MTitle", 0x68030000},    {"TitleName_Get", 0x6003000D},
        {"TitleName_Put", 0x6003000E}, {"MidiOn", 0x6003000F},    {"FileLoad", 0x60030010},
        {"meter", 0x60030016}};
    const auto &members = interfaceMembers();
    ASSERT_EQ(members.size(), expected.size());
    for (std::size_t i = 0; i < members.size(); ++i) {
        EXPECT_EQ(members[i].name, QLatin1String(expected[i].first)) << i;
        EXPECT_EQ(members[i].id, expected[i].second) << i;
    }
    // Properties are read, then written.
    EXPECT_EQ(members[0].kind, PropertyGet);
    EXPECT_EQ(members[1].kind, PropertyPut);
    EXPECT_EQ(members[11].kind, PropertyGet);
    EXPECT_EQ(members[12].kind, PropertyPut);
    for (Long gap : {7, 17, 18, 19, 20, 21})
        EXPECT_EQ(findMember(0x60030000 + gap, Method), nullptr) << gap;
    EXPECT_TRUE(eventMembers().empty());
    EXPECT_STREQ(kEventInterfaceName, "__PLAYCTRL");
}

TEST(AutomationTable, NamesIgnoreLetterCase) {
    EXPECT_EQ(GetIDsOfNames(QStringLiteral("mtitle")), 0x68030000);
    EXPECT_EQ(GetIDsOfNames(QStringLiteral("MIDION")), 0x6003000F);
    EXPECT_EQ(GetIDsOfNames(QStringLiteral("Stop")), kUnknownName);
}

using Automation = ControlTest;

TEST_F(Automation, PropertiesByNameAndByIdentifier) {
    PLAYCTRL &ctrl = makeControl();
    QVariantList none;
    Outcome title = Invoke(ctrl, QStringLiteral("MTitle"), PropertyGet, none);
    EXPECT_EQ(title.status, Status::Ok);
    EXPECT_EQ(title.result, QVariant(QStringLiteral("Tamberlo Player")));
    EXPECT_EQ(Invoke(ctrl, 0x68030002, PropertyGet, none).result, QVariant(QString()));
    // A caller that does not say whether it reads or calls gets the read.
    EXPECT_EQ(Invoke(ctrl, 0x68030001, Method | PropertyGet, none).result, QVariant(false));

    QVariantList on{true};
    EXPECT_EQ(Invoke(ctrl, 0x68030001, PropertyPut, on).status, Status::Ok);
    EXPECT_EQ(ctrl.Play(), True);
    QVariantList off{QStringLiteral("False")};
    EXPECT_EQ(Invoke(ctrl, QStringLiteral("play"), PropertyPut, off).status, Status::Ok);
    EXPECT_EQ(ctrl.Play(), False);
    EXPECT_EQ(Invoke(ctrl, 0x68030000, PropertyPut, on).status, Status::MemberNotFound);
}

TEST_F(Automation, MethodsConvertTheirArguments) {
    PLAYCTRL &ctrl = makeControl();
    clearSent();
    QVariantList kk{QStringLiteral("12")};
    EXPECT_EQ(Invoke(ctrl, 0x6003000F, Method, kk).status, Status::Ok);
    QVariantList kk2{2.5}; // rounds half to even: 2
    EXPECT_EQ(Invoke(ctrl, QStringLiteral("MidiOff"), Method, kk2).status, Status::Ok);
    EXPECT_EQ(words(), (std::vector<DWORD>{noteOn(12), noteOff(2)}));

    QVariantList wrongCount{1, 2};
    EXPECT_EQ(Invoke(ctrl, QStringLiteral("MidiOn"), Method, wrongCount).status,
              Status::BadParamCount);
    QVariantList notANumber{QStringLiteral("twelve")};
    EXPECT_EQ(Invoke(ctrl, QStringLiteral("MidiOn"), Method, notANumber).status,
              Status::TypeMismatch);
    QVariantList tooLarge{40000};
    EXPECT_EQ(Invoke(ctrl, QStringLiteral("MidiOn"), Method, tooLarge).status, Status::Overflow);
    EXPECT_EQ(words().size(), 2u);
    QVariantList none;
    EXPECT_EQ(Invoke(ctrl, QStringLiteral("Stop"), Method, none).status, Status::MemberNotFound);
}

TEST_F(Automation, ArgumentsComeBackByReference) {
    PLAYCTRL &ctrl = makeControl();
    // onpdatget fills its second and third arguments from the note byte.
    QVariantList args{0x22, -1, -1};
    ASSERT_EQ(Invoke(ctrl, QStringLiteral("onpdatget"), Method, args).status, Status::Ok);
    Integer dat = 0x22, onpdat = -1, kaidat = -1;
    ctrl.onpdatget(dat, onpdat, kaidat);
    EXPECT_EQ(args, (QVariantList{int(dat), int(onpdat), int(kaidat)}));
    EXPECT_NE(args.at(1), QVariant(-1));

    // A title decoded from its bytes, the result as a Variant.
    QVariantList title{QByteArray("\0\x1b$B%a%m\x1b(B", 11), 10};
    const Outcome out = Invoke(ctrl, QStringLiteral("TitleName_Get"), Method, title);
    EXPECT_EQ(out.status, Status::Ok);
    EXPECT_EQ(out.result.toString(), QStringLiteral("メロ"));
}

} // namespace
} // namespace tambolin::testing

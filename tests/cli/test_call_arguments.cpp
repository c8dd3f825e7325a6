// Calling the utility class from text arguments and writing the outcome as JSON.

#include "cli/call_arguments.h"
#include "cli/json_writer.h"
#include "util/gl010c_dispatch.h"

#include <gtest/gtest.h>

using namespace tambolin;
using namespace tambolin::cli;

namespace {

std::string json(const QString &method, const QStringList &args) {
    const CallOutcome o = callFromText(method, args);
    EXPECT_EQ(o.status, 0) << o.error.toStdString();
    return o.json.toStdString();
}

CallOutcome refused(const QString &method, const QStringList &args) {
    const CallOutcome o = callFromText(method, args);
    EXPECT_EQ(o.status, 2);
    EXPECT_TRUE(o.json.isEmpty());
    EXPECT_FALSE(o.error.isEmpty());
    return o;
}

} // namespace

TEST(CallFromText, ByNameOrIdentifierWithArgumentsAfterTheCall) {
    const std::string expected = R"({"result": true, "args": [0, 0, 0, 500]})";
    EXPECT_EQ(json("RVN_TimeCheck", {"23", "59", "59", "1500"}), expected);
    EXPECT_EQ(json("rvn_timecheck", {"23", "59", "59", "1500"}), expected);
    EXPECT_EQ(json("#59", {"23", "59", "59", "1500"}), expected);
    EXPECT_EQ(json("RVN_Timeformat", {"9", "5", "3", "7"}),
              R"({"result": "09:05:03:007", "args": [9, 5, 3, 7]})");
    EXPECT_EQ(json("RVN_CharLet", {"key = \"v\"", "", ""}),
              R"({"result": true, "args": ["key = \"v\"", "key", "v"]})");
    EXPECT_EQ(json("RVN_FormatChange", {"12.5", "[%5D]"}),
              R"({"result": "[   13]", "args": ["12.5", "[%5D]"]})");
    EXPECT_EQ(json("RVN_CharChange", {"x", "x", "", "7"}),
              R"({"result": "", "args": ["x", "x", "", 7]})");
}

TEST(CallFromText, ArraysTravelAsJsonWithTheirLowerBound) {
    EXPECT_EQ(json("RVN_ShellSort", {R"(["c","a","b"])"}),
              R"({"result": null, "args": [["a", "b", "c"]]})");
    EXPECT_EQ(json("RVN_ShellSort", {R"({"base": 1, "items": ["b", "a"]})"}),
              R"({"result": null, "args": [{"base": 1, "items": ["a", "b"]}]})");
    EXPECT_EQ(json("#13", {"[3,1,2]"}), R"({"result": null, "args": [["1", "2", "3"]]})");
    EXPECT_EQ(json("RVN_StrEnum", {"a,b,,c", ",", R"({"base":1,"items":["","","-"]})"}),
              R"({"result": 4, "args": ["a,b,,c", ",", {"base": 1, "items": ["a", "b", ""]}]})");
    refused("RVN_ShellSort", {"[1,"});
    refused("RVN_ShellSort", {R"({"base": 1})"});
    refused("RVN_ShellSort", {R"({"base": 0.5, "items": []})"});
    refused("RVN_ShellSort", {"[true]"});
}

TEST(CallFromText, OptionalArgumentsMayBeLeftOut) {
    EXPECT_EQ(json("RVN_CharChange", {" a ", " ", ""}),
              R"({"result": "a", "args": [" a ", " ", "", null]})");
    EXPECT_EQ(json("RVN_CharChange", {" a ", " ", "", "--omit"}),
              R"({"result": "a", "args": [" a ", " ", "", null]})");
    const CallOutcome o = refused("RVN_CharChange", {"--omit", " ", ""});
    EXPECT_TRUE(o.error.contains("buf")) << o.error.toStdString();
}

TEST(CallFromText, RefusesUnknownMembersCountsAndValues) {
    EXPECT_TRUE(refused("RVN_NoSuchThing", {}).error.contains("RVN_NoSuchThing"));
    refused("#63", {});
    refused("#-1", {});
    refused("#x", {});
    EXPECT_TRUE(refused("RVN_TimeCheck", {"1", "2", "3"}).error.contains("4"));
    refused("RVN_LocalDate", {"extra"});
    const CallOutcome badLong = refused("RVN_TimeCheck", {"1", "two", "3", "4"});
    EXPECT_TRUE(badLong.error.contains("mn")) << badLong.error.toStdString();
    refused("RVN_TimeCheck", {"1", "2", "3", "2147483648"}); // beyond a Long
    refused("RVN_TimeCheck", {"1", "2", "3", "1.5"});
    refused("RVN_CharDoubleCheck", {"a", " ", "32768", "_"}); // beyond an Integer
    refused("RVN_WaitProcess", {"1", "00:00:01", "maybe"});
    refused("RVN_TimeOutCheck", {"yesterday", "00:00:10"});

    // A slot whose family is not built yet is reported as such.
    for (const QString &name : DispatchTable::slotNames()) {
        if (DispatchTable::instance().byName(name))
            continue;
        EXPECT_TRUE(refused(name, {}).error.contains("not available")) << name.toStdString();
        break;
    }
}

TEST(CallFromText, DatesAsIsoTextOrDayCount) {
    // Long ago: more than ten seconds have passed since.
    EXPECT_EQ(json("RVN_TimeOutCheck", {"2000-03-10T12:00:00", "00:00:10"}),
              R"({"result": true, "args": ["2000-03-10T12:00:00.000", "00:00:10"]})");
    EXPECT_EQ(json("RVN_TimeOutCheck", {"36595.5", "00:00:10"}),
              R"({"result": true, "args": ["2000-03-10T12:00:00.000", "00:00:10"]})");
    EXPECT_EQ(json("RVN_TimeOutCheck", {"9999-12-31", "00:00:10"}),
              R"({"result": false, "args": ["9999-12-31T00:00:00.000", "00:00:10"]})");
}

TEST(ParseArgument, VariantsReadJsonScalarsAndFallBackToText) {
    const ParamInfo variant{QStringLiteral("v"), VarType::Variant};
    QString error;
    EXPECT_EQ(parseArgument("2", variant, &error), QVariant::fromValue(Long(2)));
    EXPECT_EQ(parseArgument("2.5", variant, &error), QVariant(2.5));
    EXPECT_EQ(parseArgument("abc", variant, &error), QVariant(QStringLiteral("abc")));
    EXPECT_EQ(parseArgument("\"2\"", variant, &error), QVariant(QStringLiteral("2")));
    EXPECT_EQ(parseArgument("true", variant, &error), QVariant(true));
    const auto empty = parseArgument("null", variant, &error);
    ASSERT_TRUE(empty.has_value());
    EXPECT_FALSE(empty->isValid());
    EXPECT_EQ(toJson(empty, VarType::Variant, false), "null");
    EXPECT_EQ(toJson(QVariant(2.5), VarType::Variant, false), "2.5");
    EXPECT_EQ(toJson(QVariant(true), VarType::Variant, false), "true");
}

TEST(JsonString, EscapesControlCharactersAndKeepsOtherText) {
    const QString text = QStringLiteral("a\"b\\c") + QChar(0) + QStringLiteral("\x01\n\t") +
                         QStringLiteral("漢字ｱ") + QString::fromUtf8("\xF0\x9F\x8E\xB5") +
                         QChar(0xD800) + QStringLiteral("z");
    EXPECT_EQ(jsonString(text).toStdString(),
              "\"a\\\"b\\\\c\\u0000\\u0001\\n\\t漢字ｱ\xF0\x9F\x8E\xB5\\ud800z\"");
    EXPECT_EQ(toJson(std::nullopt, VarType::String, false), "null");
    EXPECT_EQ(toJson(QVariant::fromValue(Integer(-1)), VarType::Boolean, false), "true");
    EXPECT_EQ(toJson(QVariant::fromValue(Integer(0)), VarType::Boolean, false), "false");
    EXPECT_EQ(toJson(QVariant(0.1), VarType::Double, false), "0.1");
}

TEST(MemberSignatures, ListEveryMemberWithItsParameters) {
    const QStringList lines = memberSignatures();
    EXPECT_EQ(lines.size(), static_cast<qsizetype>(DispatchTable::instance().members().size()));
    EXPECT_TRUE(
        lines.contains("#59 RVN_TimeCheck(hh: Long; mn: Long; ss: Long; MS: Long): Boolean"));
    EXPECT_TRUE(lines.contains("#13 RVN_ShellSort(sList: String())"));
}

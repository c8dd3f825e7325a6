// Automation members: binding methods, changing a host's values to the
// declared types, and handing by-reference arguments back.

#include "platform/automation/member_binding.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace tambolin;
using namespace tambolin::automation;

namespace {

template <class T> struct Bounded {
    Long lower = 0;
    std::vector<T> items;
};

// A small object whose methods show each way an argument can travel.
class Counter {
public:
    Integer total = 0;
    Integer Total() const { return total; }
    void setTotal(Integer &value) { total = value; }
    // Adds step to value, leaving both; step is a copy the caller keeps.
    Long Add(Long &value, Integer step) {
        value += step;
        step = 0;
        return value;
    }
    // times is optional: once when omitted, reported back when given.
    QString Repeat(QString &text, Integer *times) {
        const Integer n = times ? *times : Integer(1);
        if (times)
            *times = -n;
        return text.repeated(n);
    }
    void Reverse(Bounded<QString> &list) { std::reverse(list.items.begin(), list.items.end()); }
    QByteArray Bytes(QByteArray &bytes, Boolean &odd) {
        odd = bytes.size() % 2 ? True : False;
        return bytes.toUpper();
    }
};

MemberTable<Counter> counterTable() {
    MemberTable<Counter> t;
    auto add = [&t](Long id, Kind kind, MemberEntry<Counter> m) {
        m.id = id;
        m.kind = kind;
        t.add(std::move(m));
    };
    using enum VarType;
    add(0, PropertyGet, bind("Total", Integer, {}, &Counter::Total));
    add(0, PropertyPut, bind("Total", {}, {{"value", Integer}}, &Counter::setTotal));
    add(1, Method, bind("Add", Long, {{"value", Long}, {"step", Integer}}, &Counter::Add));
    add(2, Method,
        bind("Repeat", String, {{"text", String}, {"times", Integer}}, &Counter::Repeat));
    add(3, Method, bind("Reverse", {}, {{"list", String}}, &Counter::Reverse));
    add(4, Method, bind("Bytes", Bytes, {{"bytes", Bytes}, {"odd", Boolean}}, &Counter::Bytes));
    return t;
}

QVariant i16(int v) {
    return QVariant::fromValue(static_cast<Integer>(v));
}
QVariant i32(int v) {
    return QVariant::fromValue(static_cast<Long>(v));
}

} // namespace

TEST(AutomationMembers, BindingDescribesParametersFromTheMethod) {
    const MemberTable<Counter> t = counterTable();
    const auto *add = t.byName(u"add");
    ASSERT_NE(add, nullptr);
    EXPECT_FALSE(add->params[0].byValue);
    EXPECT_TRUE(add->params[1].byValue);
    EXPECT_EQ(add->result, VarType::Long);
    const auto *repeat = t.byId(2);
    ASSERT_NE(repeat, nullptr);
    EXPECT_EQ(repeat->requiredCount(), 1u);
    EXPECT_TRUE(repeat->params[1].optional);
    EXPECT_TRUE(t.byId(3)->params[0].isArray);
    // A property's read and write share an identifier; the kind selects.
    EXPECT_EQ(t.byId(0, PropertyPut)->params.size(), 1u);
    EXPECT_EQ(t.byId(0, Method | PropertyGet)->kind, PropertyGet);
    EXPECT_EQ(t.byId(0, Method), nullptr);
    EXPECT_EQ(t.byName(u"Total", PropertyPut), t.byId(0, PropertyPut));
    EXPECT_EQ(t.byName(u"Missing"), nullptr);
}

TEST(AutomationMembers, ByReferenceArgumentsComeBackAndCopiesDoNot) {
    const MemberTable<Counter> t = counterTable();
    Counter c;
    QVariant result;
    Arguments args{i32(40), i16(2)};
    ASSERT_EQ(invokeMember(c, *t.byName(u"Add"), args, &result), Status::Ok);
    EXPECT_EQ(result, i32(42));
    EXPECT_EQ(args[0], i32(42));
    EXPECT_EQ(args[1], i16(2));

    Arguments once{QVariant(QStringLiteral("ab"))};
    ASSERT_EQ(invokeMember(c, *t.byId(2), once, &result), Status::Ok);
    EXPECT_EQ(result, QVariant(QStringLiteral("ab")));
    ASSERT_EQ(once.size(), 2u);
    EXPECT_FALSE(once[1].has_value());
    Arguments thrice{QVariant(QStringLiteral("ab")), i16(3)};
    ASSERT_EQ(invokeMember(c, *t.byId(2), thrice, &result), Status::Ok);
    EXPECT_EQ(result, QVariant(QStringLiteral("ababab")));
    EXPECT_EQ(thrice[1], i16(-3));

    VariantArray list{1, {QStringLiteral("a"), QStringLiteral("b")}};
    Arguments reversed{QVariant::fromValue(list)};
    ASSERT_EQ(invokeMember(c, *t.byId(3), reversed, &result), Status::Ok);
    EXPECT_FALSE(result.isValid());
    EXPECT_EQ(reversed[0]->value<VariantArray>(),
              (VariantArray{1, {QStringLiteral("b"), QStringLiteral("a")}}));
}

TEST(AutomationMembers, ArgumentsOfTheWrongTypeOrCountCallNothing) {
    const MemberTable<Counter> t = counterTable();
    Counter c;
    QVariant result = QStringLiteral("untouched");
    QString error;
    Arguments intForShort{i32(40), i32(2)};
    EXPECT_EQ(invokeMember(c, *t.byName(u"Add"), intForShort, &result, &error),
              Status::TypeMismatch);
    EXPECT_TRUE(error.contains(QStringLiteral("step"))) << error.toStdString();
    Arguments none;
    EXPECT_EQ(invokeMember(c, *t.byName(u"Add"), none, &result, &error), Status::BadParamCount);
    Arguments mixed{QVariant::fromValue(VariantArray{0, {QStringLiteral("a"), i32(1)}})};
    EXPECT_EQ(invokeMember(c, *t.byId(3), mixed, &result), Status::TypeMismatch);
    EXPECT_EQ(result, QVariant(QStringLiteral("untouched")));
}

TEST(AutomationMembers, HostValuesAreChangedToTheDeclaredTypes) {
    const MemberTable<Counter> t = counterTable();
    Counter c;
    QVariantList text{QStringLiteral(" 12 ")};
    EXPECT_EQ(invokeWithValues(c, t.byId(0, PropertyPut), text).status, Status::Ok);
    EXPECT_EQ(c.total, 12);
    EXPECT_EQ(text, (QVariantList{i16(12)}));

    QVariantList values{QVariantList{97, 98.4, 255}, QStringLiteral("true")};
    const Outcome bytes = invokeWithValues(c, t.byId(4), values);
    ASSERT_EQ(bytes.status, Status::Ok);
    EXPECT_EQ(bytes.result, QVariant(QByteArray("AB\xFF")));
    EXPECT_EQ(values, (QVariantList{QByteArray("ab\xFF"), i16(True)}));

    QVariantList tooMany{1, 2};
    EXPECT_EQ(invokeWithValues(c, t.byId(0, PropertyPut), tooMany).status, Status::BadParamCount);
    QVariantList empty;
    EXPECT_EQ(invokeWithValues(c, t.byId(9), empty).status, Status::MemberNotFound);
    QVariantList huge{70000};
    EXPECT_EQ(invokeWithValues(c, t.byId(0, PropertyPut), huge).status, Status::Overflow);
    EXPECT_EQ(huge, QVariantList{70000}); // left as given when nothing was called
    EXPECT_EQ(c.total, 12);
}

TEST(ChangeType, NumbersRoundHalfToEvenWithinRange) {
    EXPECT_EQ(changeType(2.5, VarType::Integer).value, i16(2));
    EXPECT_EQ(changeType(3.5, VarType::Integer).value, i16(4));
    EXPECT_EQ(changeType(-32768.4, VarType::Integer).value, i16(-32768));
    EXPECT_EQ(changeType(32767.5, VarType::Integer).status, Status::Overflow);
    EXPECT_EQ(changeType(40000, VarType::Long).value, i32(40000));
    EXPECT_EQ(changeType(2147483648.0, VarType::Long).status, Status::Overflow);
    EXPECT_EQ(changeType(qQNaN(), VarType::Double).status, Status::Overflow);
    EXPECT_EQ(changeType(QStringLiteral("twelve"), VarType::Integer).status, Status::TypeMismatch);
    EXPECT_EQ(changeType(QVariant(), VarType::Integer).value, i16(0));
    EXPECT_EQ(changeType(true, VarType::Integer).value, i16(-1));
}

TEST(ChangeType, TextsBooleansAndBytes) {
    EXPECT_EQ(changeType(QVariant(), VarType::String).value, QVariant(QString()));
    EXPECT_EQ(changeType(false, VarType::String).value, QVariant(QStringLiteral("False")));
    EXPECT_EQ(changeType(5, VarType::String).value, QVariant(QStringLiteral("5")));
    EXPECT_EQ(changeType(QStringLiteral(" FALSE "), VarType::Boolean).value, i16(False));
    EXPECT_EQ(changeType(QStringLiteral("7"), VarType::Boolean).value, i16(True));
    EXPECT_EQ(changeType(QStringLiteral("maybe"), VarType::Boolean).status, Status::TypeMismatch);
    EXPECT_EQ(changeType(QVariantList{256}, VarType::Bytes).status, Status::Overflow);
    EXPECT_EQ(changeType(QStringLiteral("ab"), VarType::Bytes).status, Status::TypeMismatch);
    const QVariant any = QVariant::fromValue(VariantArray{});
    EXPECT_EQ(changeType(any, VarType::Variant).value, any);
}

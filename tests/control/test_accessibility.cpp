// What a screen reader finds on the panel and in its settings form, in
// both languages: every button and list named and described in the
// language in use, the right roles, the lists announced by their captions.

#include "control/frm_tboset.h"
#include "control/title_label.h"
#include "control_fixture.h"
#include "platform/runtime/ui_language.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleInterface>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <algorithm>

namespace tambolin::testing {
namespace {

// The panel's buttons by element, and their names in each language.
const char *const kJapaneseNames[5] = {"再生", "停止", "ファイル読み込み", "保存", "MIDI設定"};
const char *const kEnglishNames[5] = {"Play", "Stop", "Open file", "Save", "MIDI settings"};
const char *const kTooltips[5] = {"再生", "停止", "ﾌｧｲﾙ読み込み", "保存", "MIDI設定"};

QAccessibleInterface *accessible(QObject *object) {
    return QAccessible::queryAccessibleInterface(object);
}

// The captions a widget is labelled by, as a screen reader reads them.
QStringList labelledBy(QWidget *widget) {
    QStringList captions;
    QAccessibleInterface *iface = accessible(widget);
    if (!iface)
        return captions;
    // Each pair tells how the other object stands to this one: its label.
    for (const auto &[other, relation] : iface->relations(QAccessible::Label))
        if (relation & QAccessible::Label)
            captions << other->text(QAccessible::Name);
    return captions;
}

class Accessibility : public ControlTest, public ::testing::WithParamInterface<UiLanguage> {
protected:
    Accessibility() : m_language(GetParam()) {}
    bool english() const { return GetParam() == UiLanguage::English; }

    UiTranslation m_language;
};

TEST_P(Accessibility, EveryPanelButtonIsANamedDescribedPushButton) {
    ASSERT_TRUE(m_language.missing().filter(QStringLiteral("tamberlo_")).isEmpty())
        << m_language.missing().join(u' ').toStdString();
    PLAYCTRL &ctrl = makeControl();
    QStringList descriptions;
    for (int index = 1; index <= 5; ++index) {
        SCOPED_TRACE(index);
        QAccessibleInterface *iface = accessible(ctrl.Command1(index));
        ASSERT_NE(iface, nullptr);
        EXPECT_EQ(iface->role(), QAccessible::Button);
        const char *name = english() ? kEnglishNames[index - 1] : kJapaneseNames[index - 1];
        EXPECT_EQ(iface->text(QAccessible::Name), QString::fromUtf8(name));
        const QString description = iface->text(QAccessible::Description);
        EXPECT_FALSE(description.isEmpty());
        // Written in the language in use: kana or kanji in Japanese, none in English.
        const bool japanese = std::any_of(description.begin(), description.end(),
                                          [](QChar c) { return c.unicode() >= 0x3000; });
        EXPECT_EQ(japanese, !english()) << description.toStdString();
        descriptions << description;
        // The tooltip is the panel's own, whatever the language.
        EXPECT_EQ(ctrl.Command1(index)->toolTip(), QString::fromUtf8(kTooltips[index - 1]));
    }
    descriptions.removeDuplicates();
    EXPECT_EQ(descriptions.size(), 5);
    // The title display reads the title.
    QAccessibleInterface *title = accessible(ctrl.Label1());
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->role(), QAccessible::StaticText);
    EXPECT_EQ(title->text(QAccessible::Name), QStringLiteral("Tamberlo Player"));
}

TEST_P(Accessibility, TheSettingsListsAreAnnouncedByTheirCaptions) {
    PLAYCTRL &ctrl = makeControl();
    FRM_TBOSET *form = ctrl.settingsForm();
    ASSERT_NE(form, nullptr);
    struct List {
        QComboBox *list;
        QLabel *label;
        const char *caption;
    };
    for (const List &l : {List{form->cmbOutDevice(), form->Label6(), "MIDI :"},
                          List{form->lstMusicalInstruments(), form->Label7(), "楽器 :"}}) {
        SCOPED_TRACE(l.caption);
        QAccessibleInterface *iface = accessible(l.list);
        ASSERT_NE(iface, nullptr);
        EXPECT_EQ(iface->role(), QAccessible::ComboBox);
        EXPECT_FALSE(iface->text(QAccessible::Name).isEmpty());
        EXPECT_FALSE(iface->text(QAccessible::Description).isEmpty());
        // The caption stays the form's own in every language.
        EXPECT_EQ(l.label->text(), QString::fromUtf8(l.caption));
        EXPECT_EQ(labelledBy(l.list), QStringList{QString::fromUtf8(l.caption)});

    }
    EXPECT_NE(form->cmbOutDevice()->accessibleDescription(),
              form->lstMusicalInstruments()->accessibleDescription());
    QAccessibleInterface *close = accessible(form->Command1());
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->role(), QAccessible::Button);
    EXPECT_EQ(close->text(QAccessible::Name), QStringLiteral("閉じる"));
    EXPECT_FALSE(close->text(QAccessible::Description).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Languages, Accessibility,
                         ::testing::Values(UiLanguage::Japanese, UiLanguage::English),
                         [](const auto &info) {
                             return info.param == UiLanguage::English ? "English" : "Japanese";
                         });

// A control that lives through a change of language follows it.
TEST_F(ControlTest, ALiveControlTakesUpANewLanguage) {
    PLAYCTRL &ctrl = makeControl();
    EXPECT_EQ(ctrl.Command1(1)->accessibleName(), QStringLiteral("再生"));
    {
        UiTranslation english(UiLanguage::English);
        QCoreApplication::processEvents(); // the change reaches widgets as an event
        EXPECT_EQ(ctrl.Command1(1)->accessibleName(), QStringLiteral("Play"));
        EXPECT_EQ(ctrl.settingsForm()->lstMusicalInstruments()->accessibleDescription(),
                  QStringLiteral("Chooses the instrument the melody is played with"));
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(ctrl.Command1(1)->accessibleName(), QStringLiteral("再生"));
}

} // namespace
} // namespace tambolin::testing

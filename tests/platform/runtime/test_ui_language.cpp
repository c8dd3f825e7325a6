// The one language of a program's windows: which one the environment asks
// for, and that installing it changes both the toolkit's texts and ours,
// and only for as long as it is installed.

#include "platform/runtime/ui_language.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QLibraryInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTranslator>
#include <gtest/gtest.h>

namespace tambolin {
namespace {

QProcessEnvironment environment(std::initializer_list<std::pair<const char *, const char *>> vars) {
    QProcessEnvironment env;
    for (const auto &[name, value] : vars)
        env.insert(QString::fromLatin1(name), QString::fromLatin1(value));
    return env;
}

TEST(UiLanguageOf, EnglishOnlyWhenTheUsersLanguageIsEnglish) {
    struct Case {
        QProcessEnvironment env;
        UiLanguage expected;
    };
    const Case cases[] = {
        {environment({}), UiLanguage::Japanese},
        {environment({{"LANG", "ja_JP.UTF-8"}}), UiLanguage::Japanese},
        {environment({{"LANG", "en_US.UTF-8"}}), UiLanguage::English},
        {environment({{"LANG", "en"}}), UiLanguage::English},
        {environment({{"LANG", "en@quot"}}), UiLanguage::English},
        {environment({{"LANG", "de_DE.UTF-8"}}), UiLanguage::Japanese},
        {environment({{"LANG", "C"}}), UiLanguage::Japanese},
        // A code that merely begins with the letters is another language.
        {environment({{"LANG", "enm"}}), UiLanguage::Japanese},
        // LC_ALL over LC_MESSAGES over LANG.
        {environment({{"LANG", "ja_JP.UTF-8"}, {"LC_MESSAGES", "en_GB.UTF-8"}}),
         UiLanguage::English},
        {environment({{"LC_MESSAGES", "en_GB.UTF-8"}, {"LC_ALL", "ja_JP.UTF-8"}}),
         UiLanguage::Japanese},
        {environment({{"LANG", "ja_JP.UTF-8"}, {"LC_ALL", "en_US.UTF-8"}}), UiLanguage::English},
        // LANGUAGE's first choice wins, except in the C locale.
        {environment({{"LANG", "ja_JP.UTF-8"}, {"LANGUAGE", "en_US:ja"}}), UiLanguage::English},
        {environment({{"LANG", "en_US.UTF-8"}, {"LANGUAGE", "ja:en"}}), UiLanguage::Japanese},
        {environment({{"LANG", "en_US.UTF-8"}, {"LANGUAGE", ":"}}), UiLanguage::English},
        {environment({{"LANG", "C"}, {"LANGUAGE", "en"}}), UiLanguage::Japanese},
        {environment({{"LANGUAGE", "en"}}), UiLanguage::Japanese},
    };
    for (const Case &c : cases)
        EXPECT_EQ(uiLanguageOf(c.env), c.expected) << c.env.toStringList().join(u' ').toStdString();
}

// What the toolkit's own catalogue says for a text, read from the file.
QString qtTranslation(const char *code, const char *context, const char *source) {
    QTranslator catalogue;
    if (!catalogue.load(QStringLiteral("qtbase_") + QLatin1String(code),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return {};
    return catalogue.translate(context, source);
}

QString cancelText() {
    QDialogButtonBox box(QDialogButtonBox::Cancel);
    return box.button(QDialogButtonBox::Cancel)->text();
}

TEST(UiTranslation, JapaneseCoversTheToolkitsDialogsAndOurTexts) {
    const QString cancel = qtTranslation("ja", "QPlatformTheme", "Cancel");
    ASSERT_FALSE(cancel.isEmpty()) << "qtbase_ja.qm is missing or has no Cancel";
    ASSERT_NE(cancel, QStringLiteral("Cancel"));
    const QString untranslated = cancelText();
    {
        UiTranslation japanese(UiLanguage::Japanese);
        EXPECT_TRUE(japanese.missing().isEmpty()) << japanese.missing().join(u' ').toStdString();
        EXPECT_EQ(cancelText(), cancel);
        // Ours: a system text written in English reads in Japanese.
        EXPECT_EQ(QCoreApplication::translate("QObject", "Shut Down"),
                  QStringLiteral("シャットダウン"));
        EXPECT_EQ(QCoreApplication::translate("tamberlo", "終了(&Q)"), QStringLiteral("終了(&Q)"));
    }
    // Gone with the object.
    EXPECT_EQ(cancelText(), untranslated);
    EXPECT_EQ(QCoreApplication::translate("QObject", "Shut Down"), QStringLiteral("Shut Down"));
}

TEST(UiTranslation, EnglishCoversOurJapaneseTexts) {
    UiTranslation english(UiLanguage::English);
    EXPECT_TRUE(english.missing().filter(QStringLiteral("tamberlo_")).isEmpty());
    EXPECT_EQ(cancelText(), QStringLiteral("Cancel"));
    EXPECT_EQ(QCoreApplication::translate("tamberlo", "終了(&Q)"), QStringLiteral("&Quit"));
    EXPECT_EQ(QCoreApplication::translate("PLAYCTRL", "再生"), QStringLiteral("Play"));
    EXPECT_EQ(QCoreApplication::translate("QObject", "Shut Down"), QStringLiteral("Shut Down"));
}

TEST(UiTranslation, AMissingCatalogueIsNamedAndTheRestStillApplies) {
    QTemporaryDir empty;
    ASSERT_TRUE(empty.isValid());
    UiTranslation japanese(UiLanguage::Japanese, empty.path());
    EXPECT_EQ(japanese.missing(), QStringList{QStringLiteral("tamberlo_ja.qm")});
    EXPECT_EQ(cancelText(), qtTranslation("ja", "QPlatformTheme", "Cancel"));
    EXPECT_EQ(QCoreApplication::translate("QObject", "Shut Down"), QStringLiteral("Shut Down"));
}

TEST(UiTranslation, EveryOneOfOurTextsHasBothLanguages) {
    // Each catalogue translates every text it holds: none is left for later.
    for (const char *code : {"ja", "en"}) {
        SCOPED_TRACE(code);
        QFile ts(QStringLiteral(TAMBOLIN_SOURCE_DIR "/translations/tamberlo_") +
                 QLatin1String(code) + QStringLiteral(".ts"));
        ASSERT_TRUE(ts.open(QIODevice::ReadOnly));
        const QByteArray text = ts.readAll();
        EXPECT_GT(text.count("<message>"), 20);
        EXPECT_EQ(text.count("type=\"unfinished\""), 0);
        EXPECT_EQ(text.count("<translation></translation>"), 0);
    }
}

} // namespace
} // namespace tambolin

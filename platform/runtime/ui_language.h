#pragma once
// The language of every window of a program: Japanese, the player's own,
// unless the user's language is English. One choice covers both the
// toolkit's texts (dialog buttons, file dialogs) and the texts we added;
// the panel's captions are the player's fixed texts and stay as they are.

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class QTranslator;

namespace tambolin {

enum class UiLanguage { Japanese, English };

// The user's language as the C library's message catalogues read it: the
// first entry of LANGUAGE (unless the locale is C or POSIX), else LC_ALL,
// LC_MESSAGES, LANG. English when it is "en" or "en_..."; Japanese for
// anything else, unset included.
UiLanguage uiLanguageOf(const QProcessEnvironment &environment);

// "ja" or "en".
QString uiLanguageCode(UiLanguage language);

// Where our catalogues are, beside the program: <bin>/../share/tamberlo/translations,
// in the build tree and once installed alike.
QString ownTranslationsFolder();

// The language's catalogues, installed into the application for as long as
// this object lives: the toolkit's (qtbase_<code>.qm from the Qt
// translations folder) and ours (tamberlo_<code>.qm from ownFolder).
// Needs the application object; windows made afterwards use the language.
class UiTranslation final {
public:
    explicit UiTranslation(UiLanguage language, const QString &ownFolder = ownTranslationsFolder());
    ~UiTranslation();
    UiTranslation(const UiTranslation &) = delete;
    UiTranslation &operator=(const UiTranslation &) = delete;

    UiLanguage language() const { return m_language; }
    // The names of the catalogue files that could not be loaded (their
    // texts stay in the language they are written in), "qtbase_ja.qm".
    const QStringList &missing() const { return m_missing; }

private:
    void install(const QString &name, const QString &folder);

    UiLanguage m_language;
    std::vector<std::unique_ptr<QTranslator>> m_installed;
    QStringList m_missing;
};

// The user's language, from the process environment, installed; a program
// keeps the result for its whole run.
std::unique_ptr<UiTranslation> installUiLanguage();

} // namespace tambolin

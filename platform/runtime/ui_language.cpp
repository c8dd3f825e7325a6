#include "platform/runtime/ui_language.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

namespace tambolin {

namespace {

bool isEnglish(const QString &name) {
    // "en", "en_GB.UTF-8", "en@quot", "en-US"; not another code that begins so.
    return name.startsWith(QLatin1String("en")) &&
           (name.size() == 2 || QStringLiteral("_.@-").contains(name.at(2)));
}

} // namespace

UiLanguage uiLanguageOf(const QProcessEnvironment &environment) {
    QString locale;
    for (const char *name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        locale = environment.value(QString::fromLatin1(name));
        if (!locale.isEmpty())
            break;
    }
    QString language = locale;
    // LANGUAGE is a list of preferences, and means nothing in the C locale.
    if (!locale.isEmpty() && locale != QLatin1String("C") && locale != QLatin1String("POSIX")) {
        const QStringList preferred = environment.value(QStringLiteral("LANGUAGE"))
                                          .split(QLatin1Char(':'), Qt::SkipEmptyParts);
        if (!preferred.isEmpty())
            language = preferred.first();
    }
    return isEnglish(language) ? UiLanguage::English : UiLanguage::Japanese;
}

QString uiLanguageCode(UiLanguage language) {
    return language == UiLanguage::English ? QStringLiteral("en") : QStringLiteral("ja");
}

QString ownTranslationsFolder() {
    return QDir::cleanPath(QCoreApplication::applicationDirPath() +
                           QStringLiteral("/../share/tamberlo/translations"));
}

UiTranslation::UiTranslation(UiLanguage language, const QString &ownFolder) : m_language(language) {
    const QString code = uiLanguageCode(language);
    install(QStringLiteral("qtbase_") + code, QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    install(QStringLiteral("tamberlo_") + code, ownFolder);
}

UiTranslation::~UiTranslation() {
    if (!QCoreApplication::instance())
        return;
    for (const auto &translator : m_installed)
        QCoreApplication::removeTranslator(translator.get());
}

void UiTranslation::install(const QString &name, const QString &folder) {
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(name, folder) || !QCoreApplication::instance() ||
        !QCoreApplication::installTranslator(translator.get())) {
        m_missing << name + QStringLiteral(".qm");
        return;
    }
    m_installed.push_back(std::move(translator));
}

std::unique_ptr<UiTranslation> installUiLanguage() {
    return std::make_unique<UiTranslation>(uiLanguageOf(QProcessEnvironment::systemEnvironment()));
}

} // namespace tambolin

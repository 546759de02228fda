#include "window/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

QString qtCatalogueFor(i18n::Language language)
{
    switch (language) {
    case i18n::Language::TraditionalChinese: return QStringLiteral("qtbase_zh_TW");
    case i18n::Language::SimplifiedChinese: return QStringLiteral("qtbase_zh_CN");
    case i18n::Language::Japanese: return QStringLiteral("qtbase_ja");
    case i18n::Language::English: break;
    }
    return {};
}

bool installQtTranslations(i18n::Language language)
{
    // The language is the program's choice, not Qt's reading of the locale:
    // a Singapore Chinese user gets the Traditional texts, and Qt's words
    // must follow them.
    static std::unique_ptr<QTranslator> installed;
    if (installed) {
        QCoreApplication::removeTranslator(installed.get());
        installed.reset();
    }
    const QString catalogue = qtCatalogueFor(language);
    if (catalogue.isEmpty())
        return false;
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(catalogue, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    QCoreApplication::installTranslator(translator.get());
    installed = std::move(translator);
    return true;
}

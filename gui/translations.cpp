#include "gui/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

namespace quillow {

std::unique_ptr<QTranslator> installTranslations(Language language)
{
    if (QTranslator* ours = interfaceTranslator())
        QCoreApplication::installTranslator(ours);
    const QLocale qtLanguage = language == Language::English ? QLocale(QLocale::English, QLocale::UnitedStates)
                                                             : QLocale(QLocale::Chinese, QLocale::China);
    auto qt = std::make_unique<QTranslator>();
    if (!qt->load(qtLanguage, QStringLiteral("qtbase"), QStringLiteral("_"),
                  QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return nullptr;
    QCoreApplication::installTranslator(qt.get());
    return qt;
}

}  // namespace quillow

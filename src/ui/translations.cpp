#include "ui/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace vgx {

bool InstallPortugueseTranslations(QCoreApplication& app) {
    const QLocale brazil(QLocale::Portuguese, QLocale::Brazil);
    QLocale::setDefault(brazil);
    auto* translator = new QTranslator(&app);
    // qtbase holds the texts of the widgets; the qt_ catalogue names it and the other modules.
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (translator->load(brazil, QStringLiteral("qtbase"), QStringLiteral("_"), folder) ||
        translator->load(brazil, QStringLiteral("qt"), QStringLiteral("_"), folder)) {
        return QCoreApplication::installTranslator(translator);
    }
    delete translator;
    return false;
}

}  // namespace vgx

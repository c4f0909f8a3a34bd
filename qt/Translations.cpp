// Qt's own Finnish translations, so that standard buttons and file dialogs speak Finnish.
#include "qt/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace kp {

bool InstallFinnishTranslations(QCoreApplication& application) {
    const QLocale finnish(QLocale::Finnish, QLocale::Finland);
    QLocale::setDefault(finnish);
    // Owned by the application: it must outlive every dialog.
    auto* translator = new QTranslator(&application);
    if (!translator->load(finnish, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

} // namespace kp

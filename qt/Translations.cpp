// Qt's own Finnish translations, so that standard buttons and file dialogs speak Finnish.
#include "qt/Translations.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace kp {
namespace {

// Qt's catalogue says "Peru" for Cancel; the program's own boxes say "Peruuta", and so do the
// standard ones then. Asked before Qt's catalogue; an empty answer passes the text on.
class ProgramWords : public QTranslator {
  public:
    using QTranslator::QTranslator;
    bool isEmpty() const override { return false; }
    QString translate(const char*, const char* source, const char*, int) const override {
        const QByteArray text(source);
        if (text == "Cancel" || text == "&Cancel")
            return QStringLiteral("Peruuta");
        return {};
    }
};

} // namespace

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
    return QCoreApplication::installTranslator(translator) &&
           QCoreApplication::installTranslator(new ProgramWords(&application));
}

} // namespace kp

// Program start: kirjanpito [PROFILE] [--open BOOK | BOOK] [--screenshots FOLDER] [--help]
// [--version].
#include "app/StartArguments.h"
#include "output/Settings.h"
#include "qt/AccountDialog.h"
#include "qt/HelpWindow.h"
#include "qt/MainWindow.h"
#include "qt/PeriodBox.h"
#include "qt/QtPlatform.h"
#include "qt/QtText.h"
#include "qt/Translations.h"
#include "qt/VoucherDialog.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeView>
#include <cstdio>
#include <optional>
#include <string_view>
#include <vector>

namespace {

constexpr const char* kUsage =
    "K\u00e4ytt\u00f6: kirjanpito [PROFIILI] [--open KIRJA | KIRJA.tlk]\n"
    "Kahdenkertainen kirjanpito pienyritykselle.\n\n"
    "  PROFIILI              asetustiedosto PROFIILI.ini (oletus kirjanpito.ini)\n"
    "  --open KIRJA          avaa kirjanpitotiedoston (muuten viimeksi k\u00e4ytetyn)\n"
    "  KIRJA.tlk, KIRJA.txt  olemassa oleva kirjanpitotiedosto avataan samoin\n"
    "  --screenshots KANSIO  kuvat sivuista ja ikkunoista kansioon, sitten loppuu\n"
    "  --help                t\u00e4m\u00e4 ohje\n"
    "  --version             ohjelman versio\n";

// --help and --version answer without a display; any other option that the program does not
// know is refused rather than taken for a profile name. -1: go on and start the window.
int EarlyExit(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--open" || argument == "--screenshots") {
            ++i;
        } else if (argument == "--help" || argument == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (argument == "--version") {
            std::printf("kirjanpito %s\n", KP_VERSION);
            return 0;
        } else if (argument.size() > 1 && argument.front() == '-') {
            std::fprintf(stderr, "Tuntematon valitsin: %s\n%s", argv[i], kUsage);
            return 2;
        }
    }
    return -1;
}

} // namespace

int main(int argc, char* argv[]) {
    if (const int rc = EarlyExit(argc, argv); rc >= 0)
        return rc;
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kirjanpito"));
    kp::InstallFinnishTranslations(application);

    // A book given by its path alone (a double click in a file manager) or by --open; the first
    // other argument names the settings profile.
    std::vector<std::string> words;
    const QStringList arguments = QApplication::arguments();
    for (qsizetype i = 1; i < arguments.size(); ++i)
        words.push_back(kp::ToUtf8(arguments[i]));
    const kp::StartArguments start = kp::ParseStartArguments(words);
    const std::optional<std::string>& profile = start.profile;
    const std::optional<std::string>& book = start.book;
    std::optional<QString> screenshots;
    if (start.screenshots)
        screenshots = kp::FromUtf8(*start.screenshots);

    const std::string settingsPath =
        kp::SettingsPath(kp::ToUtf8(QCoreApplication::applicationFilePath()),
                         profile ? std::optional<std::string_view>(*profile) : std::nullopt,
                         kp::SystemSettingsEnvironment());
    const kp::Settings settings = kp::ReadSettings(settingsPath);

    kp::QtPlatform platform;
    kp::MainWindow window(platform, settings, settingsPath);
    platform.setParent(&window);
    // Closing the window ends the program, whatever else is still on screen.
    QObject::connect(&window, &kp::MainWindow::closed, &application, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    window.show();
    if (book)
        window.openFile(*book);
    else if (!settings.lastName.empty() && platform.fileExists(settings.lastName))
        window.openFile(settings.lastName);
    if (!screenshots)
        window.startRecovery();
    if (screenshots) {
        // One picture of every statement page, the period chooser answered with its preselection.
        QDir().mkpath(*screenshots);
        window.resize(1200, 800);
        for (int tab = 0; tab <= static_cast<int>(kp::Tab::Vat); ++tab) {
            window.pages()->setCurrentIndex(tab);
            QApplication::processEvents();
            if (window.periodBox()->isVisible())
                window.periodBox()->okButton()->click();
            QApplication::processEvents();
            const QString name = QStringLiteral("%1/sivu-%2.png").arg(*screenshots).arg(tab);
            if (!window.grab().save(name))
                return 1;
        }
        // The voucher editor on the fourth voucher and the account editor on the first account.
        window.pages()->setCurrentIndex(static_cast<int>(kp::Tab::Journal));
        QTreeView* journal = window.treeView(kp::Tab::Journal);
        journal->setCurrentIndex(journal->model()->index(3, 0, journal->model()->index(0, 0)));
        window.voucherCommand(2);
        QApplication::processEvents();
        if (!window.voucherDialog()->grab().save(*screenshots + QStringLiteral("/tosite.png")))
            return 1;
        window.voucherDialog()->cancelButton()->click();
        window.pages()->setCurrentIndex(static_cast<int>(kp::Tab::Chart));
        QTreeView* chart = window.treeView(kp::Tab::Chart);
        chart->expandAll();
        QModelIndex line = chart->model()->index(0, 0);
        while (line.isValid() && !line.data().toString().front().isDigit())
            line = chart->indexBelow(line);
        chart->setCurrentIndex(line);
        window.chartCommand(0);
        QApplication::processEvents();
        if (!window.accountDialog()->grab().save(*screenshots + QStringLiteral("/tili.png")))
            return 1;
        window.accountDialog()->cancelButton()->click();
        // The journal page with the "Tosite" menu open under its title, and the help window.
        window.pages()->setCurrentIndex(static_cast<int>(kp::Tab::Journal));
        QApplication::processEvents();
        QMenu* menu = window.voucherMenu();
        const QRect title = window.menuBar()->actionGeometry(menu->menuAction());
        const QPoint at = window.menuBar()->mapTo(&window, title.bottomLeft());
        menu->popup(window.mapToGlobal(at));
        QApplication::processEvents();
        QPixmap menus = window.grab();
        {
            QPainter painter(&menus);
            painter.drawPixmap(at, menu->grab());
        }
        menu->hide();
        window.showHelp();
        QApplication::processEvents();
        if (!menus.save(*screenshots + QStringLiteral("/valikot.png")) || !window.helpWindow() ||
            !window.helpWindow()->grab().save(*screenshots + QStringLiteral("/ohje.png")))
            return 1;
        return 0;
    }
    return QApplication::exec();
}

// Program start: kirjanpito [PROFILE] [--open BOOK] [--screenshots FOLDER].
#include "output/Settings.h"
#include "qt/AccountDialog.h"
#include "qt/MainWindow.h"
#include "qt/PeriodBox.h"
#include "qt/QtPlatform.h"
#include "qt/QtText.h"
#include "qt/VoucherDialog.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPixmap>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeView>
#include <optional>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kirjanpito"));

    // The first argument that is not part of --open names the settings profile.
    std::optional<std::string> profile;
    std::optional<std::string> book;
    std::optional<QString> screenshots;
    const QStringList arguments = QApplication::arguments();
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == QStringLiteral("--open") && i + 1 < arguments.size())
            book = kp::ToUtf8(arguments[++i]);
        else if (arguments[i] == QStringLiteral("--screenshots") && i + 1 < arguments.size())
            screenshots = arguments[++i];
        else if (!profile)
            profile = kp::ToUtf8(arguments[i]);
    }

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
        return 0;
    }
    return QApplication::exec();
}

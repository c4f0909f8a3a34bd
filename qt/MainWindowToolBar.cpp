// The main window's voucher menu, toolbar and help window.
#include "qt/HelpWindow.h"
#include "qt/MainWindow.h"
#include "qt/VoucherDialog.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>
#include <QTextBrowser>
#include <QToolBar>

namespace kp {

// The keys are window-wide shortcuts (createShortcuts), so that they act on every page; the
// entries only show them.
void MainWindow::createVoucherMenu() {
    m_voucherMenu = menuBar()->addMenu(QStringLiteral("Tosite"));
    const struct {
        const char* text;
        int command; // of voucherCommand
    } entries[] = {{"Uusi tosite\tCtrl+N", 0},
                   {"Muokkaa tositetta\tCtrl+E", 2},
                   {"Kopioi uusi tosite\tCtrl+K", 1}};
    for (const auto& entry : entries)
        connect(m_voucherMenu->addAction(QString::fromUtf8(entry.text)), &QAction::triggered, this,
                [this, command = entry.command] { voucherCommand(command); });
    m_voucherMenu->addSeparator();
    m_vatSplitAction = m_voucherMenu->addAction(QStringLiteral("Alv-erittely"));
    m_vatSplitAction->setCheckable(true);
    m_vatSplitAction->setChecked(m_app.settings().vatSplit);
    connect(m_vatSplitAction, &QAction::toggled, this,
            [this](bool on) { m_app.settings().vatSplit = on; });
}

void MainWindow::updateVoucherActions() {
    // Vouchers go into the open book's events; editing and copying take the journal's
    // selection.
    const bool hasEvents = m_app.index().events() != nullptr;
    for (QAction* action : m_voucherMenu->actions())
        action->setEnabled(hasEvents);
    if (m_toolBar)
        for (QAction* action : m_toolBar->actions())
            if (action->property("needsBook").toBool())
                action->setEnabled(m_app.pageControlVisible());
}

// Each button names its command and key in its tooltip.
void MainWindow::createToolBar() {
    m_toolBar = addToolBar(QStringLiteral("Työkalut"));
    m_toolBar->setObjectName(QStringLiteral("toolBar"));
    m_toolBar->setMovable(false);
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    const auto add = [this](QStyle::StandardPixmap icon, const QString& text,
                            const QString& tooltip, bool needsBook, auto handler) {
        QAction* action = m_toolBar->addAction(style()->standardIcon(icon), text);
        action->setToolTip(tooltip);
        action->setProperty("needsBook", needsBook);
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    add(QStyle::SP_DialogOpenButton, QStringLiteral("Avaa"), QStringLiteral("Avaa (Ctrl+O)"), false,
        [this] { run([this] { m_app.openCommand(false); }); });
    add(QStyle::SP_DialogSaveButton, QStringLiteral("Tallenna"),
        QStringLiteral("Tallenna (Ctrl+S)"), true, [this] { m_app.saveCommand(false); });
    m_toolBar->addSeparator();
    // Undo and redo ("Kumoa", "Tee uudelleen") take their place here, between the file and
    // the voucher commands.
    m_toolBar->addSeparator();
    add(QStyle::SP_FileIcon, QStringLiteral("Uusi tosite"), QStringLiteral("Uusi tosite (Ctrl+N)"),
        true, [this] { voucherCommand(0); });
    add(QStyle::SP_FileDialogDetailedView, QStringLiteral("Tulosta"),
        QStringLiteral("Tulosta näytetty sivu (Ctrl+P)"), true, [this] { printCommand(0); });
    add(QStyle::SP_BrowserReload, QStringLiteral("Jakso"),
        QStringLiteral("Valitse jakso: Päivitä sivut (F5)"), true,
        [this] { run([this] { m_app.refreshPages(); }); });
    m_toolBar->addSeparator();
    add(QStyle::SP_DialogHelpButton, QStringLiteral("Ohje"), QStringLiteral("Ohje (F1)"), false,
        [this] { showHelp(); });
}

void MainWindow::showHelp() {
    if (!m_helpWindow)
        m_helpWindow = new HelpWindow(this);
    const QString file = m_helpFile.isEmpty() ? HelpWindow::helpFilePath() : m_helpFile;
    if (!m_helpWindow->open(file)) {
        m_platform.showError("Ohjetta ei löydy: ohjelman kansiosta puuttuu kirjanpito.html.");
        return;
    }
    m_helpWindow->show();
    m_helpWindow->raise();
    m_helpWindow->activateWindow();
}

} // namespace kp

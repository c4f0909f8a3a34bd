// The main window's menus, shortcuts, the filter dialog and the book check's findings.
#include "app/BookCheck.h"
#include "qt/MainWindow.h"
#include "qt/QtText.h"
#include "qt/TabStopBar.h"

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFontDialog>
#include <QFormLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>

namespace kp {
namespace {} // namespace

void MainWindow::createMenus() {
    // The keys are shown beside the entries but belong to window-wide shortcuts, which act
    // even while an entry is hidden; an entry carrying the same key would make it ambiguous.
    m_fileMenu = menuBar()->addMenu(QStringLiteral("Tiedosto"));
    m_fileMenu->setToolTipsVisible(true); // the last books' folders
    // The last books, the latest first; each shows its file name and has its path as tooltip.
    for (size_t i = 0; i < m_recentActions.size(); ++i) {
        QAction* action = m_fileMenu->addAction(QStringLiteral("ViimeksiLuettu"));
        action->setVisible(false);
        connect(action, &QAction::triggered, this,
                [this, i] { run([this, i] { m_app.openRecentCommand(i); }); });
        m_recentActions[i] = action;
    }
    m_lastFileAction = m_recentActions[0];
    connect(m_fileMenu->addAction(QStringLiteral("Avaa\tCtrl+O")), &QAction::triggered, this,
            [this] { run([this] { m_app.openCommand(false); }); });
    m_comparisonAction = m_fileMenu->addAction(FromBook(m_app.comparisonCaption()));
    connect(m_comparisonAction, &QAction::triggered, this,
            [this] { run([this] { m_app.comparisonCommand(); }); });
    m_saveAction = m_fileMenu->addAction(QStringLiteral("Tallenna\tCtrl+S"));
    connect(m_saveAction, &QAction::triggered, this,
            [this] { run([this] { m_app.saveCommand(false); }, 0); });
    m_saveAsAction = m_fileMenu->addAction(QStringLiteral("Tallenna nimellä"));
    connect(m_saveAsAction, &QAction::triggered, this,
            [this] { run([this] { m_app.saveCommand(true); }, 0); });
    connect(m_fileMenu->addAction(QStringLiteral("Palauta varmuuskopio…")), &QAction::triggered,
            this, &MainWindow::restoreBackupCommand);
    connect(m_fileMenu->addAction(QStringLiteral("Uusi Tilikausi")), &QAction::triggered, this,
            [this] { basicDataCommand(BasicDataMode::NewFiscalYear); });
    connect(m_fileMenu->addAction(QStringLiteral("Uusi yritys")), &QAction::triggered, this,
            [this] { basicDataCommand(BasicDataMode::NewCompany); });
    m_fileMenu->addSeparator();
    m_printAction = m_fileMenu->addAction(QStringLiteral("Tulosta\tCtrl+P"));
    connect(m_printAction, &QAction::triggered, this, [this] { printCommand(0); });
    m_printMenu = m_fileMenu->addMenu(QStringLiteral("Tulosta"));
    connect(m_printMenu->addAction(QStringLiteral("Tulosta")), &QAction::triggered, this,
            [this] { printCommand(0); });
    connect(m_printMenu->addAction(QStringLiteral("Tiliote..")), &QAction::triggered, this,
            [this] { printCommand(1); });
    m_fileMenu->addSeparator();
    m_basicDataAction = m_fileMenu->addAction(QStringLiteral("Muuta perustietoja"));
    connect(m_basicDataAction, &QAction::triggered, this,
            [this] { basicDataCommand(BasicDataMode::ChangeBasicData); });
    m_maintenanceAction = m_fileMenu->addAction(QStringLiteral("Näytä ylläpitosivu"));
    connect(m_maintenanceAction, &QAction::triggered, this, &MainWindow::toggleMaintenance);
    m_checkAction = m_fileMenu->addAction(QStringLiteral("Tarkista kirjanpito"));
    connect(m_checkAction, &QAction::triggered, this, &MainWindow::checkBookCommand);
    m_fileMenu->addSeparator();
    connect(m_fileMenu->addAction(QStringLiteral("Sulje\tCtrl+X")), &QAction::triggered, this,
            &QWidget::close);
    connect(m_fileMenu, &QMenu::aboutToShow, this, &MainWindow::updateFileMenu);

    // Undo and redo head both "Muokkaa" menus: whichever the page shows.
    m_undoAction = new QAction(this);
    connect(m_undoAction, &QAction::triggered, this, [this] { undoCommand(true); });
    m_redoAction = new QAction(this);
    connect(m_redoAction, &QAction::triggered, this, [this] { undoCommand(false); });

    m_treeMenu = menuBar()->addMenu(QStringLiteral("Muokkaa"));
    m_treeMenu->addAction(m_undoAction);
    m_treeMenu->addAction(m_redoAction);
    m_treeMenu->addSeparator();
    int command = 0;
    for (const char* text : {"Lisää\tIns", "Poista", "Tyhjennä kaikki", "Laajenna", "Supista"}) {
        connect(m_treeMenu->addAction(QString::fromUtf8(text)), &QAction::triggered, this,
                [this, command] { treeCommand(command); });
        ++command;
    }

    m_pageMenu = menuBar()->addMenu(QStringLiteral("Muokkaa"));
    m_pageMenu->addAction(m_undoAction);
    m_pageMenu->addAction(m_redoAction);
    m_pageMenu->addSeparator();
    connect(m_pageMenu->addAction(QStringLiteral("Tallenna csv")), &QAction::triggered, this,
            [this] { m_app.saveLinesCommand(); });
    connect(m_pageMenu->addAction(QStringLiteral("Vie taulukkoon…")), &QAction::triggered, this,
            [this] { m_app.exportSheetCommand(); });
    m_pageMenu->addSeparator();
    m_tabStopsAction = m_pageMenu->addAction(QStringLiteral("Tabul.paikat"));
    m_tabStopsAction->setCheckable(true);
    connect(m_tabStopsAction, &QAction::triggered, this, &MainWindow::toggleTabStops);
    createPrintSettingsMenu();
    connect(m_pageMenu->addAction(QStringLiteral("Alv-tekstit")), &QAction::triggered, this,
            &MainWindow::vatTextsCommand);
    m_intermediateAction = m_pageMenu->addAction(QStringLiteral("Välisaldot"));
    m_intermediateAction->setCheckable(true);
    connect(m_intermediateAction, &QAction::triggered, this,
            [this] { run([this] { m_app.toggleIntermediateBalances(); }); });
    m_filterAction = m_pageMenu->addAction(QStringLiteral("Suodatin"));
    m_filterAction->setCheckable(true);
    connect(m_filterAction, &QAction::triggered, this, &MainWindow::showFilterDialog);
    m_pageMenu->addSeparator();
    connect(m_pageMenu->addAction(QStringLiteral("Etsi\tCtrl+F")), &QAction::triggered, this,
            [this] { find(0); });
    m_findNextAction = m_pageMenu->addAction(QStringLiteral("Etsi seuraava\tCtrl+G"));
    connect(m_findNextAction, &QAction::triggered, this, [this] { find(1); });
    m_pageMenu->addSeparator();
    auto* refresh = m_pageMenu->addAction(QStringLiteral("Päivitä sivut\tF5"));
    connect(refresh, &QAction::triggered, this, [this] { run([this] { m_app.refreshPages(); }); });
    auto* copy = m_pageMenu->addAction(QStringLiteral("Kopioi kaikki\tCtrl+C"));
    connect(copy, &QAction::triggered, this, &MainWindow::copyAll);
    connect(m_pageMenu, &QMenu::aboutToShow, this, &MainWindow::updatePageMenu);

    // The pages' context menu on the tabs.
    m_pages->tabBar()->setContextMenuPolicy(Qt::ActionsContextMenu);
    m_pages->tabBar()->addAction(refresh);
    m_pages->tabBar()->addAction(copy);

    createVoucherMenu();

    m_helpMenu = menuBar()->addMenu(QStringLiteral("Ohje"));
    connect(m_helpMenu->addAction(QStringLiteral("Ohje\tF1")), &QAction::triggered, this,
            &MainWindow::showHelp);
    connect(m_helpMenu->addAction(QStringLiteral("Ohjelmatiedot")), &QAction::triggered, this,
            [this] {
                QMessageBox::about(this, QStringLiteral("Ohjelmatiedot"),
                                   QStringLiteral("Kirjanpito %1\n\nKahdenkertainen kirjanpito "
                                                  "pienyritykselle.")
                                       .arg(QStringLiteral(KP_VERSION)));
            });
}

// "Tulostusaset..": the margins, row gap, heading rows and font of the page shown, for
// printing it.
void MainWindow::createPrintSettingsMenu() {
    m_printSettingsMenu = m_pageMenu->addMenu(QStringLiteral("Tulostusaset.."));
    for (int item = 0; item < kPrintItemCount; ++item) {
        QAction* action = m_printSettingsMenu->addAction(QString());
        m_printSettingsActions[static_cast<size_t>(item)] = action;
        connect(action, &QAction::triggered, this, [this, item] {
            PrintSettings& settings =
                m_app.settings().print[static_cast<size_t>(m_app.state().currentPage)];
            EditPrintSetting(
                static_cast<PrintItem>(item), settings, [this](const InputRequest& request) {
                    return m_platform.inputBox(request.caption, request.prompt, request.preset);
                });
        });
    }
    connect(m_printSettingsMenu->addAction(QStringLiteral("Fontti..")), &QAction::triggered, this,
            [this] {
                PrintSettings& settings =
                    m_app.settings().print[static_cast<size_t>(m_app.state().currentPage)];
                ApplyFontChoice(m_chooseFont(FontPreset(settings)), settings);
            });
    connect(m_printSettingsMenu, &QMenu::aboutToShow, this, [this] {
        const auto captions = PrintMenuCaptions(
            m_app.settings().print[static_cast<size_t>(m_app.state().currentPage)]);
        for (size_t i = 0; i < captions.size(); ++i)
            m_printSettingsActions[i]->setText(FromUtf8(captions[i]));
    });
    m_chooseFont = [this](const FontChoice& preset) -> std::optional<FontChoice> {
        bool ok = false;
        const QFont font = QFontDialog::getFont(&ok, QFont(FromUtf8(preset.name), preset.size),
                                                this, QStringLiteral("Fontti"));
        if (!ok)
            return std::nullopt;
        return FontChoice{ToUtf8(font.family()), font.pointSize()};
    };
}

// "Tabul.paikat": the tab-stop editor over the journal printout's or the ledger's columns.
void MainWindow::toggleTabStops() {
    const int page = static_cast<int>(m_app.state().currentPage);
    if (m_tabStopBar->isVisible() || (page != 1 && page != 2)) {
        hideTabStops();
        return;
    }
    Settings& settings = m_app.settings();
    m_tabStopBar->setPage(page, page == 1 ? &settings.journalTabs : &settings.ledgerTabs,
                          lineView(Tab::Ledger)->viewport()->width());
    m_tabStopBar->show();
    m_tabStopsAction->setChecked(true);
}

void MainWindow::hideTabStops() {
    m_tabStopBar->hide();
    m_tabStopsAction->setChecked(false);
}

void MainWindow::createShortcuts() {
    const auto add = [this](const char* key, auto handler) {
        auto* shortcut = new QShortcut(QKeySequence(QString::fromLatin1(key)), this);
        shortcut->setContext(Qt::WindowShortcut);
        shortcut->setAutoRepeat(false);
        connect(shortcut, &QShortcut::activated, this, handler);
    };
    add("Ctrl+S", [this] { run([this] { m_app.saveCommand(false); }, 0); });
    add("Ctrl+Z", [this] { undoCommand(true); });
    add("Ctrl+Y", [this] { undoCommand(false); });
    add("Ctrl+Shift+Z", [this] { undoCommand(false); });
    add("Ctrl+X", [this] { close(); });
    add("Ctrl+F", [this] { find(0); });
    add("Ctrl+G", [this] { find(1); });
    add("Ctrl+L", [this] { find(2); });
    add("Ctrl+C", [this] { copyAll(); });
    add("Ins", [this] { treeCommand(0); }); // only while the maintenance page is shown
    // Keys of the commands no other key belonged to.
    add("Ctrl+O", [this] { run([this] { m_app.openCommand(false); }); });
    add("Ctrl+P", [this] {
        if (m_app.pageControlVisible())
            printCommand(0);
    });
    add("F5", [this] {
        if (m_app.pageControlVisible())
            run([this] { m_app.refreshPages(); });
    });
    add("F1", [this] { showHelp(); });
    add("Ctrl+N", [this] { voucherCommand(0); });
    add("Ctrl+E", [this] { voucherCommand(2); });
    add("Ctrl+K", [this] { voucherCommand(1); });
}

void MainWindow::syncMenus() {
    // One "Muokkaa" per page: the tree menu on the maintenance page, none on the comparison.
    const Tab tab = m_app.activeTab();
    m_treeMenu->menuAction()->setVisible(tab == Tab::Maintenance);
    m_pageMenu->menuAction()->setVisible(tab != Tab::Maintenance && tab != Tab::Comparison);
    m_comparisonAction->setText(FromBook(m_app.comparisonCaption()));
    m_undoAction->setText(FromBook(m_app.undoCaption()) + QStringLiteral("\tCtrl+Z"));
    m_undoAction->setEnabled(m_app.canUndo());
    m_redoAction->setText(FromBook(m_app.redoCaption()) + QStringLiteral("\tCtrl+Y"));
    m_redoAction->setEnabled(m_app.canRedo());
    updateFileMenu();
    updatePageMenu();
}

void MainWindow::updateFileMenu() {
    const bool hasChart = m_app.index().accountMap() != nullptr;
    m_saveAction->setEnabled(hasChart);
    m_saveAsAction->setEnabled(hasChart);
    m_basicDataAction->setEnabled(hasChart);
    m_checkAction->setEnabled(!m_app.state().openBook.empty());
    m_comparisonAction->setVisible(hasChart);
    const Tab tab = m_app.activeTab();
    m_printMenu->menuAction()->setVisible(tab == Tab::Ledger);
    m_printAction->setVisible(tab != Tab::Ledger && tab != Tab::Maintenance &&
                              tab != Tab::Comparison);
    const std::vector<std::string>& recent = m_app.recentFiles();
    for (size_t i = 0; i < m_recentActions.size(); ++i) {
        QAction* action = m_recentActions[i];
        action->setVisible(i < recent.size());
        if (i < recent.size()) {
            const QString name = FromUtf8(recent[i]);
            action->setText(QFileInfo(name).fileName().replace('&', QStringLiteral("&&")));
            action->setToolTip(name);
        }
    }
    updateVoucherActions();
}

void MainWindow::updatePageMenu() {
    const int page = static_cast<int>(m_app.state().currentPage);
    const EditMenuState state =
        EditMenu(page, m_tabStopBar->isVisible(), m_filterBox.checked, m_app.state().searchActive);
    m_tabStopsAction->setVisible(page == 1 || page == 2);
    m_tabStopsAction->setChecked(state.tabStopsChecked);
    m_intermediateAction->setVisible(state.intermediateBalancesVisible);
    m_intermediateAction->setChecked(m_app.intermediateBalances());
    m_filterAction->setChecked(state.filterChecked);
    m_findNextAction->setVisible(state.findNextVisible);
}

void MainWindow::showFilterDialog() {
    m_filterAction->setChecked(m_filterBox.checked);
    QDialog dialog(this);
    dialog.setWindowTitle(QStringLiteral("Suodatin"));
    auto* on = new QCheckBox(QStringLiteral("Käytössä"), &dialog);
    on->setChecked(m_filterBox.checked);
    auto* text = new QLineEdit(FromBook(m_filterBox.text), &dialog);
    auto* heading = new QLineEdit(FromBook(m_filterBox.heading), &dialog);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Peruuta"));
    auto* form = new QFormLayout(&dialog);
    form->addRow(on);
    form->addRow(QStringLiteral("Selite alkaa"), text);
    form->addRow(QStringLiteral("Otsikko"), heading);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
        if (applyFilterInput(on->isChecked(), text->text(), heading->text()))
            dialog.accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    dialog.exec();
}

void MainWindow::checkBookCommand() {
    const std::vector<std::string> findings = CheckOpenBook(m_app);
    if (findings.empty()) {
        m_platform.showMessage(std::string(kBookInOrder));
        return;
    }
    if (!m_checkDialog) {
        m_checkDialog = new QDialog(this);
        m_checkText = new QPlainTextEdit(m_checkDialog);
        m_checkText->setReadOnly(true);
        m_checkText->setLineWrapMode(QPlainTextEdit::NoWrap);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, m_checkDialog);
        buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("Sulje"));
        connect(buttons, &QDialogButtonBox::rejected, m_checkDialog, &QDialog::hide);
        auto* layout = new QVBoxLayout(m_checkDialog);
        layout->addWidget(m_checkText);
        layout->addWidget(buttons);
        m_checkDialog->resize(720, 360);
    }
    m_checkDialog->setWindowTitle(
        QStringLiteral("Tarkista kirjanpito: %1 huomautettavaa").arg(findings.size()));
    QString text;
    for (const std::string& finding : findings)
        text += FromUtf8(finding) + QLatin1Char('\n');
    m_checkText->setPlainText(text);
    m_checkDialog->show();
    m_checkDialog->raise();
    m_checkDialog->activateWindow();
}

} // namespace kp

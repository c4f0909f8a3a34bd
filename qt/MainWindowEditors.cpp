// The main window's editors: the dialog form's boxes, the journal's and the chart's menus, and
// dragging lines in the trees.
#include "output/Settings.h"
#include "qt/AccountDialog.h"
#include "qt/BookTreeModel.h"
#include "qt/BookTreeView.h"
#include "qt/MainWindow.h"
#include "qt/TabStopBar.h"
#include "qt/VatRateDialog.h"
#include "qt/VatTextsDialog.h"
#include "qt/VoucherDialog.h"

#include <QAbstractItemView>
#include <QAction>
#include <QMenu>
#include <QTreeView>

namespace kp {
namespace {

// The dialog form stays on top of the main window and has no title-bar buttons: it is closed
// through its own buttons only.
constexpr Qt::WindowFlags kDialogFormFlags =
    Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint;

} // namespace

void MainWindow::createEditors() {
    m_accountDialog = new AccountDialog(
        m_app.accountEditor(), m_platform,
        [this] {
            ChartEditResult result;
            run([&] { result = m_app.accountOk(); }, ChartTree);
            showChartLine(m_app.accountEditor().editedLine());
            return result;
        },
        this);
    m_accountDialog->setWindowFlags(kDialogFormFlags);
    m_vatTextsDialog = new VatTextsDialog(
        m_app.vatTextsBox(), m_platform,
        [this] {
            VatBoxOk result;
            run([&] { result = m_app.vatTextsOk(); }, ChartTree);
            // The texts are kept at once, not only when the window closes.
            if (result.applied && !m_settingsPath.empty()) {
                if (FileResult r = WriteSettings(m_app.currentSettings(), m_settingsPath); !r)
                    m_platform.showError(r.message);
            }
            return result;
        },
        this);
    m_vatTextsDialog->setWindowFlags(kDialogFormFlags);
    createChartMenu();
    createDragAndDrop();
    connect(m_tabStopBar, &TabStopBar::stopsChanged, this,
            [this] { lineView(Tab::Ledger)->viewport()->update(); });
    connect(m_tabStopBar, &TabStopBar::closedByDoubleClick, this, &MainWindow::hideTabStops);
    // A double click on a statement list retitles the page.
    for (const Tab tab : {Tab::Ledger, Tab::Income, Tab::Balance, Tab::Vat})
        connect(lineView(tab), &QAbstractItemView::doubleClicked, this,
                [this, tab] { run([this, tab] { m_app.retitlePage(tab); }, Lines); });

    m_voucherDialog = new VoucherDialog(
        m_app.voucherEditor(), [this] { voucherOk(); },
        [this] {
            // The description as typed tells whether the voucher was changed.
            std::string ignored;
            m_voucherDialog->takeTexts(ignored);
            m_app.voucherCancel();
            syncDialogForm();
        },
        this);
    m_voucherDialog->setSplitAction(m_vatSplitAction);

    m_journalMenu = new QMenu(this);
    connect(m_journalMenu->addAction(QStringLiteral("Uusi tosite")), &QAction::triggered, this,
            [this] { voucherCommand(0); });
    connect(m_journalMenu->addAction(QStringLiteral("Muokkaa tositetta")), &QAction::triggered,
            this, [this] { voucherCommand(2); });
    connect(m_journalMenu->addAction(QStringLiteral("Poista viimeinen")), &QAction::triggered, this,
            [this] { journalCommand(0); });
    m_journalMenu->addSeparator();
    connect(m_journalMenu->addAction(QStringLiteral("Kopioi uusi tosite")), &QAction::triggered,
            this, [this] { voucherCommand(1); });
    m_renumberSeparator = m_journalMenu->addSeparator();
    m_renumberAction = m_journalMenu->addAction(QStringLiteral("Päivitä tositenumerot"));
    connect(m_renumberAction, &QAction::triggered, this, [this] { journalCommand(1); });

    QTreeView* journal = treeView(Tab::Journal);
    journal->setContextMenuPolicy(Qt::CustomContextMenu);
    // The press selects the voucher under the mouse; the menu opens only while no voucher is
    // being edited.
    connect(journal, &QWidget::customContextMenuRequested, this, [this, journal](QPoint at) {
        const QModelIndex index = journal->indexAt(at);
        if (index.isValid())
            journal->setCurrentIndex(index);
        if (m_voucherDialog->isVisible())
            return;
        const bool unlocked = m_app.maintenance().journalEditsUnlocked();
        m_renumberSeparator->setVisible(unlocked);
        m_renumberAction->setVisible(unlocked);
        m_journalMenu->exec(journal->viewport()->mapToGlobal(at));
    });
    journal->setExpandsOnDoubleClick(false);
    connect(journal, &QTreeView::doubleClicked, this, [this] { voucherCommand(2); });
}

void MainWindow::voucherCommand(int command) {
    const BookNode* selected = BookTreeModel::nodeAt(treeView(Tab::Journal)->currentIndex());
    if (command == 2)
        m_app.editVoucherCommand(selected);
    else
        m_app.newVoucherCommand(command == 1, selected);
    syncDialogForm();
}

void MainWindow::showCentred(QDialog* dialog) {
    dialog->adjustSize();
    const QRect frame = geometry();
    dialog->move((frame.width() - dialog->width()) / 2 + frame.left(),
                 (frame.height() - dialog->height()) / 2 + frame.top());
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

// A box the controller closed (its nodes went away, another book came) leaves the screen.
void MainWindow::hideClosedBoxes() {
    if (!m_app.voucherEditor().visible())
        m_voucherDialog->hide();
    if (!m_app.accountEditor().visible())
        m_accountDialog->hide();
    if (!m_app.vatTextsBox().visible())
        m_vatTextsDialog->hide();
}

// Each box as the controller left it: at most one is shown.
void MainWindow::syncDialogForm() {
    if (!m_app.voucherEditor().visible()) {
        m_voucherDialog->hide();
    } else {
        m_voucherDialog->sync();
        if (!m_voucherDialog->isVisible()) {
            showCentred(m_voucherDialog);
            m_voucherDialog->sync(); // the focus, now that the fields can take it
        }
    }
    const bool accountShown = m_accountDialog->isVisible();
    if (m_app.accountEditor().visible() && !accountShown) {
        m_accountDialog->adjustSize();
        showCentred(m_accountDialog);
    }
    if (!accountShown || !m_app.accountEditor().visible())
        m_accountDialog->sync(m_app.vatTexts());
    const bool vatShown = m_vatTextsDialog->isVisible();
    if (m_app.vatTextsBox().visible() && !vatShown)
        showCentred(m_vatTextsDialog);
    if (!vatShown || !m_app.vatTextsBox().visible())
        m_vatTextsDialog->sync();
}

void MainWindow::createChartMenu() {
    QTreeView* chart = treeView(Tab::Chart);
    chart->setContextMenuPolicy(Qt::CustomContextMenu);
    chart->setExpandsOnDoubleClick(false);
    connect(chart, &QTreeView::doubleClicked, this, [this] { chartCommand(0); });
    // The press selects the line under the pointer, or nothing.
    connect(chart, &QWidget::customContextMenuRequested, this, [this, chart](QPoint at) {
        const QModelIndex index = chart->indexAt(at);
        if (index.isValid())
            chart->setCurrentIndex(index);
        else
            chart->selectionModel()->clear();
        const ChartMenuState state = m_app.chartMenu(BookTreeModel::nodeAt(index));
        if (!state.opens)
            return;
        QMenu menu(this);
        QAction* edit = menu.addAction(QStringLiteral("Muokkaa tiliä"));
        QAction* add = menu.addAction(QStringLiteral("Uusi alatili"));
        add->setEnabled(state.newSubAccountEnabled);
        QAction* remove = menu.addAction(QStringLiteral("Poista tili"));
        QAction* chosen = menu.exec(chart->viewport()->mapToGlobal(at));
        if (chosen == edit)
            chartCommand(0);
        else if (chosen == add)
            chartCommand(1);
        else if (chosen == remove)
            chartCommand(2);
    });
}

void MainWindow::chartCommand(int command) {
    QTreeView* chart = treeView(Tab::Chart);
    auto* line = const_cast<BookNode*>(BookTreeModel::nodeAt(chart->currentIndex()));
    if (command == 2) {
        const BookNode* parent = line ? line->parent() : nullptr;
        bool deleted = false;
        run([&] { deleted = m_app.deleteAccountCommand(line).bookChanged; }, ChartTree);
        showChartLine(deleted ? parent : line);
        return;
    }
    if (command == 0)
        m_app.editAccountCommand(line);
    else
        m_app.newSubAccountCommand(line);
    syncDialogForm();
}

// The chart keeps the line worked on in sight after an edit has reset its view.
void MainWindow::showChartLine(const BookNode* line) {
    const QModelIndex index = treeModel(Tab::Chart)->indexOf(line);
    if (!index.isValid())
        return;
    QTreeView* chart = treeView(Tab::Chart);
    chart->setCurrentIndex(index);
    chart->scrollTo(index);
}

void MainWindow::vatTextsCommand() {
    m_app.vatTextsCommand();
    syncDialogForm();
}

void MainWindow::vatRateCommand(QWidget* over) {
    if (!m_app.vatRateCommand())
        return;
    // Owned by the box it opens over, and modal to it.
    auto* dialog = new VatRateDialog(
        m_app.vatRatePanel(), [this] { run([this] { m_app.vatRateOk(); }); }, over);
    dialog->setWindowModality(Qt::WindowModal);
    dialog->sync();
}

void MainWindow::createDragAndDrop() {
    auto* chart = static_cast<BookTreeView*>(treeView(Tab::Chart));
    chart->accepts = [](DragSource, const BookNode* target) { return ChartDropAccepted(target); };
    chart->dropped = [this, chart](DragSource, BookNode* target, DropSpot spot) {
        auto* moved = const_cast<BookNode*>(BookTreeModel::nodeAt(chart->currentIndex()));
        if (!moved)
            return;
        run([&] { m_app.moveChartLine(moved, target, spot); }, ChartTree);
        showChartLine(moved);
    };

    auto* journal = static_cast<BookTreeView*>(treeView(Tab::Journal));
    journal->accepts = [this](DragSource source, const BookNode* target) {
        return target && m_app.maintenance().acceptsDrag(source);
    };
    journal->dropped = [this, journal](DragSource, BookNode* target, DropSpot) {
        if (!m_app.maintenance().journalEditsUnlocked())
            return;
        const BookNode* moved = BookTreeModel::nodeAt(journal->currentIndex());
        run([&] { m_app.moveVoucher(moved, target); }, JournalTree);
    };

    for (const Tab tab : {Tab::Maintenance, Tab::Comparison}) {
        auto* view = static_cast<BookTreeView*>(treeView(tab));
        const MaintenanceTree which =
            tab == Tab::Maintenance ? MaintenanceTree::Book : MaintenanceTree::Comparison;
        view->accepts = [this](DragSource source, const BookNode* target) {
            return target && m_app.maintenance().acceptsDrag(source);
        };
        view->dropped = [this, view, which](DragSource source, BookNode* target, DropSpot spot) {
            auto* selected = const_cast<BookNode*>(BookTreeModel::nodeAt(view->currentIndex()));
            TreeCommandResult result;
            run([&] { result = m_app.dropNode(which, source, selected, target, spot); });
            applyTreeResult(result);
        };
    }
}

void MainWindow::voucherOk() {
    std::string message;
    if (!m_voucherDialog->takeTexts(message)) {
        m_platform.showError(message);
        return;
    }
    VoucherOk result = VoucherOk::StayOpen;
    run([&] { result = m_app.voucherOk(); }, JournalTree);
    if (result == VoucherOk::Posted) {
        // The voucher just posted comes into sight.
        QTreeView* journal = treeView(Tab::Journal);
        journal->scrollToBottom();
    }
    syncDialogForm();
}

// 0: "Poista viimeinen", 1: "Päivitä tositenumerot".
void MainWindow::journalCommand(int command) {
    run(
        [&] {
            if (command == 0)
                m_app.deleteLastVoucher();
            else
                m_app.renumberVouchers();
        },
        JournalTree);
}

} // namespace kp

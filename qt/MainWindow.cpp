// The main window: pages, models and the refresh from the application controller.
#include "qt/MainWindow.h"

#include "app/PageHint.h"
#include "book/Win1252.h"
#include "qt/BasicDataDialog.h"
#include "qt/BookTreeModel.h"
#include "qt/BookTreeView.h"
#include "qt/LineDelegate.h"
#include "qt/PeriodBox.h"
#include "qt/QtText.h"
#include "qt/ReportLinesModel.h"
#include "qt/TabStopBar.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QSessionManager>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>

namespace kp {
namespace {

// Liberation Sans and Liberation Mono have the metrics of the Arial and Courier New that the
// page layouts were made for.
QFont PixelFont(const QString& family, int pixels) {
    QFont font(family);
    font.setPixelSize(pixels);
    font.setStyleHint(family.contains(QStringLiteral("Mono")) ? QFont::Monospace
                                                              : QFont::SansSerif);
    return font;
}

bool IsTreeTab(int tab) {
    return tab == static_cast<int>(Tab::Chart) || tab == static_cast<int>(Tab::Journal) ||
           tab == static_cast<int>(Tab::Maintenance) || tab == static_cast<int>(Tab::Comparison);
}

} // namespace

MainWindow::MainWindow(Platform& platform, const Settings& settings, std::string settingsPath,
                       QWidget* parent)
    : QMainWindow(parent), m_platform(platform), m_app(platform),
      m_settingsPath(std::move(settingsPath)) {
    m_app.applySettings(settings);
    m_filterBox.heading = m_app.state().filter.heading;
    createPages();
    createMenus();
    createToolBar();
    createShortcuts();
    createEditors();
    // A plain label rather than a status message, which hovering over a menu would wipe.
    m_statusLabel = new QLabel(this);
    statusBar()->addWidget(m_statusLabel, 1);

    // Top left of the screen, never taller or wider than the screen leaves room for.
    resize(1000, 720);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        resize(std::min(width(), area.width()), std::min(height(), area.height() - 40));
        move(area.topLeft());
    }
    // Logging out closes the window as its close button would, questions included.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& manager) {
        if (!sessionEnding(manager.allowsInteraction()))
            manager.cancel();
        manager.release();
    });
    syncFromController();
}

MainWindow::~MainWindow() = default;

void MainWindow::createPages() {
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    // The tab-stop editor runs across the top, over the pages' columns.
    m_tabStopBar = new TabStopBar(central);
    m_tabStopBar->hide();
    layout->addWidget(m_tabStopBar);
    m_pages = new QTabWidget(central);
    layout->addWidget(m_pages);
    setCentralWidget(central);

    const BookTree* trees[kTabCount] = {
        &m_app.chart().tree(),   &m_app.journal().tree(),      nullptr, nullptr, nullptr, nullptr,
        &m_app.state().openBook, &m_app.state().comparisonBook};
    const ReportLines* lines[kTabCount] = {nullptr,
                                           nullptr,
                                           &m_app.ledgerLines(),
                                           &m_app.statements().income,
                                           &m_app.statements().balance,
                                           &m_app.vatLines(),
                                           nullptr,
                                           nullptr};
    const QFont sans = PixelFont(QStringLiteral("Liberation Sans"), 15);
    const QFont mono = PixelFont(QStringLiteral("Liberation Mono"), 16);
    const int heights[kTabCount] = {0, 0, 16, 18, 18, 16, 0, 0};

    for (int tab = 0; tab < kTabCount; ++tab) {
        if (IsTreeTab(tab)) {
            static constexpr DragSource kSources[kTabCount] = {
                DragSource::ChartView, DragSource::JournalView,   DragSource::Other,
                DragSource::Other,     DragSource::Other,         DragSource::Other,
                DragSource::BookTree,  DragSource::ComparisonTree};
            auto* view = new BookTreeView(kSources[tab], m_pages);
            auto* model = new BookTreeModel(*trees[tab], this);
            if (tab == static_cast<int>(Tab::Journal))
                model->setLazyChildren(
                    {[this](const BookNode* node) { return m_app.journal().linesPending(node); },
                     [this](const BookNode* node) { m_app.journal().makeLines(node); },
                     [this](const BookNode* node) { return m_app.journal().shownText(node); }});
            view->setHeaderHidden(true);
            view->setUniformRowHeights(true);
            view->setModel(model);
            m_views[static_cast<size_t>(tab)] = view;
            m_treeModels[static_cast<size_t>(tab)] = model;
            if (tab == static_cast<int>(Tab::Maintenance) ||
                tab == static_cast<int>(Tab::Comparison)) {
                // Node texts are edited through the controller's input box, not in place.
                view->setEditTriggers(QAbstractItemView::NoEditTriggers);
                const MaintenanceTree which = tab == static_cast<int>(Tab::Maintenance)
                                                  ? MaintenanceTree::Book
                                                  : MaintenanceTree::Comparison;
                connect(view, &QTreeView::doubleClicked, this,
                        [this, which](const QModelIndex& index) { editNodeText(which, index); });
            }
        } else {
            // A one-column tree without branches: its rows span the whole width, as the
            // renderers expect, and a click anywhere on a row selects it.
            auto* view = new QTreeView(m_pages);
            view->setHeaderHidden(true);
            view->setRootIsDecorated(false);
            view->setItemsExpandable(false);
            view->setIndentation(0);
            view->setUniformRowHeights(true);
            auto* model = new ReportLinesModel(this);
            model->setLines(lines[tab]);
            const int page = tab;
            auto* delegate = new LineDelegate(
                page, tab == static_cast<int>(Tab::Ledger) ? sans : mono, heights[tab],
                [this] {
                    return LineLayout{m_app.settings().ledgerTabs, m_app.state().comparisonLoaded};
                },
                view);
            view->setModel(model);
            view->setItemDelegate(delegate);
            view->setFont(delegate->font());
            if (tab == static_cast<int>(Tab::Ledger) || tab == static_cast<int>(Tab::Vat)) {
                auto* hint = new QLabel(view->viewport());
                hint->setObjectName(QStringLiteral("periodHint"));
                hint->move(8, 8);
                hint->hide();
            }
            m_views[static_cast<size_t>(tab)] = view;
            m_lineModels[static_cast<size_t>(tab)] = model;
        }
        m_pages->addTab(m_views[static_cast<size_t>(tab)],
                        FromBook(kTabCaptions[static_cast<size_t>(tab)]));
    }
    connect(m_pages, &QTabWidget::currentChanged, this, &MainWindow::tabChanged);

    m_periodBox = new PeriodBox(m_app.chooser(), central);
    connect(m_periodBox, &PeriodBox::accepted, this, &MainWindow::periodAccepted);
    // Cancel only hides the chooser: the page under it keeps its selection.
    connect(m_periodBox, &PeriodBox::rejected, this,
            [this] { run([this] { m_app.periodCancel(); }, 0); });
}

QAbstractItemView* MainWindow::viewOf(Tab tab) const {
    return m_views[static_cast<size_t>(tab)];
}

QTreeView* MainWindow::treeView(Tab tab) const {
    return treeModel(tab) ? qobject_cast<QTreeView*>(viewOf(tab)) : nullptr;
}

QTreeView* MainWindow::lineView(Tab tab) const {
    return linesModel(tab) ? qobject_cast<QTreeView*>(viewOf(tab)) : nullptr;
}

BookTreeModel* MainWindow::treeModel(Tab tab) const {
    return m_treeModels[static_cast<size_t>(tab)];
}

ReportLinesModel* MainWindow::linesModel(Tab tab) const {
    return m_lineModels[static_cast<size_t>(tab)];
}

void MainWindow::freezeModels(unsigned models) {
    ++m_frozen;
    m_thawing |= models;
    for (int tab = 0; tab < kTabCount; ++tab) {
        const Tab t = static_cast<Tab>(tab);
        const unsigned set = t == Tab::Chart     ? ChartTree
                             : t == Tab::Journal ? JournalTree
                             : treeModel(t)      ? BookTrees
                                                 : Lines;
        if ((models & set) == 0)
            continue;
        if (BookTreeModel* tree = treeModel(t))
            tree->freeze();
        if (ReportLinesModel* lines = linesModel(t))
            lines->freeze();
    }
}

void MainWindow::thawModels() {
    if (--m_frozen > 0)
        return;
    for (BookTreeModel* model : m_treeModels)
        if (model)
            model->thaw();
    for (ReportLinesModel* model : m_lineModels)
        if (model)
            model->thaw();
    // A rebuilt journal shows its root at the top, expanded one level: the vouchers.
    if ((m_thawing & JournalTree) != 0) {
        QTreeView* journal = treeView(Tab::Journal);
        const QModelIndex root = treeModel(Tab::Journal)->index(0, 0);
        if (journal && root.isValid()) {
            journal->expand(root);
            journal->scrollToTop();
        }
    }
    // A rebuilt chart shows every line expanded, from the top.
    if ((m_thawing & ChartTree) != 0) {
        if (QTreeView* chart = treeView(Tab::Chart)) {
            chart->expandAll();
            chart->scrollToTop();
        }
    }
    m_thawing = 0;
}

void MainWindow::syncFromController() {
    if (m_frozen > 0)
        return;
    m_syncing = true;
    const bool bookShown = m_app.pageControlVisible();
    setWindowTitle(FromBook(m_app.windowTitle()));
    m_statusLabel->setText(FromBook(m_app.statusText()));
    hideClosedBoxes();
    m_pages->setVisible(bookShown);
    const bool maintenance = m_app.maintenanceShown();
    m_pages->setTabVisible(static_cast<int>(Tab::Maintenance), maintenance);
    m_pages->setTabVisible(static_cast<int>(Tab::Comparison), maintenance);
    {
        const QSignalBlocker blocker(m_pages);
        m_pages->setCurrentIndex(static_cast<int>(m_app.activeTab()));
    }
    syncMenus();
    const QString hint = FromUtf8(std::string(EmptyPageHint(m_app)));
    for (const Tab tab : {Tab::Ledger, Tab::Vat}) {
        auto* label = lineView(tab)->viewport()->findChild<QLabel*>(QStringLiteral("periodHint"));
        label->setText(hint);
        label->adjustSize();
        label->setVisible(!hint.isEmpty() && tab == m_app.activeTab());
    }
    const ChooserRequest& request = m_app.chooser().request();
    // The keyboard goes back to the page when the box closes with it.
    const bool boxHadFocus = m_periodBox->isAncestorOf(QApplication::focusWidget());
    m_periodBox->sync();
    if (m_periodBox->isVisible()) {
        m_periodBox->adjustSize();
        m_periodBox->move(request.left, m_pages->tabBar()->height() + 8);
    } else if (boxHadFocus) {
        viewOf(m_app.activeTab())->setFocus(Qt::OtherFocusReason);
    }
    m_syncing = false;
}

bool MainWindow::openFile(const std::string& fileName) {
    bool opened = false;
    run([&] { opened = m_app.openBook(fileName); });
    return opened;
}

void MainWindow::tabChanged(int index) {
    if (m_syncing || index < 0 || index >= kTabCount)
        return;
    // A page change rebuilds only the views marked stale, and never the raw book trees; the
    // others keep what the user expanded. A refused change leaves the controller's tab, which
    // the refresh shows again.
    const AppState& state = m_app.state();
    const unsigned models = Lines | (state.isStale(Stale::Chart) ? ChartTree : 0u) |
                            (state.isStale(Stale::Journal) ? JournalTree : 0u);
    hideTabStops(); // it belongs to the page it was opened on
    run([&] { m_app.activatePage(static_cast<Tab>(index)); }, models);
}

void MainWindow::periodAccepted() {
    // On the journal page the chooser was opened by "Tulosta" (tag 0) or "Kopioi kaikki" (1).
    const bool journal = m_app.state().currentPage == Page::Journal;
    const int tag = m_app.chooser().request().tag;
    run([this] { m_app.periodOk(); }, Lines); // only the ledger or VAT page is made
    if (journal && tag == 1)
        m_app.copyJournal();
    else if (journal)
        printJournal();
}

bool MainWindow::applyFilterInput(bool checked, const QString& text, const QString& heading) {
    std::string bookText;
    std::string bookHeading;
    std::string offending;
    if (!Utf8ToWin1252(ToUtf8(text), bookText, &offending) ||
        !Utf8ToWin1252(ToUtf8(heading), bookHeading, &offending)) {
        m_platform.showError(UnsupportedCharacterMessage(offending));
        return false;
    }
    m_filterBox.checked = checked;
    m_filterBox.text = bookText;
    m_filterBox.heading = bookHeading;
    run([this] { m_app.applyFilter(m_filterBox); });
    return true;
}

void MainWindow::basicDataCommand(BasicDataMode mode) {
    run([&] { m_app.basicDataCommand(mode); });
    BasicDataBox& box = m_app.basicDataBox();
    if (!box.visible())
        return;
    BasicDataDialog dialog(
        box,
        [this](const QString& name, const QString& first, const QString& last) {
            return applyBasicData(name, first, last);
        },
        [this](QWidget* over) { vatRateCommand(over); }, this);
    if (dialog.exec() != QDialog::Accepted)
        box.cancel();
}

bool MainWindow::applyBasicData(const QString& companyName, const QString& firstDay,
                                const QString& lastDay) {
    std::string name;
    std::string first;
    std::string last;
    std::string offending;
    if (!Utf8ToWin1252(ToUtf8(companyName), name, &offending) ||
        !Utf8ToWin1252(ToUtf8(firstDay), first, &offending) ||
        !Utf8ToWin1252(ToUtf8(lastDay), last, &offending)) {
        m_platform.showError(UnsupportedCharacterMessage(offending));
        return false;
    }
    BasicDataBox& box = m_app.basicDataBox();
    box.setCompanyName(std::move(name));
    box.firstDay().setText(std::move(first));
    box.lastDay().setText(std::move(last));
    bool applied = false;
    run([&] { applied = m_app.basicDataOk(); });
    return applied;
}

void MainWindow::toggleMaintenance() {
    const Tab tab = m_app.activeTab();
    const MaintenanceVisibility shown =
        m_app.maintenance().toggle(tab == Tab::Maintenance || tab == Tab::Comparison);
    if (shown.leaveHiddenTab)
        run([this] { m_app.activatePage(Tab::Journal); });
    else
        syncFromController();
}

// command 0: "Lisää", 1: "Poista", 2: "Tyhjennä kaikki", 3: "Laajenna", 4: "Supista".
void MainWindow::treeCommand(int command) {
    if (m_app.activeTab() != Tab::Maintenance)
        return;
    // The model is read-only; the node belongs to the controller's book, which edits it.
    auto* selected =
        const_cast<BookNode*>(BookTreeModel::nodeAt(treeView(Tab::Maintenance)->currentIndex()));
    Maintenance& maintenance = m_app.maintenance();
    TreeCommandResult result;
    switch (command) {
    case 0:
        run([&] { result = m_app.addNode(selected); });
        break;
    case 1:
        run([&] { result = m_app.deleteNode(selected); });
        break;
    case 2:
        run([&] { result = m_app.clearBook(); });
        break;
    case 3:
        result = maintenance.expandTrees();
        break;
    default:
        result = maintenance.collapseTrees();
        break;
    }
    applyTreeResult(result);
}

void MainWindow::editNodeText(MaintenanceTree tree, const QModelIndex& index) {
    auto* selected = const_cast<BookNode*>(BookTreeModel::nodeAt(index));
    TreeCommandResult result;
    run([&] { result = m_app.editNodeText(tree, selected); });
    applyTreeResult(result);
}

void MainWindow::applyTreeResult(const TreeCommandResult& result) {
    if (result.beep)
        m_platform.beep();
    for (Tab tab : {Tab::Maintenance, Tab::Comparison}) {
        QTreeView* view = treeView(tab);
        if (result.expandAll)
            view->expandAll();
        if (result.collapseAll)
            view->collapseAll();
    }
    // Only the open book's tree is ever asked to select, reveal or expand.
    QTreeView* view = treeView(Tab::Maintenance);
    const BookTreeModel* model = treeModel(Tab::Maintenance);
    if (result.expand)
        view->expand(model->indexOf(result.expand));
    if (result.reveal)
        view->scrollTo(model->indexOf(result.reveal));
    if (result.select) {
        const QModelIndex index = model->indexOf(result.select);
        view->setCurrentIndex(index);
        view->scrollTo(index);
    }
}

// kind 0: "Etsi", 1: "Etsi seuraava", 2: Ctrl+L.
void MainWindow::find(int kind) {
    if (!m_app.pageControlVisible())
        return;
    const Tab tab = m_app.activeTab();
    QAbstractItemView* view = viewOf(tab);
    BookTreeModel* tree = treeModel(tab);
    SearchSelection selection;
    const QModelIndex current = view->currentIndex();
    if (tree)
        selection.node = BookTreeModel::nodeAt(current);
    else if (current.isValid())
        selection.line = static_cast<size_t>(current.row());

    Search& search = m_app.search();
    const SearchResult result = kind == 0   ? search.find(selection)
                                : kind == 1 ? search.findNext(selection)
                                            : search.findNextIfActive(selection);
    QModelIndex found;
    if (result.node && tree)
        found = tree->indexOf(result.node);
    else if (result.line && linesModel(tab))
        found = linesModel(tab)->index(static_cast<int>(*result.line));
    if (found.isValid()) {
        view->setCurrentIndex(found);
        view->scrollTo(found);
    }
    if (result.focusTarget)
        view->setFocus();
    m_statusLabel->setText(FromBook(m_app.statusText())); // "Haku jatkui alusta" after a wrap
    syncMenus();
}

void MainWindow::copyAll() {
    if (!m_app.pageControlVisible())
        return;
    if (m_app.activeTab() == Tab::Journal)
        hideTabStops();
    run([this] { m_app.copyLinesCommand(); }, 0);
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    // The tab-stop editor's columns follow the list's width.
    if (m_tabStopBar && m_tabStopBar->isVisible()) {
        m_tabStopBar->hide();
        toggleTabStops();
    }
}

void MainWindow::undoCommand(bool back) {
    run([&] { back ? m_app.undo() : m_app.redo(); });
    syncDialogForm(); // a box whose nodes went away has closed
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // The open boxes are dealt with first; none outlives the window.
    bool closes = false;
    run([&] { closes = m_app.closeRequested(); }, 0);
    syncDialogForm();
    if (!closes) {
        event->ignore();
        return;
    }
    if (!m_settingsPath.empty()) {
        if (FileResult r = WriteSettings(m_app.currentSettings(), m_settingsPath); !r)
            m_platform.showError(r.message);
    }
    event->accept();
    emit closed();
}

bool MainWindow::sessionEnding(bool interactionAllowed) {
    // Without leave to ask, nothing may be decided for the user: the book stays as it is.
    if (!interactionAllowed)
        return true;
    return close();
}

} // namespace kp

// The window's page commands offscreen: print settings, the tab-stop editor, retitling,
// copying the journal through the period chooser, saving and reopening, search on a tree, and
// moving nodes on the maintenance and journal pages by drag and drop.
#include "app/BookCheck.h"
#include "qt/BookTreeModel.h"
#include "qt/BookTreeView.h"
#include "qt/MainWindow.h"
#include "qt/PeriodBox.h"
#include "qt/QtText.h"
#include "qt/TabStopBar.h"
#include "tests/app/ScriptedPlatform.h"
#include "tests/qt/ExampleWindowTest.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <memory>

namespace kp {

class WindowCommandsTest : public ExampleWindowTest {
    Q_OBJECT

  private slots:
    void init() { QVERIFY(openExample(true, false)); }

    void cleanup() { closeExample(); }

    // "Tarkista kirjanpito": the example book is in order; a change made in memory is found and
    // listed in the findings window.
    void checkTheOpenBook() {
        emit m_window->fileMenu()->aboutToShow();
        QVERIFY(m_window->checkAction()->isEnabled());
        m_window->checkAction()->trigger();
        QCOMPARE(m_platform->shown, std::vector<std::string>{std::string(kBookInOrder)});
        Application& app = m_window->app();
        BookNode* amount = app.index().events()->child(1)->child(2)->child(0)->child(0);
        app.state().openBook.setText(amount, "money 12x");
        m_window->checkAction()->trigger();
        QCOMPARE(m_platform->shown.size(), size_t{1});
        QVERIFY(m_window->checkFindings() && m_window->checkFindings()->isVisible());
        QVERIFY(m_window->checkFindings()->toPlainText().contains(
            QStringLiteral("\"money 12x\" ei voi lukea")));
    }

    // "Tulostusaset.." shows the page's values and stores what the input boxes answer;
    // "Fontti.." stores the font chosen.
    void printSettingsOfThePageShown() {
        showTab(Tab::Income);
        QMenu* menu = m_window->printSettingsMenu();
        emit menu->aboutToShow();
        const QList<QAction*> items = menu->actions();
        QCOMPARE(items[0]->text(), QStringLiteral("Vas = 10 mm"));
        QCOMPARE(items[5]->text(), QStringLiteral("Ots.rivit = 2"));
        m_platform->inputs = {"15", "kymmenen"};
        items[0]->trigger();
        items[1]->trigger(); // not a number: the value stays
        const PrintSettings& income = m_window->app().settings().print[3];
        QCOMPARE(income.leftMargin, 15);
        QCOMPARE(income.topMargin, 10);
        QCOMPARE(m_window->app().settings().print[4].leftMargin, 10); // other pages keep theirs
        m_window->setFontChooser([](const FontChoice& preset) -> std::optional<FontChoice> {
            if (preset.name != "Arial" || preset.size != 10)
                return std::nullopt;
            return FontChoice{"Liberation Mono", 12};
        });
        items[6]->trigger();
        QCOMPARE(income.fontName, std::string("Liberation Mono"));
        QCOMPARE(income.fontSize, 12);
        emit menu->aboutToShow();
        QCOMPARE(items[0]->text(), QStringLiteral("Vas = 15 mm"));
    }

    // "Tabul.paikat" shows the editor on the ledger page only, over the ledger's stops; a page
    // change or a double click hides it again.
    void tabStopEditorOnTheLedgerPage() {
        showTab(Tab::Income);
        emit m_window->pageMenu()->aboutToShow();
        QVERIFY(!m_window->tabStopsAction()->isVisible());
        showTab(Tab::Ledger);
        emit m_window->pageMenu()->aboutToShow();
        QVERIFY(m_window->tabStopsAction()->isVisible());
        m_window->tabStopsAction()->trigger();
        TabStopBar* bar = m_window->tabStopBar();
        QVERIFY(bar->isVisible());
        QVERIFY(m_window->tabStopsAction()->isChecked());
        QCOMPARE(bar->page(), 2);
        showTab(Tab::Journal);
        QVERIFY(!bar->isVisible());
        QVERIFY(!m_window->tabStopsAction()->isChecked());
        m_window->tabStopsAction()->trigger();
        QCOMPARE(bar->page(), 1);
        QTest::mouseDClick(bar, Qt::LeftButton, {}, QPoint(5, 20));
        QVERIFY(!bar->isVisible());
        QVERIFY(!m_window->tabStopsAction()->isChecked());
    }

    // A double click on a statement list asks for a new title.
    void doubleClickRetitlesTheBalanceSheet() {
        showTab(Tab::Balance);
        m_platform->inputs = {"Tase vertailuun"};
        QTreeView* list = m_window->lineView(Tab::Balance);
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        const QRect row = list->visualRect(list->model()->index(3, 0));
        QVERIFY(row.isValid());
        // A double click arrives after the first click's press and release.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, row.center());
        QCOMPARE(m_platform->inputs.size(), size_t(0));
        QCOMPARE(FromBook(m_window->app().statements().balance[1]),
                 QStringLiteral("Tase vertailuun"));
        QCOMPARE(list->model()->index(1, 0).data().toString(), QStringLiteral("Tase vertailuun"));
    }

    // "Kopioi kaikki" on the journal page asks the period; its OK copies that period's listing.
    void journalCopyGoesThroughThePeriodChooser() {
        m_window->pageMenu()->actions().last()->trigger();
        QVERIFY(m_platform->clipboard.empty());
        QVERIFY(m_window->periodBox()->isVisible());
        QTest::mouseClick(m_window->periodBox()->okButton(), Qt::LeftButton);
        QVERIFY(!m_window->periodBox()->isVisible());
        QVERIFY(!m_platform->clipboard.empty());
        QCOMPARE(m_window->app().state().pageSwitchBlock(), 0);
    }

    // A change saved with Ctrl+S is there when the book is opened again.
    void savedChangeSurvivesReopening() {
        Application& app = m_window->app();
        const BookNode* last = app.journal().root()->child(60);
        QVERIFY(app.journal()
                    .moveVoucher(app.state().openBook, last, app.journal().root()->child(0),
                                 {app.index(), app.index().events(), &app.state().periods})
                    .bookChanged);
        app.state().markBookChanged();
        QVERIFY(app.saveCommand(false));
        QVERIFY(!app.state().unsavedChanges);
        QVERIFY(m_window->openFile(bookPath()));
        QVERIFY(FromBook(app.journal().shownText(app.journal().root()->child(0)))
                    .startsWith(QStringLiteral("[60]")));
        QCOMPARE(app.journal().root()->childCount(), 61);
    }

    // Unlocked, a maintenance node dropped on another's label becomes its last child, and a
    // voucher dropped on another in the journal goes before it.
    void dragAndDropOnTheMaintenanceAndJournalPages() {
        Application& app = m_window->app();
        auto* journal = static_cast<BookTreeView*>(m_window->treeView(Tab::Journal));
        BookTreeModel* journalModel = m_window->treeModel(Tab::Journal);
        const QModelIndex root = journalModel->index(0, 0);
        journal->expand(root);
        journal->setCurrentIndex(journalModel->index(5, 0, root));
        const QRect first = journal->visualRect(journalModel->index(0, 0, root));
        // Locked: nothing moves.
        journal->dropAt(first.center() - QPoint(first.width() / 2 - 4, 0), DragSource::JournalView);
        QVERIFY(!app.state().unsavedChanges);

        m_platform->inputs.push_back(std::string(kMaintenanceCode));
        m_window->maintenanceAction()->trigger();
        journal->setCurrentIndex(journalModel->index(5, 0, journalModel->index(0, 0)));
        journal->dropAt(first.center() - QPoint(first.width() / 2 - 4, 0), DragSource::JournalView);
        QVERIFY(app.state().unsavedChanges);
        QVERIFY(FromBook(app.journal().shownText(app.journal().root()->child(0)))
                    .startsWith(QStringLiteral("[5]")));

        showTab(Tab::Maintenance);
        auto* view = static_cast<BookTreeView*>(m_window->treeView(Tab::Maintenance));
        BookTreeModel* model = m_window->treeModel(Tab::Maintenance);
        const QModelIndex book = model->index(0, 0, model->index(0, 0)); // the fiscal year
        view->expand(book.parent());
        view->expand(book);
        const int children = model->rowCount(book);
        QVERIFY(children >= 2);
        const QModelIndex movedIndex = model->index(children - 1, 0, book);
        const BookNode* moved = BookTreeModel::nodeAt(movedIndex);
        const BookNode* target = BookTreeModel::nodeAt(model->index(0, 0, book));
        view->setCurrentIndex(movedIndex);
        const QRect label = view->visualRect(model->index(0, 0, book));
        view->dropAt(QPoint(label.left() + 2, label.center().y()), DragSource::BookTree);
        QCOMPARE(moved->parent(), target);
        QCOMPARE(target->child(target->childCount() - 1), moved);
    }

    // Search on a tree page selects the node found.
    void searchOnTheChartSelectsTheLine() {
        showTab(Tab::Chart);
        m_platform->inputs.push_back("Pankkitili");
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        QTreeView* chart = m_window->treeView(Tab::Chart);
        QTest::keyClick(chart, Qt::Key_F, Qt::ControlModifier);
        QVERIFY(chart->currentIndex().isValid());
        QCOMPARE(chart->currentIndex().data().toString(), QStringLiteral("1910 Pankkitili"));
    }

    // Margins that leave no room for a line: nothing prints, and the message says why.
    void printWithoutRoomSaysSo() {
        showTab(Tab::Income);
        m_window->app().settings().print[3].topMargin = 400;
        const QString file = m_dir->filePath("income.pdf");
        m_window->setPrinterChooser([&](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(file);
            return true;
        });
        QCOMPARE(m_window->printLines(0).status, PrintStatus::NoRoom);
        QCOMPARE(m_platform->shown.size(), size_t(1));
        QVERIFY(QString::fromStdString(m_platform->shown[0]).contains(QStringLiteral("marginaal")));
        QVERIFY(m_window->app().state().pageSwitchAllowed());
    }

  private:
    void showTab(Tab tab) {
        m_window->pages()->setCurrentIndex(static_cast<int>(tab));
        QCOMPARE(m_window->app().activeTab(), tab);
    }
};

} // namespace kp

int RunWindowCommandsTests(int argc, char** argv) {
    kp::WindowCommandsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "WindowCommandsTest.moc"

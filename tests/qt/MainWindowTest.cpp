// The main window offscreen with a scripted platform: opening, every page against the
// controller, the comparison book, the close prompt, refused page changes and shortcuts.
#include "qt/MainWindow.h"

#include "qt/BasicDataDialog.h"
#include "qt/BookTreeModel.h"
#include "qt/DateFieldEdit.h"
#include "qt/PeriodBox.h"
#include "qt/QtText.h"
#include "qt/ReportLinesModel.h"
#include "tests/app/ScriptedPlatform.h"

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPrinter>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <memory>

namespace kp {
namespace {

const QString kSource = QStringLiteral(KP_SOURCE_DIR);

// Counts what reaches the clipboard, so that a shortcut acting twice shows.
class CountingPlatform : public ScriptedPlatform {
  public:
    int copies = 0;
    void setClipboardText(const std::string& text) override {
        ++copies;
        ScriptedPlatform::setClipboardText(text);
    }
};

// Every node the model reaches from its root, walked through the model alone.
int CountRows(const QAbstractItemModel& model, const QModelIndex& parent = {}) {
    int count = 0;
    for (int row = 0; row < model.rowCount(parent); ++row)
        count += 1 + CountRows(model, model.index(row, 0, parent));
    return count;
}

// The journal's rows read through the model, less its nodes counted after: the model makes a
// voucher's lines as it reads them, so the two agree only when every row is a node.
int JournalRowsThenNodes(const QAbstractItemModel& model, const JournalView& journal) {
    const int rows = CountRows(model);
    return rows - static_cast<int>(journal.tree().count());
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        QVERIFY(QFile::copy(kSource + "/examples/esimerkki-2026.tlk", path("book.tlk")));
        QVERIFY(QFile::copy(kSource + "/examples/esimerkki-2025.tlk", path("last.tlk")));
        m_platform = std::make_unique<CountingPlatform>();
        m_platform->existing.insert(ToUtf8(path("book.tlk")));
        m_window = std::make_unique<MainWindow>(*m_platform, Settings{}, ToUtf8(path("kp.ini")));
        m_window->show();
    }

    void cleanup() {
        m_window.reset();
        m_platform.reset();
        m_dir.reset();
    }

    void startsWithoutBook() {
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Kirjanpito"));
        QVERIFY(!m_window->pages()->isVisible());
        QCOMPARE(m_window->pages()->count(), kTabCount);
        QCOMPARE(m_window->pages()->tabText(1), QStringLiteral("Päiväkirja"));
        QVERIFY(!m_window->pages()->isTabVisible(static_cast<int>(Tab::Maintenance)));
        QVERIFY(!m_window->pages()->isTabVisible(static_cast<int>(Tab::Comparison)));
        QVERIFY(!m_window->lastFileAction()->isVisible());
    }

    void everyPageShowsTheControllersView() {
        open();
        Application& app = m_window->app();
        QCOMPARE(m_window->windowTitle(), FromBook(app.title()));
        QVERIFY(m_window->pages()->isVisible());
        QCOMPARE(m_window->pages()->currentIndex(), static_cast<int>(Tab::Journal));
        QVERIFY(m_window->lastFileAction()->isVisible());
        QCOMPARE(m_window->lastFileAction()->text(), QStringLiteral("book.tlk"));

        QVERIFY(app.journal().tree().count() > 0);
        QCOMPARE(JournalRowsThenNodes(*m_window->treeModel(Tab::Journal), app.journal()), 0);

        showTab(Tab::Chart);
        QVERIFY(app.chart().tree().count() > 0);
        QCOMPARE(CountRows(*m_window->treeModel(Tab::Chart)),
                 static_cast<int>(app.chart().tree().count()));
        QVERIFY(m_window->pageMenu()->menuAction()->isVisible());
        QVERIFY(!m_window->treeMenu()->menuAction()->isVisible());

        // The ledger waits for a period; OK builds it for the preselected one.
        showTab(Tab::Ledger);
        QVERIFY(m_window->periodBox()->isVisible());
        QCOMPARE(m_window->linesModel(Tab::Ledger)->rowCount(), 0);
        QTest::mouseClick(m_window->periodBox()->okButton(), Qt::LeftButton);
        QVERIFY(!m_window->periodBox()->isVisible());
        QVERIFY(!app.ledgerLines().empty());
        expectLines(Tab::Ledger, app.ledgerLines());

        showTab(Tab::Income);
        QVERIFY(!app.statements().income.empty());
        expectLines(Tab::Income, app.statements().income);
        showTab(Tab::Balance);
        QVERIFY(!app.statements().balance.empty());
        expectLines(Tab::Balance, app.statements().balance);

        showTab(Tab::Vat);
        QVERIFY(m_window->periodBox()->isVisible());
        QTest::mouseClick(m_window->periodBox()->okButton(), Qt::LeftButton);
        QVERIFY(!app.vatLines().empty());
        expectLines(Tab::Vat, app.vatLines());

        // Leaving the ledger with its chooser open hides the box again.
        showTab(Tab::Ledger);
        app.refreshPages();
        showTab(Tab::Income);
        QVERIFY(!m_window->periodBox()->isVisible());
        QVERIFY(m_platform->shown.empty());
    }

    // The ledger's "Tulosta" and "Tiliote..": the print dialog is asked while the page-switch
    // block is up, and the PDF the printer writes holds the sheets of the job.
    void ledgerPrintsThroughThePrintDialog() {
        open();
        showTab(Tab::Ledger);
        QTest::mouseClick(m_window->periodBox()->okButton(), Qt::LeftButton);
        QVERIFY(m_window->printMenu()->menuAction()->isVisible());
        QVERIFY(!m_window->printAction()->isVisible());
        int asked = 0;
        QString file;
        m_window->setPrinterChooser([&](QPrinter& printer) {
            ++asked;
            if (m_window->app().state().pageSwitchAllowed())
                return false;
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(file);
            return true;
        });
        file = path("ledger.pdf");
        const PrintOutcome all = m_window->printLines(0);
        QCOMPARE(all.status, PrintStatus::Printed);
        QVERIFY(all.sheets > 1);
        QVERIFY(readFile(file).startsWith("%PDF"));
        QVERIFY(m_window->app().state().pageSwitchAllowed());

        m_platform->inputs.push_back(std::string("1910"));
        file = path("statement.pdf");
        const PrintOutcome statement = m_window->printLines(1);
        QCOMPARE(statement.status, PrintStatus::Printed);
        QVERIFY(statement.sheets < all.sheets);
        QVERIFY(readFile(file).startsWith("%PDF"));
        QCOMPARE(asked, 2);
        QVERIFY(m_window->app().state().pageSwitchAllowed());
    }

    // The journal's "Tulosta" opens the period chooser for the printout; its OK prints.
    void journalPrintsOnThePeriodChoosersOk() {
        open();
        QVERIFY(m_window->printAction()->isVisible());
        int asked = 0;
        m_window->setPrinterChooser([&](QPrinter& printer) {
            ++asked;
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(path("journal.pdf"));
            return true;
        });
        m_window->printAction()->trigger();
        QVERIFY(m_window->periodBox()->isVisible());
        const ChooserRequest& request = m_window->app().chooser().request();
        QCOMPARE(request.caption, std::string("P\xE4iv\xE4kirjan tulostus"));
        QCOMPARE(request.left, 130);
        QCOMPARE(request.tag, 0);
        QCOMPARE(asked, 0);
        QTest::mouseClick(m_window->periodBox()->okButton(), Qt::LeftButton);
        QCOMPARE(asked, 1);
        QVERIFY(readFile(path("journal.pdf")).startsWith("%PDF"));
        QVERIFY(m_window->app().state().pageSwitchAllowed());
    }

    void periodCancelHidesTheChooser() {
        open();
        showTab(Tab::Ledger);
        QVERIFY(m_window->periodBox()->isVisible());
        QTest::mouseClick(m_window->periodBox()->cancelButton(), Qt::LeftButton);
        QVERIFY(!m_window->periodBox()->isVisible());
        QVERIFY(!m_window->app().chooser().visible());
        QCOMPARE(m_window->linesModel(Tab::Ledger)->rowCount(), 0);
    }

    void comparisonBookOpensAndCloses() {
        open();
        Application& app = m_window->app();
        QCOMPARE(m_window->comparisonAction()->text(), QStringLiteral("Avaa vertailukausi"));
        m_platform->openFiles.push_back(ToUtf8(path("last.tlk")));
        m_window->comparisonAction()->trigger();
        QVERIFY(app.state().comparisonLoaded);
        QCOMPARE(m_window->comparisonAction()->text(), QStringLiteral("Sulje vertailukausi"));
        QCOMPARE(CountRows(*m_window->treeModel(Tab::Comparison)),
                 static_cast<int>(app.state().comparisonBook.count()));
        showTab(Tab::Income);
        expectLines(Tab::Income, app.statements().income);

        m_window->comparisonAction()->trigger();
        QVERIFY(!app.state().comparisonLoaded);
        QCOMPARE(m_window->comparisonAction()->text(), QStringLiteral("Avaa vertailukausi"));
        QCOMPARE(m_window->pages()->currentIndex(), static_cast<int>(Tab::Journal));
        QCOMPARE(m_window->treeModel(Tab::Comparison)->rowCount(), 0);
        // The choice of a comparison file leaves the open book's name as it was.
        QCOMPARE(app.fileName(), ToUtf8(path("book.tlk")));
    }

    void closePromptCancelKeepsTheWindow() {
        open();
        m_window->app().state().markBookChanged();
        m_platform->answers.push_back(Answer::Cancel);
        QVERIFY(!m_window->close());
        QVERIFY(m_window->isVisible());
        QCOMPARE(m_platform->asked, std::vector<std::string>{"Tallennetaanko?"});
        QVERIFY(!QFile::exists(path("kp.ini")));
    }

    void closePromptNoDiscardsAndWritesSettings() {
        open();
        m_window->app().state().markBookChanged();
        const QByteArray before = readFile(path("book.tlk"));
        m_platform->answers.push_back(Answer::No);
        QVERIFY(m_window->close());
        QCOMPARE(readFile(path("book.tlk")), before);
        // The settings remember the book for the next start.
        const Settings written = ReadSettings(ToUtf8(path("kp.ini")));
        QCOMPARE(written.lastName, ToUtf8(path("book.tlk")));
    }

    void closePromptYesSaves() {
        open();
        Application& app = m_window->app();
        // An edit the file does not hold yet: a new node under the fiscal year.
        app.state().openBook.addLast(app.state().openBook.first(), "Muistiinpano");
        app.state().markBookChanged();
        m_platform->answers.push_back(Answer::Yes);
        QVERIFY(m_window->close());
        QVERIFY(!app.state().unsavedChanges);
        QVERIFY(readFile(path("book.tlk")).contains("Muistiinpano"));
    }

    void pageChangeRefusedWhileBlocked() {
        open();
        AppState& state = m_window->app().state();
        {
            const PageSwitchBlock block(state);
            m_window->pages()->setCurrentIndex(static_cast<int>(Tab::Balance));
            QCOMPARE(m_window->pages()->currentIndex(), static_cast<int>(Tab::Journal));
            QCOMPARE(m_window->app().activeTab(), Tab::Journal);
        }
        showTab(Tab::Balance);
        QCOMPARE(m_window->app().activeTab(), Tab::Balance);
    }

    void shortcutActsOncePerPress() {
        open();
        showTab(Tab::Income);
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        QWidget* list = m_window->lineView(Tab::Income);
        list->setFocus();
        QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(m_platform->copies, 1);
        const std::string expected = m_platform->clipboard;
        QVERIFY(!expected.empty());
        QVERIFY(QString::fromStdString(expected).startsWith(
            FromBook(m_window->app().statements().income[0])));

        // Ctrl+S with unsaved changes writes the book without asking.
        m_window->app().state().markBookChanged();
        QTest::keyClick(list, Qt::Key_S, Qt::ControlModifier);
        QVERIFY(!m_window->app().state().unsavedChanges);
        QVERIFY(m_platform->asked.empty());
    }

    void findSelectsTheLineFound() {
        open();
        showTab(Tab::Balance);
        const ReportLines& lines = m_window->app().statements().balance;
        QVERIFY(lines.size() > 3);
        // The label of the last labelled line; the search finds its first occurrence.
        QString word;
        for (size_t i = lines.size(); i-- > 0 && word.isEmpty();)
            word = FromBook(lines[i]).section(QLatin1Char('\t'), 0, 0).trimmed();
        QVERIFY(!word.isEmpty());
        m_platform->inputs.push_back(ToUtf8(word));
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        QTest::keyClick(m_window->lineView(Tab::Balance), Qt::Key_F, Qt::ControlModifier);
        const QModelIndex current = m_window->lineView(Tab::Balance)->currentIndex();
        QVERIFY(current.isValid());
        QVERIFY(current.data().toString().contains(word, Qt::CaseInsensitive));
    }

    void filterRefusesTextTheBookCannotHold() {
        open();
        QVERIFY(!m_window->applyFilterInput(true, QStringLiteral("Projekti ✓"),
                                            QStringLiteral("PROJEKTI")));
        QCOMPARE(m_platform->shown.size(), size_t{1});
        QVERIFY(!m_window->app().state().filter.on);

        QVERIFY(
            m_window->applyFilterInput(true, QStringLiteral("Myynti"), QStringLiteral("PROJEKTI")));
        QVERIFY(m_window->app().state().filter.on);
        QCOMPARE(m_window->pages()->currentIndex(), static_cast<int>(Tab::Journal));
        QCOMPARE(
            JournalRowsThenNodes(*m_window->treeModel(Tab::Journal), m_window->app().journal()), 0);
    }

    void newCompanyThroughTheDialog() {
        open();
        bool dialogSeen = false;
        QTimer::singleShot(0, this, [&] {
            auto* dialog = qobject_cast<BasicDataDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            dialogSeen = true;
            QPushButton* ok = dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
            dialog->companyName()->setText(QStringLiteral("Testi Öy"));
            // The first day is typed over in place: digits only, the dots stepped over.
            QTest::keyClick(dialog->firstDay(), Qt::Key_Home);
            QTest::keyClicks(dialog->firstDay(), QStringLiteral("01x01-2027"));
            QCOMPARE(dialog->firstDay()->text(), QStringLiteral("01.01.2027"));
            // A last day before the first is refused and the dialog stays with its input.
            dialog->lastDay()->setText(QStringLiteral("31.12.2020"));
            ok->click();
            QVERIFY(dialog->isVisible());
            QCOMPARE(m_platform->shown, std::vector<std::string>{"Virheelliset päiväykset"});
            dialog->lastDay()->setText(QStringLiteral("31.12.2027"));
            ok->click();
        });
        fileAction(QStringLiteral("Uusi yritys"))->trigger();
        QVERIFY(dialogSeen);
        Application& app = m_window->app();
        QVERIFY(m_window->windowTitle().contains(QStringLiteral("Testi Öy")));
        QCOMPARE(m_window->windowTitle(), FromBook(app.title()));
        // The next save must ask for a name rather than overwrite the old book.
        QVERIFY(app.fileName().empty());
        QCOMPARE(m_window->pages()->currentIndex(), static_cast<int>(Tab::Journal));
        QCOMPARE(JournalRowsThenNodes(*m_window->treeModel(Tab::Journal), app.journal()), 0);
        QCOMPARE(CountRows(*m_window->treeModel(Tab::Maintenance)),
                 static_cast<int>(app.state().openBook.count()));
    }

    void maintenancePageAddsANode() {
        open();
        Application& app = m_window->app();
        m_platform->inputs.push_back(std::string(kMaintenanceCode));
        m_window->maintenanceAction()->trigger();
        QVERIFY(m_window->pages()->isTabVisible(static_cast<int>(Tab::Maintenance)));
        QVERIFY(m_window->pages()->isTabVisible(static_cast<int>(Tab::Comparison)));
        showTab(Tab::Maintenance);
        QVERIFY(m_window->treeMenu()->menuAction()->isVisible());
        QVERIFY(!m_window->pageMenu()->menuAction()->isVisible());
        const int before = static_cast<int>(app.state().openBook.count());
        QCOMPARE(CountRows(*m_window->treeModel(Tab::Maintenance)), before);

        // Insert adds a child of the selected node, named through the input box.
        QTreeView* view = m_window->treeView(Tab::Maintenance);
        const BookTreeModel* model = m_window->treeModel(Tab::Maintenance);
        view->setCurrentIndex(model->index(0, 0));
        m_platform->inputs.push_back("Muistiinpano");
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        QTest::keyClick(view, Qt::Key_Insert);
        QCOMPARE(static_cast<int>(app.state().openBook.count()), before + 1);
        QCOMPARE(CountRows(*model), before + 1);
        QVERIFY(app.state().unsavedChanges);
        // It comes first under its parent, which opens to show it.
        const QModelIndex parent = model->index(0, 0);
        QCOMPARE(model->index(0, 0, parent).data().toString(), QStringLiteral("Muistiinpano"));
        QVERIFY(view->isExpanded(parent));

        // The edit made every view stale: the journal is rebuilt as it is shown again, and its
        // view is told so.
        QSignalSpy journalReset(m_window->treeModel(Tab::Journal), &QAbstractItemModel::modelReset);
        showTab(Tab::Journal);
        QCOMPARE(journalReset.count(), 1);
        QCOMPARE(JournalRowsThenNodes(*m_window->treeModel(Tab::Journal), app.journal()), 0);
        showTab(Tab::Maintenance);

        // Hiding the tabs while one of them is shown returns to the journal.
        m_window->maintenanceAction()->trigger();
        QVERIFY(!m_window->pages()->isTabVisible(static_cast<int>(Tab::Maintenance)));
        QCOMPARE(m_window->pages()->currentIndex(), static_cast<int>(Tab::Journal));
        QCOMPARE(app.activeTab(), Tab::Journal);
    }

    void pageSwitchKeepsTheJournalExpanded() {
        open();
        QTreeView* journal = m_window->treeView(Tab::Journal);
        const QModelIndex root = m_window->treeModel(Tab::Journal)->index(0, 0);
        journal->expand(root);
        showTab(Tab::Income);
        showTab(Tab::Journal);
        QVERIFY(journal->isExpanded(m_window->treeModel(Tab::Journal)->index(0, 0)));

        // "Päivitä sivut" rebuilds the journal, and the view follows it.
        for (QAction* action : m_window->pageMenu()->actions())
            if (action->text() == QStringLiteral("Päivitä sivut"))
                action->trigger();
        QCOMPARE(
            JournalRowsThenNodes(*m_window->treeModel(Tab::Journal), m_window->app().journal()), 0);
    }

  private:
    QAction* fileAction(const QString& text) const {
        for (QAction* action : m_window->fileMenu()->actions())
            if (action->text() == text)
                return action;
        return nullptr;
    }
    QString path(const QString& name) const { return m_dir->filePath(name); }
    static QByteArray readFile(const QString& name) {
        QFile file(name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void open() {
        QVERIFY(m_window->openFile(ToUtf8(path("book.tlk"))));
        QVERIFY(m_platform->shown.empty());
    }
    void showTab(Tab tab) {
        m_window->pages()->setCurrentIndex(static_cast<int>(tab));
        QCOMPARE(m_window->app().activeTab(), tab);
    }
    // The list shows exactly the controller's lines, and draws them without fault.
    void expectLines(Tab tab, const ReportLines& lines) {
        const ReportLinesModel* model = m_window->linesModel(tab);
        QCOMPARE(model->rowCount(), static_cast<int>(lines.size()));
        for (int row : {0, model->rowCount() - 1})
            QCOMPARE(model->data(model->index(row), ReportLinesModel::LineRole).toByteArray(),
                     QByteArray(lines[static_cast<size_t>(row)].data(),
                                static_cast<qsizetype>(lines[static_cast<size_t>(row)].size())));
        // The view was told of the new rows: it lays out the last one.
        QTreeView* view = m_window->lineView(tab);
        QVERIFY(view->visualRect(model->index(model->rowCount() - 1)).isValid());
        QVERIFY(!view->grab().isNull());
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<CountingPlatform> m_platform;
    std::unique_ptr<MainWindow> m_window;
};

} // namespace kp

int RunMainWindowTests(int argc, char** argv) {
    kp::MainWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "MainWindowTest.moc"

// Closing the window with boxes open, every way it can be closed; and a voucher posted, undone
// and redone through the real dialog and the "Muokkaa" menu.
#include "qt/AccountDialog.h"
#include "qt/DateFieldEdit.h"
#include "qt/MainWindow.h"
#include "qt/QtText.h"
#include "qt/VatTextsDialog.h"
#include "qt/VoucherDialog.h"
#include "tests/app/ScriptedPlatform.h"
#include "tests/qt/ExampleWindowTest.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <memory>

namespace kp {

enum class CloseBy { Button, SuljeMenu, SessionEnd };
enum class Box { None, VoucherWithLines, EmptyVoucher, Account, VatTextsBox };

} // namespace kp

Q_DECLARE_METATYPE(kp::CloseBy)
Q_DECLARE_METATYPE(kp::Box)

namespace kp {

class WindowCloseTest : public ExampleWindowTest {
    Q_OBJECT

  private slots:
    void init() { QVERIFY(openExample(true, false)); }

    void cleanup() { closeExample(); }

    void closingDealsWithTheBoxesFirst_data() {
        QTest::addColumn<CloseBy>("by");
        QTest::addColumn<Box>("box");
        QTest::addColumn<bool>("unsaved");
        QTest::addColumn<QList<int>>("answers"); // Answer values, in order
        QTest::addColumn<QStringList>("asked");
        QTest::addColumn<bool>("closes");
        const QString voucher = QStringLiteral("Tosite on kesken. Hylätäänkö se?");
        const QString save = QStringLiteral("Tallennetaanko?");
        const int yes = static_cast<int>(Answer::Yes);
        const int no = static_cast<int>(Answer::No);
        const int cancel = static_cast<int>(Answer::Cancel);
        QTest::newRow("voucher kept") << CloseBy::Button << Box::VoucherWithLines << false
                                      << QList<int>{no} << QStringList{voucher} << false;
        QTest::newRow("voucher discarded") << CloseBy::Button << Box::VoucherWithLines << false
                                           << QList<int>{yes} << QStringList{voucher} << true;
        QTest::newRow("voucher discarded, save cancelled")
            << CloseBy::SuljeMenu << Box::VoucherWithLines << true << QList<int>{yes, cancel}
            << QStringList{voucher, save} << false;
        QTest::newRow("empty voucher, Sulje") << CloseBy::SuljeMenu << Box::EmptyVoucher << false
                                              << QList<int>{} << QStringList{} << true;
        QTest::newRow("account box") << CloseBy::Button << Box::Account << true << QList<int>{no}
                                     << QStringList{save} << true;
        QTest::newRow("VAT texts box") << CloseBy::Button << Box::VatTextsBox << false
                                       << QList<int>{} << QStringList{} << true;
        QTest::newRow("session end, voucher kept")
            << CloseBy::SessionEnd << Box::VoucherWithLines << false << QList<int>{no}
            << QStringList{voucher} << false;
        QTest::newRow("session end, unsaved discarded")
            << CloseBy::SessionEnd << Box::None << true << QList<int>{no} << QStringList{save}
            << true;
    }

    void closingDealsWithTheBoxesFirst() {
        QFETCH(CloseBy, by);
        QFETCH(Box, box);
        QFETCH(bool, unsaved);
        QFETCH(QList<int>, answers);
        QFETCH(QStringList, asked);
        QFETCH(bool, closes);
        switch (box) {
        case Box::VoucherWithLines:
            m_window->voucherCommand(0);
            typeLine();
            break;
        case Box::EmptyVoucher:
            m_window->voucherCommand(0);
            break;
        case Box::Account:
            m_window->pages()->setCurrentIndex(static_cast<int>(Tab::Chart));
            m_window->treeView(Tab::Chart)
                ->setCurrentIndex(m_window->treeView(Tab::Chart)->model()->index(0, 0));
            m_window->chartCommand(0);
            break;
        case Box::VatTextsBox:
            m_window->vatTextsCommand();
            break;
        case Box::None:
            break;
        }
        QCOMPARE(openBoxes() > 0, box != Box::None);
        m_window->app().state().unsavedChanges = unsaved;
        for (int answer : answers)
            m_platform->answers.push_back(static_cast<Answer>(answer));
        m_platform->asked.clear();
        QSignalSpy closed(m_window.get(), &MainWindow::closed);

        bool result = false;
        if (by == CloseBy::Button) {
            result = m_window->close();
        } else if (by == CloseBy::SessionEnd) {
            result = m_window->sessionEnding(true);
        } else {
            for (QAction* action : m_window->fileMenu()->actions())
                if (action->text().startsWith(QStringLiteral("Sulje\t")))
                    action->trigger();
            result = !m_window->isVisible();
        }
        QCOMPARE(result, closes);
        QStringList questions;
        for (const std::string& question : m_platform->asked)
            questions << FromUtf8(question);
        QCOMPARE(questions, asked);
        QCOMPARE(m_window->isVisible(), !closes);
        QCOMPARE(closed.count(), closes ? 1 : 0);
        // Nothing stays on screen without the window; a refusal keeps every box as it was.
        QCOMPARE(openBoxes(), closes ? 0 : 1);
    }

    // Without leave to ask, the ending session changes nothing.
    void sessionEndWithoutInteractionAsksNothing() {
        m_window->app().state().markBookChanged();
        QVERIFY(m_window->sessionEnding(false));
        QVERIFY(m_platform->asked.empty());
        QVERIFY(m_window->isVisible());
    }

    // OK posts voucher 61 and reopens for 62; "Kumoa" takes it away and the box proposes 61
    // again; "Tee uudelleen" brings it back. Title and status bar say what happened.
    void postUndoRedoThroughTheDialog() {
        Application& app = m_window->app();
        const QString title = FromBook(app.title());
        QCOMPARE(m_window->windowTitle(), title);
        QVERIFY(!m_window->undoAction()->isEnabled());
        m_window->voucherCommand(0);
        typeLine();
        m_platform->answers.push_back(Answer::Yes); // the difference is accepted
        QTest::mouseClick(m_window->voucherDialog()->okButton(), Qt::LeftButton);
        QCOMPARE(app.journal().root()->childCount(), 62);
        QCOMPARE(m_window->windowTitle(), QStringLiteral("*") + title);
        QCOMPARE(m_window->undoAction()->text(), QStringLiteral("Kumoa: Tosite 61\tCtrl+Z"));
        QVERIFY(m_window->pageMenu()->actions().contains(m_window->undoAction()));
        QCOMPARE(numberShown(), QStringLiteral("62"));

        m_window->undoAction()->trigger();
        QCOMPARE(app.journal().root()->childCount(), 61);
        QCOMPARE(m_window->treeView(Tab::Journal)
                     ->model()
                     ->rowCount(m_window->treeView(Tab::Journal)->model()->index(0, 0)),
                 61);
        QCOMPARE(m_window->windowTitle(), title);
        QCOMPARE(m_window->statusLabel()->text(), QStringLiteral("Kumottu: Tosite 61"));
        QVERIFY(!m_window->undoAction()->isEnabled());
        QCOMPARE(m_window->redoAction()->text(),
                 QStringLiteral("Tee uudelleen: Tosite 61\tCtrl+Y"));
        QVERIFY(m_window->voucherDialog()->isVisible());
        QCOMPARE(numberShown(), QStringLiteral("61"));

        // The keys act in the main window, also while the box is open beside it.
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        QTest::keySequence(m_window->treeView(Tab::Journal),
                           QKeySequence(QStringLiteral("Ctrl+Shift+Z")));
        QCOMPARE(app.journal().root()->childCount(), 62);
        QCOMPARE(m_window->windowTitle(), QStringLiteral("*") + title);
        QCOMPARE(m_window->statusLabel()->text(), QStringLiteral("Tehty uudelleen: Tosite 61"));
        QCOMPARE(numberShown(), QStringLiteral("62"));

        m_window->voucherDialog()->cancelButton()->click();
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        QTest::keySequence(m_window->treeView(Tab::Journal),
                           QKeySequence(QStringLiteral("Ctrl+S")));
        QCOMPARE(m_window->windowTitle(), title);
        QCOMPARE(m_window->statusLabel()->text(), QStringLiteral("Tallennettu klo 14.03"));
    }

  private:
    // Date Enter, account 1900 Enter, 100 Enter in the dialog: one line of 100,00.
    void typeLine() {
        VoucherDialog* dialog = m_window->voucherDialog();
        QTest::keyClick(dialog->dateEdit(), Qt::Key_Return);
        QLineEdit* chooser = dialog->chooser()->lineEdit();
        QTest::keyClicks(chooser, QStringLiteral("19"));
        QTest::keyClick(chooser, Qt::Key_Return);
        QTest::keyClicks(dialog->grid(), QStringLiteral("100"));
        QTest::keyClick(dialog->grid(), Qt::Key_Return);
        QCOMPARE(dialog->grid()->item(1, 1)->text(), QStringLiteral("100,00"));
    }
    QString numberShown() const { return m_window->voucherDialog()->numberEdit()->text(); }
    int openBoxes() const {
        return int(m_window->voucherDialog()->isVisible()) +
               int(m_window->accountDialog()->isVisible()) +
               int(m_window->vatTextsDialog()->isVisible());
    }
};

} // namespace kp

int RunWindowCloseTests(int argc, char** argv) {
    kp::WindowCloseTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "WindowCloseTest.moc"

// The window from the keyboard: ten vouchers typed in a row, every box's Enter and Esc, and the
// Finnish desktop (Qt's own texts, the voucher menu, the toolbar, the last books, the help).
#include "app/PageHint.h"
#include "qt/AccountDialog.h"
#include "qt/DateFieldEdit.h"
#include "qt/HelpWindow.h"
#include "qt/MainWindow.h"
#include "qt/PeriodBox.h"
#include "qt/QtText.h"
#include "qt/Translations.h"
#include "qt/VatTextsDialog.h"
#include "qt/VoucherDialog.h"
#include "tests/app/ScriptedPlatform.h"
#include "tests/qt/ExampleWindowTest.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>
#include <memory>

namespace kp {
namespace {

// Where the keys go: the widget that has the keyboard, as a user's keys would.
QWidget* Focused() {
    return QApplication::focusWidget();
}

void Keys(const QString& text) {
    for (const QChar c : text)
        QTest::keyClick(Focused(), static_cast<char>(c.unicode()));
}

void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(Focused(), key, modifiers);
}

// A dialog of the form is a tool window, which counts as active while the main window is;
// the keys reach it only once it is the active window itself.
#define WAIT_ACTIVE(window)                                                                        \
    QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(window))

// The texts of an event's children, one level down, and of its lines with their amounts.
QStringList EventTexts(const BookNode* event) {
    QStringList texts;
    for (const BookNode* child : event->children())
        texts << FromBook(child->text());
    for (const BookNode* line : event->child(2)->children())
        texts << FromBook(line->text()) + " " + FromBook(line->child(0)->text());
    return texts;
}

} // namespace

class KeyboardTest : public ExampleWindowTest {
    Q_OBJECT

  private slots:
    void init() { QVERIFY(openExample(false, true)); }

    void cleanup() { closeExample(); }

    // The walk-through ten times in a row, only keys: Ctrl+N, the date over the proposed one,
    // Enter, the description, Enter, 19 Enter, the amount, Enter, 30 Enter (the balancing
    // amount proposed), Enter to the next line and Enter on its empty account: OK, and the box
    // is open for the next voucher. Esc on the untouched box closes it.
    void tenVouchersInARow() {
        VoucherDialog* dialog = m_window->voucherDialog();
        m_window->app().settings().vatSplit = false; // the lines as typed
        Key(Qt::Key_N, Qt::ControlModifier);
        for (int i = 1; i <= 10; ++i) {
            QVERIFY(dialog->isVisible());
            WAIT_ACTIVE(dialog);
            QTRY_COMPARE(Focused(), dialog->dateEdit());
            QCOMPARE(dialog->dateEdit()->selectionStart(), 0);
            Keys(QString::number(10 + i) + "012026");
            QCOMPARE(dialog->dateEdit()->text(), QStringLiteral("%1.01.2026").arg(10 + i));
            Key(Qt::Key_Return);
            QCOMPARE(Focused(), dialog->descriptionEdit());
            Keys(QStringLiteral("Kassamyynti %1").arg(i));
            Key(Qt::Key_Return);
            Keys(QStringLiteral("19"));
            Key(Qt::Key_Return);
            Keys(QString::number(10 * i + 5));
            Key(Qt::Key_Return);
            Keys(QStringLiteral("30"));
            Key(Qt::Key_Return);
            QCOMPARE(dialog->differenceEdit()->text(), QStringLiteral("0,00"));
            Key(Qt::Key_Return);
            Key(Qt::Key_Return);
        }
        QCOMPARE(dialog->numberEdit()->text(), QStringLiteral("71"));
        Key(Qt::Key_Escape);
        QVERIFY(!dialog->isVisible());
        QVERIFY(m_platform->asked.empty());
        QVERIFY(m_platform->shown.empty());

        const BookNode* events = m_window->app().index().events();
        QCOMPARE(events->childCount(), 71);
        for (int i = 1; i <= 10; ++i) {
            const BookNode* event = events->child(60 + i);
            QCOMPARE(FromBook(event->text()), QStringLiteral("event %1").arg(60 + i));
            const QString money = QString::number((10 * i + 5) * 100);
            QCOMPARE(EventTexts(event),
                     (QStringList{QStringLiteral("date 2026 1 %1").arg(10 + i),
                                  QStringLiteral("\"Kassamyynti %1\"").arg(i), QString(),
                                  "1900 money " + money, "3000 money -" + money}));
        }
    }

    // Esc and "Peruuta" ask before lines are thrown away; Ctrl+Enter is OK from any field;
    // after "Peruuta" the next voucher starts in the date field again.
    void escapeAsksAndControlEnterPosts() {
        VoucherDialog* dialog = m_window->voucherDialog();
        Key(Qt::Key_N, Qt::ControlModifier);
        WAIT_ACTIVE(dialog);
        Key(Qt::Key_Return);
        Key(Qt::Key_Return);
        Keys(QStringLiteral("19"));
        Key(Qt::Key_Return);
        Keys(QStringLiteral("7"));
        Key(Qt::Key_Escape); // first undoes the typed amount
        QVERIFY(m_platform->asked.empty());
        Keys(QStringLiteral("7"));
        Key(Qt::Key_Return);
        Key(Qt::Key_Escape); // nothing typed to undo: Peruuta, which asks; No keeps it open
        QCOMPARE(m_platform->asked.size(), size_t(1));
        QCOMPARE(m_platform->asked[0], std::string("Hylätäänkö tositteen muutokset?"));
        QVERIFY(dialog->isVisible());
        m_platform->answers.push_back(Answer::Yes);
        QTest::mouseClick(dialog->cancelButton(), Qt::LeftButton);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(m_window->app().index().events()->childCount(), 61);

        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        Key(Qt::Key_N, Qt::ControlModifier);
        WAIT_ACTIVE(dialog);
        QTRY_COMPARE(Focused(), dialog->dateEdit());
        Key(Qt::Key_Return);
        Key(Qt::Key_Return);
        Keys(QStringLiteral("19"));
        Key(Qt::Key_Return);
        Keys(QStringLiteral("7"));
        m_platform->answers.push_back(Answer::Yes); // the unbalanced voucher is confirmed
        Key(Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(m_window->app().index().events()->childCount(), 62);
        QCOMPARE(dialog->numberEdit()->text(), QStringLiteral("62"));
    }

    // Each box opens with the keyboard in its first field; Enter (Ctrl+Enter where Enter moves
    // in a grid) accepts and Esc cancels. A cancelled period chooser leaves a hint on the page.
    void everyBoxTakesEnterAndEscape() {
        Application& app = m_window->app();
        PeriodBox* period = m_window->periodBox();
        QLabel* hint = m_window->lineView(Tab::Ledger)->viewport()->findChild<QLabel*>();
        m_window->pages()->setCurrentIndex(static_cast<int>(Tab::Ledger));
        QVERIFY(period->isVisible());
        QCOMPARE(period->title(), QStringLiteral("Pääkirja"));
        QCOMPARE(Focused(), static_cast<QWidget*>(period->monthList()));
        Key(Qt::Key_Escape);
        QVERIFY(!period->isVisible());
        QCOMPARE(Focused(), static_cast<QWidget*>(m_window->lineView(Tab::Ledger)));
        QVERIFY(hint->isVisible());
        QCOMPARE(hint->text(), FromUtf8(std::string(kChoosePeriodHint)));
        Key(Qt::Key_F5);
        QVERIFY(period->isVisible());
        QVERIFY(!hint->isVisible());
        Key(Qt::Key_Up); // December to November
        Key(Qt::Key_Return);
        QVERIFY(!period->isVisible());
        QCOMPARE(Focused(), static_cast<QWidget*>(m_window->lineView(Tab::Ledger)));
        QVERIFY(FromBook(app.ledgerLines()[1]).contains(QStringLiteral("Marraskuu")));

        // Printing the journal, cancelled: the voucher chosen stays chosen, with the keyboard.
        m_window->pages()->setCurrentIndex(static_cast<int>(Tab::Journal));
        QTreeView* journal = m_window->treeView(Tab::Journal);
        const QModelIndex voucher = journal->model()->index(13, 0, journal->model()->index(0, 0));
        journal->setCurrentIndex(voucher);
        Key(Qt::Key_P, Qt::ControlModifier);
        QVERIFY(period->isVisible());
        Key(Qt::Key_Escape);
        QVERIFY(!period->isVisible());
        QCOMPARE(Focused(), static_cast<QWidget*>(journal));
        QCOMPARE(journal->currentIndex(), voucher);

        // The account editor: the number first; Esc closes, Enter is OK.
        m_window->pages()->setCurrentIndex(static_cast<int>(Tab::Chart));
        QTreeView* chart = m_window->treeView(Tab::Chart);
        QModelIndex line = chart->model()->index(0, 0);
        while (line.isValid() && !line.data().toString().front().isDigit())
            line = chart->indexBelow(line);
        chart->setCurrentIndex(line);
        AccountDialog* account = m_window->accountDialog();
        for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
            m_window->chartCommand(0);
            WAIT_ACTIVE(account);
            QTRY_COMPARE(Focused(), static_cast<QWidget*>(account->numberField()));
            Key(key);
            QVERIFY(!account->isVisible());
        }
        QVERIFY(m_platform->shown.empty());

        // The VAT texts: the first text cell; Esc closes, Ctrl+Enter is OK.
        VatTextsDialog* vat = m_window->vatTextsDialog();
        for (const bool ok : {false, true}) {
            m_window->vatTextsCommand();
            WAIT_ACTIVE(vat);
            QCOMPARE(Focused()->objectName(), QStringLiteral("VatGrid1"));
            Key(ok ? Qt::Key_Return : Qt::Key_Escape, ok ? Qt::ControlModifier : Qt::NoModifier);
            QVERIFY(!vat->isVisible());
        }

        // The basic-data box (modal): the company name first; Enter in a date field is OK.
        QString firstField;
        QTimer answer; // gone with the test, also when the box never opened
        answer.setSingleShot(true);
        answer.start(0);
        connect(&answer, &QTimer::timeout, this, [&] {
            QWidget* box = QApplication::activeModalWidget();
            WAIT_ACTIVE(box);
            firstField = Focused()->objectName();
            QTest::keyClick(box->findChild<QLineEdit*>(QStringLiteral("firstDay")), Qt::Key_Return);
        });
        m_platform->answers.push_back(Answer::No); // the chart edit is not saved first
        m_window->basicDataCommand(BasicDataMode::ChangeBasicData);
        QCOMPARE(firstField, QStringLiteral("companyName"));
        QVERIFY(!app.basicDataBox().visible());
    }

    // Qt's own buttons in Finnish; the voucher menu and the toolbar with their keys; the last
    // books in "Tiedosto"; the help page in the program's own window.
    void finnishDesktop() {
        QVERIFY(InstallFinnishTranslations(*QApplication::instance()));
        QMessageBox box(QMessageBox::Question, QStringLiteral("Kirjanpito"),
                        QStringLiteral("Tallennetaanko?"),
                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QCOMPARE(box.button(QMessageBox::Yes)->text().remove('&'), QStringLiteral("Kyllä"));
        QCOMPARE(box.button(QMessageBox::No)->text().remove('&'), QStringLiteral("Ei"));
        QCOMPARE(box.button(QMessageBox::Cancel)->text().remove('&'), QStringLiteral("Peruuta"));

        QStringList entries;
        for (const QAction* action : m_window->voucherMenu()->actions())
            entries << action->text();
        QCOMPARE(entries, (QStringList{QStringLiteral("Uusi tosite\tCtrl+N"),
                                       QStringLiteral("Muokkaa tositetta\tCtrl+E"),
                                       QStringLiteral("Kopioi uusi tosite\tCtrl+K"), QString(),
                                       QStringLiteral("Alv-erittely")}));
        QStringList tips;
        for (const QAction* action : m_window->toolBar()->actions())
            if (!action->isSeparator())
                tips << action->toolTip();
        QCOMPARE(tips,
                 (QStringList{QStringLiteral("Avaa (Ctrl+O)"), QStringLiteral("Tallenna (Ctrl+S)"),
                              QStringLiteral("Uusi tosite (Ctrl+N)"),
                              QStringLiteral("Tulosta näytetty sivu (Ctrl+P)"),
                              QStringLiteral("Valitse jakso: Päivitä sivut (F5)"),
                              QStringLiteral("Ohje (F1)")}));

        // Saved under six names: the five last, the latest first, open from the menu.
        Application& app = m_window->app();
        for (int i = 1; i <= 6; ++i) {
            m_platform->saveFiles.push_back(
                ToUtf8(m_dir->filePath(QStringLiteral("k%1.tlk").arg(i))));
            QVERIFY(app.saveCommand(true));
        }
        m_window->fileMenu()->aboutToShow();
        QStringList recent;
        for (const QAction* action : m_window->recentFileActions())
            if (action->isVisible())
                recent << action->text();
        QCOMPARE(recent, (QStringList{"k6.tlk", "k5.tlk", "k4.tlk", "k3.tlk", "k2.tlk"}));
        m_platform->existing.insert(ToUtf8(m_dir->filePath("k4.tlk")));
        m_window->recentFileActions()[2]->trigger();
        QCOMPARE(FromUtf8(app.fileName()), m_dir->filePath("k4.tlk"));
        QCOMPARE(m_window->app().currentSettings().recentFiles.size(), size_t(5));

        m_window->setHelpFile(QStringLiteral(KP_SOURCE_DIR) + "/help/kirjanpito.html");
        Key(Qt::Key_F1);
        QVERIFY(m_window->helpWindow()->isVisible());
        QVERIFY(m_window->helpWindow()->browser()->toPlainText().contains(
            QStringLiteral("Tositteiden kirjaaminen")));
    }

  private:
};

} // namespace kp

int RunKeyboardTests(int argc, char** argv) {
    kp::KeyboardTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "KeyboardTest.moc"

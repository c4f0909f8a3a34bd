// The voucher dialog typed into with key events, over the example book in the main window.
#include "qt/VoucherDialog.h"

#include "qt/AccountDialog.h"
#include "qt/BookTreeModel.h"
#include "qt/BookTreeView.h"
#include "qt/DateFieldEdit.h"
#include "qt/MainWindow.h"
#include "qt/PeriodBox.h"
#include "qt/QtText.h"
#include "tests/app/ScriptedPlatform.h"
#include "tests/qt/ExampleWindowTest.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <memory>

namespace kp {
namespace {

// Typed as key events carrying their text, letters outside ASCII included.
void TypeText(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &release);
    }
}

// The first line of the tree whose text begins with the prefix.
BookNode* FindLine(const BookTree& tree, std::string_view prefix) {
    for (BookNode* node = tree.first(); node; node = tree.next(node))
        if (node->text().substr(0, prefix.size()) == prefix)
            return node;
    return nullptr;
}

// The amount after the TAB of the first line that begins with the text; 0 when none does.
Cents AmountOf(const ReportLines& lines, std::string_view start) {
    for (size_t i = 0; i < lines.size(); ++i)
        if (lines[i].starts_with(start))
            return MoneyToCents(lines[i].substr(lines[i].find('\t') + 1));
    return 0;
}

bool LinesHold(const ReportLines& lines, std::string_view text) {
    for (size_t i = 0; i < lines.size(); ++i)
        if (lines[i].find(text) != std::string_view::npos)
            return true;
    return false;
}

} // namespace

class VoucherDialogTest : public ExampleWindowTest {
    Q_OBJECT

  private slots:
    void init() { QVERIFY(openExample(false, false)); }

    void cleanup() { closeExample(); }

    // Date, Enter, 19, Enter, 100, Enter, 30, Enter, OK: the voucher in the book, and the
    // editor open again for the next one.
    void walkThroughPostsAndReopens() {
        m_window->app().settings().vatSplit = false; // the lines as typed, as before the split
        m_window->voucherCommand(0);
        VoucherDialog* dialog = m_window->voucherDialog();
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Uusi tosite"));
        QCOMPARE(dialog->numberEdit()->text(), QStringLiteral("61"));
        QVERIFY(!dialog->numberEdit()->isEnabled());

        QTest::keyClicks(dialog->dateEdit(), QStringLiteral("05012026"));
        QCOMPARE(dialog->dateEdit()->text(), QStringLiteral("05.01.2026"));
        QTest::keyClick(dialog->dateEdit(), Qt::Key_Return);
        QCOMPARE(dialog->focusWidget(), dialog->descriptionEdit());
        QTest::keyClick(dialog->descriptionEdit(), Qt::Key_Return);
        QVERIFY(dialog->chooser()->isVisible());
        QLineEdit* chooser = dialog->chooser()->lineEdit();
        QTest::keyClicks(chooser, QStringLiteral("19"));
        QCOMPARE(chooser->text(), QStringLiteral("1900 Käteisvarat"));
        QCOMPARE(chooser->selectedText(), QStringLiteral("00 Käteisvarat"));
        QTest::keyClick(chooser, Qt::Key_Return);
        QVERIFY(!dialog->chooser()->isVisible());
        QCOMPARE(dialog->grid()->currentColumn(), 1);
        QTest::keyClicks(dialog->grid(), QStringLiteral("100"));
        QTest::keyClick(dialog->grid(), Qt::Key_Return);
        QCOMPARE(dialog->grid()->item(1, 1)->text(), QStringLiteral("100,00"));
        QCOMPARE(dialog->differenceEdit()->text(), QStringLiteral("-100,00"));
        QVERIFY(dialog->chooser()->isVisible());
        QTest::keyClicks(chooser, QStringLiteral("30"));
        QTest::keyClick(chooser, Qt::Key_Return);
        QCOMPARE(dialog->grid()->item(2, 0)->text(),
                 QStringLiteral("3000 Konsultointipalvelut 25,5 %"));
        QCOMPARE(dialog->grid()->item(2, 2)->text(), QStringLiteral("100,00"));
        QCOMPARE(dialog->differenceEdit()->text(), QStringLiteral("0,00"));
        TypeText(dialog->descriptionEdit(), QStringLiteral("Käteismyynti"));

        QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
        QVERIFY(m_platform->asked.empty());
        const BookNode* events = m_window->app().index().events();
        const BookNode* event = events->child(events->childCount() - 1);
        QCOMPARE(FromBook(event->text()), QStringLiteral("event 61"));
        QCOMPARE(FromBook(event->child(0)->text()), QStringLiteral("date 2026 1 5"));
        QCOMPARE(FromBook(event->child(1)->text()), QStringLiteral("\"Käteismyynti\""));
        const BookNode* lines = event->child(2);
        QCOMPARE(lines->childCount(), 2);
        QCOMPARE(FromBook(lines->child(0)->text()), QStringLiteral("1900"));
        QCOMPARE(FromBook(lines->child(0)->child(0)->text()), QStringLiteral("money 10000"));
        QCOMPARE(FromBook(lines->child(1)->text()), QStringLiteral("3000"));
        QCOMPARE(FromBook(lines->child(1)->child(0)->text()), QStringLiteral("money -10000"));
        QVERIFY(m_window->app().state().unsavedChanges);

        // Open again for the next voucher, numbered after it and dated as it.
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->numberEdit()->text(), QStringLiteral("62"));
        QCOMPARE(dialog->dateEdit()->text(), QStringLiteral("05.01.2026"));
        QCOMPARE(dialog->descriptionEdit()->text(), QString());
        QCOMPARE(dialog->grid()->rowCount(), 2);
        QTest::mouseClick(dialog->cancelButton(), Qt::LeftButton);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(m_window->app().journal().root()->childCount(), 62);
    }

    // A description the book's code page cannot hold is refused, and nothing is posted.
    void descriptionOutsideTheCodePageIsRefused() {
        m_window->voucherCommand(0);
        VoucherDialog* dialog = m_window->voucherDialog();
        QTest::keyClick(dialog->dateEdit(), Qt::Key_Return);
        QTest::keyClick(dialog->descriptionEdit(), Qt::Key_Return);
        QTest::keyClicks(dialog->chooser()->lineEdit(), QStringLiteral("1910"));
        QTest::keyClick(dialog->chooser()->lineEdit(), Qt::Key_Return);
        QTest::keyClicks(dialog->grid(), QStringLiteral("5"));
        dialog->descriptionEdit()->setText(QStringLiteral("Łódź"));
        m_platform->answers.push_back(Answer::Yes);
        QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
        QCOMPARE(m_platform->shown.size(), size_t(1));
        QVERIFY(QString::fromStdString(m_platform->shown[0]).contains(QStringLiteral("Ł")));
        QVERIFY(dialog->isVisible());
        QCOMPARE(m_window->app().journal().root()->childCount(), 61);
        QVERIFY(!m_window->app().state().unsavedChanges);
    }

    // A double click on a voucher opens it for editing; the journal's menu stays shut
    // while the dialog is open.
    void doubleClickEditsTheVoucher() {
        QTreeView* journal = m_window->treeView(Tab::Journal);
        const QModelIndex third = journal->model()->index(2, 0, journal->model()->index(0, 0));
        journal->setCurrentIndex(third);
        m_window->voucherCommand(2);
        VoucherDialog* dialog = m_window->voucherDialog();
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Muokkaa tositetta"));
        QCOMPARE(dialog->numberEdit()->text(), QStringLiteral("2"));
        QVERIFY(dialog->grid()->rowCount() >= 3);
        QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(m_window->app().journal().root()->childCount(), 61);
    }

    // An account with a VAT class and rate made through the editor, a voucher posted to it,
    // and the account in the ledger and the VAT report.
    void newAccountReachesTheLedgerAndTheVatReport() {
        Application& app = m_window->app();
        m_window->pages()->setCurrentIndex(static_cast<int>(Tab::Chart));
        const BookNode* sales = FindLine(app.chart().tree(), "3000 ");
        QVERIFY(sales);
        QTreeView* chart = m_window->treeView(Tab::Chart);
        chart->setCurrentIndex(m_window->treeModel(Tab::Chart)->indexOf(sales->parent()));
        m_window->chartCommand(1);
        AccountDialog* dialog = m_window->accountDialog();
        QVERIFY(dialog->isVisible());
        QVERIFY(dialog->windowTitle().startsWith(QStringLiteral("Uusi alatili otsikolle ")));
        QTest::keyClicks(dialog->numberField(), QStringLiteral("3090"));
        QTest::keyClicks(dialog->nameField(), QStringLiteral("Testimyynti"));
        dialog->vatClassList()->setCurrentIndex(1);
        QVERIFY(dialog->rateField()->isEnabled());
        QTest::keyClicks(dialog->rateField(), QStringLiteral("25,5"));
        QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
        QVERIFY(!dialog->isVisible());
        QVERIFY(app.state().unsavedChanges);
        const BookNode* line = FindLine(app.chart().tree(), "3090 ");
        QVERIFY(line);
        QCOMPARE(FromBook(line->text()), QStringLiteral("3090 Testimyynti"));
        // The new line stays in sight, selected, after the chart's view is reset.
        QCOMPARE(chart->currentIndex().data().toString(), QStringLiteral("3090 Testimyynti"));
        QCOMPARE(FromBook(line->child(0)->text()), QStringLiteral("Myynti 25,50"));
        QCOMPARE(FromBook(line->reference()->text()),
                 QStringLiteral("account 3090 \"Testimyynti\""));
        QCOMPARE(FromBook(line->reference()->child(1)->text()), QStringLiteral("vat sales 2550"));

        // Posted on the last voucher's date, in the month the ledger and the VAT page offer.
        m_window->pages()->setCurrentIndex(static_cast<int>(Tab::Journal));
        m_window->voucherCommand(0);
        VoucherDialog* voucher = m_window->voucherDialog();
        QTest::keyClick(voucher->dateEdit(), Qt::Key_Return);
        QTest::keyClick(voucher->descriptionEdit(), Qt::Key_Return);
        QTest::keyClicks(voucher->chooser()->lineEdit(), QStringLiteral("1910"));
        QTest::keyClick(voucher->chooser()->lineEdit(), Qt::Key_Return);
        QTest::keyClicks(voucher->grid(), QStringLiteral("125,5"));
        QTest::keyClick(voucher->grid(), Qt::Key_Return);
        QTest::keyClicks(voucher->chooser()->lineEdit(), QStringLiteral("3090"));
        QTest::keyClick(voucher->chooser()->lineEdit(), Qt::Key_Return);
        QCOMPARE(voucher->grid()->item(2, 2)->text(), QStringLiteral("125,50"));
        QTest::mouseClick(voucher->okButton(), Qt::LeftButton);
        QTest::mouseClick(voucher->cancelButton(), Qt::LeftButton);
        QVERIFY(m_platform->shown.empty());

        m_window->pages()->setCurrentIndex(static_cast<int>(Tab::Ledger));
        QTest::mouseClick(m_window->periodBox()->okButton(), Qt::LeftButton);
        QVERIFY(LinesHold(app.ledgerLines(), "3090 Testimyynti"));
        QVERIFY(LinesHold(app.ledgerLines(), "-100,00")); // the tax went to 2931
        m_window->pages()->setCurrentIndex(static_cast<int>(Tab::Vat));
        QTest::mouseClick(m_window->periodBox()->okButton(), Qt::LeftButton);
        QVERIFY(LinesHold(app.vatLines(), " Tili 3090"));
    }

    // With "Alv-erittely" on, a sale typed gross (1910 debit, 3000 credit as proposed) and a
    // purchase typed gross from the keyboard post net and tax lines; the VAT page counts them.
    void grossAmountsSplitIntoNetAndTax() {
        Application& app = m_window->app();
        QVERIFY(m_window->voucherMenu()->actions().last()->isChecked());
        const auto vatPage = [&] {
            m_window->pages()->setCurrentIndex(static_cast<int>(Tab::Vat));
            QTest::mouseClick(m_window->periodBox()->okButton(), Qt::LeftButton);
            m_window->pages()->setCurrentIndex(static_cast<int>(Tab::Journal));
            return std::pair{AmountOf(app.vatLines(), " Tili 2931"),
                             AmountOf(app.vatLines(), " Tili 1763")};
        };
        const auto before = vatPage();
        m_window->voucherCommand(0);
        VoucherDialog* dialog = m_window->voucherDialog();
        QLineEdit* chooser = dialog->chooser()->lineEdit();
        QTest::keyClick(dialog->dateEdit(), Qt::Key_Return);
        QTest::keyClicks(dialog->descriptionEdit(), QStringLiteral("Myynti"));
        QTest::keyClick(dialog->descriptionEdit(), Qt::Key_Return);
        QTest::keyClicks(chooser, QStringLiteral("1910"));
        QTest::keyClick(chooser, Qt::Key_Return);
        QTest::keyClicks(dialog->grid(), QStringLiteral("125,5"));
        QTest::keyClick(dialog->grid(), Qt::Key_Return);
        QTest::keyClicks(chooser, QStringLiteral("3000"));
        QTest::keyClick(chooser, Qt::Key_Return);
        QCOMPARE(dialog->grid()->item(2, 2)->text(), QStringLiteral("125,50"));
        QTest::keyClick(dialog->grid(), Qt::Key_Return);
        QCOMPARE(dialog->grid()->item(2, 2)->text(), QStringLiteral("100,00"));
        QCOMPARE(dialog->grid()->item(3, 0)->text(), QStringLiteral("2931 Myynnin alv 25,5 %"));
        QCOMPARE(dialog->grid()->item(3, 2)->text(), QStringLiteral("25,50"));
        QCOMPARE(dialog->differenceEdit()->text(), QStringLiteral("0,00"));
        QCOMPARE(dialog->statusLabel()->text(), QString());
        // The split lines are ordinary lines: an amount typed over the net stays as typed.
        QTest::mouseClick(dialog->grid()->viewport(), Qt::LeftButton, {},
                          dialog->grid()->visualItemRect(dialog->grid()->item(2, 2)).center());
        QTest::keyClicks(dialog->grid(), QStringLiteral("100"));
        QTest::keyClick(dialog->grid(), Qt::Key_Return);
        QCOMPARE(dialog->grid()->item(2, 2)->text(), QStringLiteral("100,00"));
        QCOMPARE(dialog->grid()->rowCount(), 5);
        QTest::keyClick(chooser, Qt::Key_Return); // on the empty new line: OK

        QTest::keyClick(dialog->dateEdit(), Qt::Key_Return);
        QTest::keyClicks(dialog->descriptionEdit(), QStringLiteral("Osto"));
        QTest::keyClick(dialog->descriptionEdit(), Qt::Key_Return);
        QTest::keyClicks(chooser, QStringLiteral("4000"));
        QTest::keyClick(chooser, Qt::Key_Return);
        QTest::keyClicks(dialog->grid(), QStringLiteral("62,75"));
        QTest::keyClick(dialog->grid(), Qt::Key_Return);
        QTest::keyClicks(chooser, QStringLiteral("1910"));
        QTest::keyClick(chooser, Qt::Key_Return);
        QTest::keyClick(dialog->grid(), Qt::Key_Return);
        QTest::keyClick(chooser, Qt::Key_Return);
        QVERIFY(m_platform->asked.empty());
        QTest::mouseClick(dialog->cancelButton(), Qt::LeftButton);

        const BookNode* events = app.index().events();
        const auto lines = [&](int fromEnd) {
            QStringList texts;
            const BookNode* event = events->child(events->childCount() - fromEnd);
            for (const BookNode* line : event->child(2)->children())
                texts << FromBook(line->text()) + " " + FromBook(line->child(0)->text());
            return texts;
        };
        QCOMPARE(lines(2),
                 (QStringList{"1910 money 12550", "3000 money -10000", "2931 money -2550"}));
        QCOMPARE(lines(1), (QStringList{"4000 money 5000", "1763 money 1275", "1910 money -6275"}));
        const auto after = vatPage();
        QCOMPARE(after.first - before.first, Cents{2550});
        QCOMPARE(after.second - before.second, Cents{1275});

        // Editing the sale never splits again: a new amount on 3000 stays as typed.
        const BookNode* journal = app.journal().root();
        app.editVoucherCommand(journal->child(journal->childCount() - 2));
        VoucherEditor& editor = app.voucherEditor();
        editor.selectCell(2, 2);
        for (const char c : std::string("200"))
            editor.gridType(c);
        editor.gridKey(EditorKey::Enter);
        QCOMPARE(editor.lineCount(), 3);
        QCOMPARE(FromBook(editor.cell(2, 2)), QStringLiteral("200,00"));
        editor.cancel();
    }

    // A chart line dropped on a heading's label moves under it, in the view and in the book.
    void chartLineDroppedOnAHeading() {
        Application& app = m_window->app();
        m_window->pages()->setCurrentIndex(static_cast<int>(Tab::Chart));
        auto* chart = static_cast<BookTreeView*>(m_window->treeView(Tab::Chart));
        BookTreeModel* model = m_window->treeModel(Tab::Chart);
        const BookNode* moved = FindLine(app.chart().tree(), "3010 ");
        const BookNode* target = FindLine(app.chart().tree(), "1900 ")->parent();
        const BookNode* targetNode = target->reference();
        chart->setCurrentIndex(model->indexOf(moved));
        const QModelIndex at = model->indexOf(target);
        chart->scrollTo(at);
        const QRect rect = chart->visualRect(at);
        BookNode* hit = nullptr;
        QCOMPARE(chart->spotAt(rect.center() - QPoint(rect.width() / 2 - 4, 0), &hit),
                 DropSpot::Label);
        QCOMPARE(hit, target);
        QCOMPARE(chart->spotAt(QPoint(rect.left() - 4, rect.center().y()), &hit),
                 DropSpot::ExpandButtonOrIndent);
        chart->dropAt(QPoint(rect.left() + 4, rect.center().y()), DragSource::ChartView);
        const BookNode* line = FindLine(app.chart().tree(), "3010 ");
        QCOMPARE(line->parent(), FindLine(app.chart().tree(), "1900 ")->parent());
        QCOMPARE(line->reference()->parent()->parent(), targetNode);
        QVERIFY(app.state().unsavedChanges);
    }

  private:
};

} // namespace kp

int RunVoucherDialogTests(int argc, char** argv) {
    kp::VoucherDialogTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "VoucherDialogTest.moc"

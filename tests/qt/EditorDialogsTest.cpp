// The account, VAT-texts and VAT rate dialogs offscreen, typed into with key clicks, against
// their controllers and a book.
#include "book/NestedList.h"
#include "book/Win1252.h"
#include "ledger/AccountEditor.h"
#include "period/VatRateChange.h"
#include "qt/AccountDialog.h"
#include "qt/QtText.h"
#include "qt/VatRateDialog.h"
#include "qt/VatTextsDialog.h"
#include "tests/app/ScriptedPlatform.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <memory>

namespace kp {
namespace {

BookTree ParseAccounts(const std::string& assets) {
    BookTree tree;
    ParseNestedList(tree, "(identity (fiscal-year \"Oy Testi Ab\" (date 2020 1 1) (date 2020 12 "
                          "31) (account-map (account -1 \"V A S T A A V A A\" (" +
                              assets +
                              ")) (account -1 \"V A S T A T T A V A A\") (account -1 \"T U L O "
                              "S\")) ()))");
    return tree;
}

// Types the text key by key. A character outside the ASCII keys (ä, €, an emoji) arrives as a
// key event that carries it as its text, as a keyboard layout or an input method sends it.
void Type(QWidget* widget, const QString& text) {
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.unicode() < 0x80) {
            QTest::keyClick(widget, static_cast<char>(c.unicode()));
            continue;
        }
        const int length = c.isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, text.mid(i, length),
                            Qt::NoModifier);
        i += length - 1;
    }
}

void Retype(QLineEdit* field, const QString& text) {
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Delete);
    Type(field, text);
}

// The chart page of one book with the account editor and its dialog, whose OK runs the
// editor's OK as the main window does.
struct AccountPage {
    BookTree book;
    AccountIndex index{true};
    ChartView chart;
    VatTexts texts = DefaultVatTexts();
    AccountEditor editor;
    ScriptedPlatform platform;
    int changes = 0;
    AccountDialog dialog{editor, platform, [this] {
                             ChartEditResult r = editor.ok(book, chart, index, texts);
                             changes += r.bookChanged ? 1 : 0;
                             return r;
                         }};

    explicit AccountPage(const std::string& assets) : book(ParseAccounts(assets)) {
        index.rebuild(book, {}, nullptr, true);
        chart.build(AccountMapNode(FiscalYearNode(book)), texts);
    }
    BookNode* line(std::string_view text) const {
        for (BookNode* n = chart.tree().first(); n; n = chart.tree().next(n))
            if (n->text() == text)
                return n;
        return nullptr;
    }
    void openOn(std::string_view text) {
        editor.openOnLine(line(text), texts);
        dialog.sync(texts);
    }
};

class RecordingPrompts : public PeriodPrompts {
  public:
    bool yes = true;
    std::vector<std::string> asked;
    bool askSaveChanges() override { return true; }
    void show(const std::string& text) override { asked.push_back(text); }
    bool askOkCancel(const std::string& text) override {
        asked.push_back(text);
        return yes;
    }
    bool askYesNo(const std::string& text) override {
        asked.push_back(text);
        return yes;
    }
};

} // namespace

class EditorDialogsTest : public QObject {
    Q_OBJECT

  private slots:
    void accountDialogShowsTheLineAndWritesWhatIsTyped() {
        AccountPage page("(account 4000 \"O\" ())");
        page.openOn("4000 O");
        QVERIFY(page.dialog.isVisible());
        QCOMPARE(page.dialog.windowTitle(), QStringLiteral("Muokataan tiliä"));
        auto* number = page.dialog.findChild<QLineEdit*>(QStringLiteral("TiliNro2"));
        auto* name = page.dialog.findChild<QLineEdit*>(QStringLiteral("TiliNimi2"));
        auto* vat = page.dialog.findChild<QComboBox*>(QStringLiteral("Alv1"));
        auto* rate = page.dialog.findChild<QLineEdit*>(QStringLiteral("AlvPros1"));
        QVERIFY(number && name && vat && rate);
        QCOMPARE(number->text(), QStringLiteral("4000"));
        QCOMPARE(name->text(), QStringLiteral("O"));
        QCOMPARE(vat->count(), 14);
        QCOMPARE(vat->itemText(0), QStringLiteral("-"));
        QCOMPARE(vat->itemText(3), QStringLiteral("Osto"));
        QVERIFY(!rate->isEnabled());
        QCOMPARE(rate->maxLength(), 5);

        Retype(name, QStringLiteral("Ostot €"));
        vat->setCurrentIndex(3);
        QVERIFY(rate->isEnabled());
        Type(rate, QStringLiteral("25,5"));
        QTest::mouseClick(page.dialog.findChild<QPushButton*>(QStringLiteral("Ok4")),
                          Qt::LeftButton);

        QVERIFY(!page.dialog.isVisible());
        QCOMPARE(page.changes, 1);
        const BookNode* account = page.line("4000 Ostot \x80")->reference();
        QVERIFY(account);
        QCOMPARE(std::string(account->text()), std::string("account 4000 \"Ostot \x80\""));
        QCOMPARE(std::string(account->child(1)->text()), std::string("vat purchase 2550"));
        QVERIFY(page.line("Osto 25,50"));
    }

    void noVatClassDisablesAndEmptiesTheRate() {
        AccountPage page("(account 3000 \"M\" () (vat sales 2400))");
        page.openOn("Myynti 24,00");
        auto* vat = page.dialog.findChild<QComboBox*>(QStringLiteral("Alv1"));
        auto* rate = page.dialog.findChild<QLineEdit*>(QStringLiteral("AlvPros1"));
        QCOMPARE(vat->currentIndex(), 1);
        QCOMPARE(rate->text(), QStringLiteral("24,00"));
        QVERIFY(rate->isEnabled());
        vat->setCurrentIndex(2);
        QCOMPARE(rate->text(), QStringLiteral("24,00"));
        vat->setCurrentIndex(0);
        QVERIFY(!rate->isEnabled());
        QCOMPARE(rate->text(), QString());
        QTest::mouseClick(page.dialog.okButton(), Qt::LeftButton);
        const BookNode* account = page.line("3000 M")->reference();
        QCOMPARE(account->childCount(), 1);
        QCOMPARE(page.line("3000 M")->childCount(), 0);
    }

    void charactersTheBookCannotHoldAreRefused_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("offending");
        QTest::newRow("macron") << QStringLiteral("Kassa ā") << QStringLiteral("ā");
        QTest::newRow("emoji") << QStringLiteral("Kassa 😀") << QStringLiteral("😀");
    }
    void charactersTheBookCannotHoldAreRefused() {
        QFETCH(QString, typed);
        QFETCH(QString, offending);
        AccountPage page("(account 1910 \"Kassa\" ())");
        const std::string before = FormatNestedList(page.book);
        page.openOn("1910 Kassa");
        QLineEdit* name = page.dialog.nameField();
        Retype(name, QStringLiteral("Kassa "));
        Type(name, offending);
        QCOMPARE(name->text(), typed);
        QTest::mouseClick(page.dialog.okButton(), Qt::LeftButton);
        QCOMPARE(page.platform.shown,
                 std::vector<std::string>{UnsupportedCharacterMessage(ToUtf8(offending))});
        QCOMPARE(FormatNestedList(page.book), before);
        QCOMPARE(page.changes, 0);
        QVERIFY(page.dialog.isVisible());
        QVERIFY(page.editor.visible());
    }

    // A refusal leaves the box open with the keyboard in the field it is about.
    void refusalsKeepTheBoxAndFocusTheField() {
        const struct {
            const char* number;
            int vatClass; // 1: sales, which needs a rate
            std::string message;
            int field; // 0 number, 1 rate
        } rows[] = {
            {"1910", 0, "Tilinumero 1910 on jo k\xC3\xA4yt\xC3\xB6ss\xC3\xA4", 0},
            {"19A0", 0, std::string(kNumberNotDigits), 0},
            {"1930", 1, std::string(kRateNeeded), 1},
        };
        for (const auto& row : rows) {
            AccountPage page("(account 1910 \"Kassa\" ()) (account 1920 \"Pankki\" ())");
            page.openOn("1920 Pankki");
            page.dialog.vatClassList()->setCurrentIndex(row.vatClass);
            Retype(page.dialog.numberField(), QString::fromLatin1(row.number));
            page.dialog.nameField()->setFocus();
            QTest::mouseClick(page.dialog.okButton(), Qt::LeftButton);
            QCOMPARE(page.platform.shown, std::vector<std::string>{row.message});
            QVERIFY(page.dialog.isVisible());
            QCOMPARE(page.changes, 0);
            QLineEdit* field = row.field == 0 ? page.dialog.numberField() : page.dialog.rateField();
            QTRY_VERIFY(field->hasFocus());
        }
    }

    void newSubAccountAndCancel() {
        AccountPage page("");
        page.editor.openNewSubAccount(page.line("V A S T A A V A A"));
        page.dialog.sync(page.texts);
        QCOMPARE(page.dialog.windowTitle(),
                 QStringLiteral("Uusi alatili otsikolle V A S T A A V A A"));
        QCOMPARE(page.dialog.nameField()->text(), QString());
        Type(page.dialog.numberField(), QStringLiteral("1910"));
        Type(page.dialog.nameField(), QStringLiteral("Käteisvarat"));
        QTest::keyClick(page.dialog.nameField(), Qt::Key_Return); // the default button
        QVERIFY(page.line("1910 K\xE4teisvarat"));

        const std::string before = FormatNestedList(page.book);
        page.openOn("1910 K\xE4teisvarat");
        Retype(page.dialog.nameField(), QStringLiteral("Muu"));
        QTest::mouseClick(page.dialog.cancelButton(), Qt::LeftButton);
        QVERIFY(!page.dialog.isVisible());
        QVERIFY(!page.editor.visible());
        QCOMPARE(FormatNestedList(page.book), before);
    }

    void vatTextsDialogEditsTheTexts() {
        VatTextSet texts;
        VatTextsBox box;
        ScriptedPlatform platform;
        int written = 0;
        VatTextsDialog dialog(box, platform, [&] {
            VatBoxOk r = box.ok(texts);
            written += r.applied ? 1 : 0;
            return r;
        });
        box.open(texts);
        dialog.sync();
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Muokkaa"));
        QTableWidget* grid = dialog.grid();
        QCOMPARE(grid->rowCount(), 15);
        QCOMPARE(grid->columnCount(), 3);
        QCOMPARE(grid->item(0, 0)->text(), QStringLiteral("Alv-koodi"));
        QCOMPARE(grid->item(1, 0)->text(), QStringLiteral("sales"));
        QCOMPARE(grid->item(0, 1)->text(), QStringLiteral("Pudotusvalikossa"));
        QCOMPARE(grid->item(0, 2)->text(), QStringLiteral("Alv-laskelmassa"));
        QCOMPARE(grid->item(3, 2)->text(), QStringLiteral("Osto"));
        QVERIFY(!(grid->item(1, 0)->flags() & Qt::ItemIsEditable));
        QVERIFY(!(grid->item(14, 1)->flags() & Qt::ItemIsEditable));
        QVERIFY(grid->item(1, 1)->flags() & Qt::ItemIsEditable);
        auto* fixedName = dialog.findChild<QLineEdit*>(QStringLiteral("VahVero1"));
        QVERIFY(fixedName->isReadOnly());
        QCOMPARE(fixedName->text(), QStringLiteral("Vähennettävä vero"));

        grid->item(1, 2)->setText(QStringLiteral("Myynti 24 % €"));
        Retype(dialog.payableCaption(), QStringLiteral("Maksettava alv"));
        QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
        QCOMPARE(written, 1);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(texts.report[1], std::string("Myynti 24 % \x80"));
        QCOMPARE(texts.payableCaption, std::string("Maksettava alv"));
        QCOMPARE(texts.dropDown[1], std::string("Myynti"));
        QVERIFY(platform.shown.empty());
    }

    void vatTextsDialogKeepsTheTextsOnARefusal() {
        VatTextSet texts;
        const VatTextSet before = texts;
        VatTextsBox box;
        ScriptedPlatform platform;
        VatTextsDialog dialog(box, platform, [&] { return box.ok(texts); });
        box.open(texts);
        dialog.sync();
        Retype(dialog.deductibleCaption(), QStringLiteral("Vähennettävä ā"));
        QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
        QCOMPARE(platform.shown, std::vector<std::string>{UnsupportedCharacterMessage("ā")});
        QVERIFY(dialog.isVisible());
        // A drop-down text that would read as another class is the box's own refusal.
        Retype(dialog.deductibleCaption(), QStringLiteral("Vähennettävä"));
        dialog.grid()->item(11, 1)->setText(QStringLiteral("Myynti"));
        QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
        QCOMPARE(platform.shown.size(), size_t(2));
        QVERIFY(dialog.isVisible());
        QVERIFY(texts == before);
        QTest::mouseClick(dialog.cancelButton(), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QVERIFY(!box.visible());
    }

    void vatRateDialogTypesRatesRowByRowAndApplies() {
        BookTree book = ParseAccounts(
            "(account 3000 \"Myynti 24%\" () (vat sales 2400)) (account 4000 \"Osto\" () (vat "
            "purchase 2400)) (account 3010 \"Ruoka\" () (vat credit 1400))");
        VatRatePanel panel;
        RecordingPrompts prompts;
        bool changed = false;
        VatRateDialog dialog(panel, [&] { changed = panel.ok(book, prompts).bookChanged; });
        QVERIFY(panel.open(book));
        dialog.sync();
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Alv-% muutos"));
        QTableWidget* grid = dialog.grid();
        QCOMPARE(grid->horizontalHeaderItem(0)->text(), QStringLiteral("Nyk.%"));
        QCOMPARE(grid->horizontalHeaderItem(1)->text(), QStringLiteral("Uusi %"));
        QCOMPARE(grid->rowCount(), 2);
        QCOMPARE(grid->item(0, 0)->text(), QStringLiteral("24,00"));
        QCOMPARE(grid->item(1, 0)->text(), QStringLiteral("14,00"));

        QLineEdit* first = dialog.newRateField(0);
        QLineEdit* second = dialog.newRateField(1);
        Type(first, QStringLiteral("25.5"));
        QTest::keyClick(first, Qt::Key_Return);
        QCOMPARE(panel.currentRow(), 1);
        QCOMPARE(first->text(), QStringLiteral("25,50"));
        Type(second, QStringLiteral("x"));
        QTest::keyClick(second, Qt::Key_Return);
        QCOMPARE(second->text(), QString());

        QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
        QCOMPARE(prompts.asked, std::vector<std::string>{"Muutetaanko alv-prosentit?"});
        QVERIFY(changed);
        QVERIFY(!dialog.isVisible());
        const BookNode* assets = AccountMapNode(FiscalYearNode(book))->child(0)->child(0);
        QCOMPARE(std::string(assets->child(0)->text()),
                 std::string("account 3000 \"Myynti 25,5%\""));
        QCOMPARE(std::string(assets->child(0)->child(1)->text()), std::string("vat sales 2550"));
        QCOMPARE(std::string(assets->child(1)->child(1)->text()), std::string("vat purchase 2550"));
        QCOMPARE(std::string(assets->child(2)->child(1)->text()), std::string("vat credit 1400"));
    }

    void vatRateDialogStaysOnNoAndCancels() {
        BookTree book = ParseAccounts("(account 3000 \"M\" () (vat sales 2400))");
        VatRatePanel panel;
        RecordingPrompts prompts;
        prompts.yes = false;
        VatRateDialog dialog(panel, [&] { panel.ok(book, prompts); });
        QVERIFY(panel.open(book));
        dialog.sync();
        Type(dialog.newRateField(0), QStringLiteral("0"));
        QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.newRateField(0)->text(), QStringLiteral("0,00"));
        QTest::mouseClick(dialog.cancelButton(), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QVERIFY(!panel.visible());
        QCOMPARE(std::string(AccountMapNode(FiscalYearNode(book))
                                 ->child(0)
                                 ->child(0)
                                 ->child(0)
                                 ->child(1)
                                 ->text()),
                 std::string("vat sales 2400"));
    }
};

} // namespace kp

int RunEditorDialogsTests(int argc, char** argv) {
    kp::EditorDialogsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "EditorDialogsTest.moc"

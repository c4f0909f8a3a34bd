// The voucher editor driven key by key, as the dialog's widgets forward them.
#include "ledger/VoucherEditor.h"

#include "../book/TreeShape.h"
#include "TestBooks.h"

#include <gtest/gtest.h>

namespace kp {
namespace {

using test::Account;
using test::Line;
using test::ParseBook;
using test::TopHeadings;
using test::Voucher;

std::string Sub(const BookNode* node) {
    std::string out;
    test::AppendShape(node, 0, out);
    return out;
}

class VoucherEditorTest : public testing::Test {
  protected:
    void load(const std::string& events) {
        book = ParseBook(TopHeadings(Account(1910, "Kassa") + Account(1920, "Pankki") +
                                         Account(2250, "@Tilikauden tulos"),
                                     Account(3000, "Myynti") + Account(3010, "Muu myynti") +
                                         Account(4000, "Ostot")),
                         events);
        index.rebuild(book, {}, &periods, true);
        journal.build({index, index.events(), &periods});
    }

    // Every character typed where the focus is, as one keystroke each.
    void type(std::string_view keys) {
        for (const char c : keys) {
            switch (editor.focus()) {
            case EditorFocus::Date:
                if (c == '\r')
                    editor.dateEnter();
                else
                    editor.date().type(c);
                break;
            case EditorFocus::Description:
                if (c == '\r')
                    editor.descriptionEnter();
                else
                    editor.setDescription(editor.description() + c);
                break;
            case EditorFocus::Chooser:
                editor.chooserType(c);
                break;
            case EditorFocus::Grid:
                if (c == '\r')
                    editor.gridKey(EditorKey::Enter);
                else
                    editor.gridType(c);
                break;
            default:
                FAIL() << "no field takes keys";
            }
        }
    }

    VoucherOk ok(bool confirm = true) {
        return editor.ok(
            [&](const std::string& text) {
                questions.push_back(text);
                return confirm;
            },
            [&](const std::string& text) { errors.push_back(text); });
    }

    std::string eventsText() const { return Sub(index.events()); }

    BookTree book;
    PeriodState periods;
    AccountIndex index{true};
    JournalView journal;
    Cents result = 0;
    VoucherEditor editor{{&book, &journal, &index, &periods, [this] { return result; }}};
    std::vector<std::string> questions;
    std::vector<std::string> errors;
};

TEST_F(VoucherEditorTest, WalkThroughPostsTheVoucherAndReopensForTheNext) {
    load(Voucher(7, "2020 1 2", "Alku", Line("1910", 500) + Line("3000", -500)));
    editor.newVoucher(false, nullptr);
    EXPECT_EQ(editor.caption(), "Uusi tosite");
    EXPECT_EQ(editor.number(), "8");
    EXPECT_EQ(editor.date().text(), "02.01.2020");
    EXPECT_FALSE(editor.numberEditable());

    type("05012020");
    EXPECT_EQ(editor.date().text(), "05.01.2020");
    type("\rMyynti\r19");
    EXPECT_EQ(editor.description(), "Myynti");
    EXPECT_EQ(editor.chooserText(), "1910 Kassa");
    EXPECT_EQ(editor.chooserSelectionStart(), 2);
    EXPECT_EQ(editor.chooserSelectionLength(), 8);
    type("\r");
    EXPECT_EQ(editor.currentColumn(), 1);
    EXPECT_EQ(editor.cell(1, 1), "");
    type("100\r");
    EXPECT_EQ(editor.cell(1, 1), "100,00");
    EXPECT_EQ(editor.differenceText(), "-100,00");
    EXPECT_TRUE(editor.chooserVisible());
    EXPECT_EQ(editor.chooserRow(), 2);
    type("30\r");
    EXPECT_EQ(editor.cell(0, 2), "3000 Myynti");
    EXPECT_EQ(editor.cell(2, 2), "100,00");
    EXPECT_EQ(editor.differenceText(), "0,00");
    EXPECT_EQ(editor.lineCount(), 2);

    EXPECT_EQ(ok(), VoucherOk::Posted);
    EXPECT_TRUE(questions.empty());
    const BookNode* events = index.events();
    EXPECT_EQ(Sub(events->child(1)),
              "event 8|.date 2020 1 5|.\"Myynti\"|.|..1910|...money 10000|..3000|...money -10000|");
    EXPECT_EQ(journal.root()->child(1)->text(), "[8] 05.01.2020: 100,00 - Myynti");
    EXPECT_TRUE(editor.visible());
    EXPECT_EQ(editor.number(), "9");
    EXPECT_EQ(editor.date().text(), "05.01.2020");
    EXPECT_EQ(editor.lineCount(), 0);
}

// The keys that close the box: what was typed first, then the key.
TEST_F(VoucherEditorTest, EnterAndEscapeOfTheBox) {
    struct Row {
        const char* name;
        const char* typed; // from the date field of a new voucher
        EditorKey key;
        bool control;
        BoxKey expected;
    };
    const Row rows[] = {
        {"Enter in the date moves on", "", EditorKey::Enter, false, BoxKey::Field},
        {"Ctrl+Enter in the date is OK", "", EditorKey::Enter, true, BoxKey::Ok},
        {"Enter in the description moves on", "\r", EditorKey::Enter, false, BoxKey::Field},
        {"Enter on the first, empty account cell", "\r\r", EditorKey::Enter, false, BoxKey::Field},
        {"Enter after a balanced voucher is OK", "\r\r19\r100\r30\r\r", EditorKey::Enter, false,
         BoxKey::Ok},
        {"not while it is unbalanced", "\r\r19\r100\r", EditorKey::Enter, false, BoxKey::Field},
        {"not with an account typed", "\r\r19\r100\r30\r\r40", EditorKey::Enter, false,
         BoxKey::Field},
        {"Esc in the date is Peruuta", "", EditorKey::Escape, false, BoxKey::Cancel},
        {"Esc first undoes a typed amount", "\r\r19\r1", EditorKey::Escape, false, BoxKey::Field},
        {"Esc first undoes a typed account", "\r\r19", EditorKey::Escape, false, BoxKey::Field},
        {"Esc on an untouched account cell", "\r\r19\r100\r", EditorKey::Escape, false,
         BoxKey::Cancel},
    };
    for (const Row& row : rows) {
        load(Voucher(1, "2020 1 2", "A", Line("1910", 500) + Line("3000", -500)));
        editor.newVoucher(false, nullptr);
        type(row.typed);
        EXPECT_EQ(editor.boxKey(row.key, row.control), row.expected) << row.name;
    }

    // Peruuta asks only when lines have been entered or changed; No keeps the box open.
    load(Voucher(1, "2020 1 2", "A", Line("1910", 500) + Line("3000", -500)));
    const auto cancel = [&](bool answer) {
        return editor.cancelCommand([&](const std::string& text) {
            questions.push_back(text);
            return answer;
        });
    };
    editor.newVoucher(false, nullptr);
    type("\rKuitti");
    EXPECT_TRUE(cancel(false));
    EXPECT_TRUE(questions.empty());
    editor.newVoucher(false, nullptr);
    type("\r\r19\r5");
    EXPECT_FALSE(cancel(false));
    EXPECT_TRUE(editor.visible());
    EXPECT_EQ(questions, std::vector<std::string>{"Hyl\xE4t\xE4\xE4nk\xF6 tositteen muutokset?"});
    EXPECT_TRUE(cancel(true));
    EXPECT_FALSE(editor.visible());
    editor.editVoucher(journal.root()->child(0));
    EXPECT_TRUE(cancel(false)); // opened and left as it was
    EXPECT_EQ(questions.size(), 2u);
    EXPECT_EQ(index.events()->childCount(), 1);
}

TEST_F(VoucherEditorTest, AmountCellsTakeDigitsAndCommaOnlyAndEmptyTheOtherColumn) {
    load(Voucher(1, "2020 1 2", "A", Line("1910", 5000) + Line("3000", -5000)));
    journal.makeAllLines();
    editor.editVoucher(journal.root()->child(0)->child(1)); // a line stands for its voucher
    EXPECT_EQ(editor.caption(), "Muokkaa tositetta");
    EXPECT_EQ(editor.description(), "A");
    EXPECT_EQ(editor.cell(0, 1), "1910 Kassa");
    EXPECT_EQ(editor.cell(1, 1), "50,00");
    EXPECT_EQ(editor.cell(2, 2), "50,00");
    EXPECT_TRUE(editor.numberEditable()); // a journal of one voucher

    editor.selectCell(2, 1);
    for (const char c : std::string("-a x"))
        EXPECT_FALSE(editor.gridType(c)) << c;
    EXPECT_EQ(editor.cell(1, 1), "50,00");
    EXPECT_TRUE(editor.gridType('7'));
    EXPECT_EQ(editor.cell(1, 1), "");
    EXPECT_TRUE(editor.gridType(','));
    EXPECT_TRUE(editor.gridType('5'));
    EXPECT_EQ(editor.cell(2, 1), "7,5");
    editor.selectCell(1, 1);
    EXPECT_EQ(editor.cell(2, 1), "7,50");
    EXPECT_EQ(editor.differenceText(), "57,50");

    // The new-line row and the rows below take no amounts.
    editor.selectCell(1, 3);
    EXPECT_FALSE(editor.gridType('1'));
    EXPECT_EQ(editor.cell(1, 3), "");
}

TEST_F(VoucherEditorTest, EscapeRestoresTheAmountTheCellHeldOnEntry) {
    load(Voucher(1, "2020 1 2", "A", Line("1910", 5000) + Line("3000", 0)));
    editor.editVoucher(journal.root()->child(0));
    editor.selectCell(1, 1);
    editor.gridType('7');
    editor.gridKey(EditorKey::Escape);
    EXPECT_EQ(editor.cell(1, 1), "50,00");
    editor.selectCell(2, 2); // empty on entry: Esc cannot make it empty again
    editor.gridType('7');
    editor.gridKey(EditorKey::Escape);
    EXPECT_EQ(editor.cell(2, 2), "7");
}

TEST_F(VoucherEditorTest, UnbalancedOkAsksAndCancelKeepsEverything) {
    load("");
    editor.newVoucher(false, nullptr);
    EXPECT_TRUE(editor.numberEditable());
    type("\r\r19\r112,5\r30\r");
    editor.selectCell(2, 2);
    editor.gridType('1');
    editor.gridType('0');
    editor.gridType('0');
    EXPECT_EQ(ok(false), VoucherOk::StayOpen);
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0], "Summien ero -12,50\r Hyv\xE4ksyt\xE4\xE4nk\xF6?");
    EXPECT_TRUE(editor.visible());
    EXPECT_EQ(editor.cell(2, 2), "100,00");
    EXPECT_EQ(index.events()->childCount(), 0);

    EXPECT_EQ(ok(true), VoucherOk::Posted);
    EXPECT_EQ(journal.root()->child(0)->text(), "[0] 00.00.0000: 112,50 < V I R H E ");
}

TEST_F(VoucherEditorTest, AmountsBeyondOneLineAreRefusedOnAnyLine) {
    const struct {
        const char* name;
        const char* keys;
        int rowAfter; // the line at fault
    } rows[] = {
        {"first of two lines", "\r\r19\r21474836,48\r30\r", 1},
        {"last line", "\r\r19\r1\r30\r21474836,48\r", 2},
        {"only line", "\r\r19\r21474836,48\r", 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        load("");
        errors.clear();
        editor.newVoucher(false, nullptr);
        type(row.keys);
        EXPECT_EQ(ok(), VoucherOk::StayOpen);
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_EQ(errors[0], "Summa 21474836,48 on liian suuri: yhden rivin summa voi olla "
                             "enint\xE4\xE4n 21474836,47.");
        EXPECT_EQ(index.events()->childCount(), 0);
        EXPECT_EQ(editor.currentRow(), row.rowAfter);
        editor.cancel();
    }
}

TEST_F(VoucherEditorTest, EditingKeepsTheEventInPlace) {
    std::string events;
    for (int i = 1; i <= 9; ++i)
        events += Voucher(i, "2020 2 1", "T" + std::to_string(i),
                          Line("1910", 100 * i) + Line("3000", -100 * i));
    load(events);
    editor.editVoucher(journal.root()->child(6));
    EXPECT_EQ(editor.number(), "7");
    EXPECT_FALSE(editor.numberEditable());
    editor.setDescription("Muutettu");
    EXPECT_EQ(ok(), VoucherOk::Posted);
    EXPECT_FALSE(editor.visible());
    EXPECT_EQ(Sub(index.events()->child(6)),
              "event 7|.date 2020 2 1|.\"Muutettu\"|.|..1910|...money 700|..3000|...money -700|");
    EXPECT_EQ(journal.root()->child(6)->text(), "[7] 01.02.2020: 7,00 - Muutettu");
    EXPECT_EQ(journal.root()->childCount(), 9);
}

TEST_F(VoucherEditorTest, NextNumberFollowsTheLastVoucherNotTheHighest) {
    load(Voucher(8, "2020 2 1", "", Line("1910", 1) + Line("3000", -1)) +
         Voucher(10, "2020 2 3", "", Line("1910", 1) + Line("3000", -1)) +
         Voucher(9, "2020 2 2", "", Line("1910", 1) + Line("3000", -1)));
    editor.newVoucher(false, nullptr);
    EXPECT_EQ(editor.number(), "10");
    EXPECT_EQ(editor.date().text(), "02.02.2020");
}

TEST_F(VoucherEditorTest, CopyMakesANewVoucherAndLeavesTheOriginal) {
    std::string events;
    for (int i = 1; i <= 20; ++i)
        events +=
            Voucher(i, "2020 3 1", "T" + std::to_string(i), Line("1910", i) + Line("3000", -i));
    load(events);
    const std::string third = Sub(index.events()->child(2));
    editor.newVoucher(true, journal.root()->child(2));
    EXPECT_EQ(editor.number(), "21");
    EXPECT_EQ(editor.caption(), "Muokkaa tositetta");
    EXPECT_EQ(ok(), VoucherOk::Posted);
    EXPECT_EQ(Sub(index.events()->child(20)),
              "event 21|.date 2020 3 1|.\"T3\"|.|..1910|...money 3|..3000|...money -3|");
    EXPECT_EQ(Sub(index.events()->child(2)), third);
    EXPECT_EQ(editor.number(), "22"); // reopened for the next one
}

TEST_F(VoucherEditorTest, JournalRootSelectedStartsANewVoucher) {
    load(Voucher(3, "2020 3 1", "A", Line("1910", 1) + Line("3000", -1)));
    const std::string before = eventsText();
    for (const bool copy : {false, true}) {
        if (copy)
            editor.newVoucher(true, journal.root());
        else
            editor.editVoucher(journal.root());
        EXPECT_EQ(editor.caption(), "Uusi tosite");
        EXPECT_EQ(editor.number(), "4");
        EXPECT_EQ(editor.editedEvent(), nullptr);
        EXPECT_EQ(ok(), VoucherOk::Closed);
        EXPECT_EQ(eventsText(), before);
    }
}

TEST_F(VoucherEditorTest, RowMenu) {
    load(Voucher(1, "2020 1 2", "", Line("1910", 100) + Line("1920", 200) + Line("3000", -300)));
    editor.editVoucher(journal.root()->child(0));
    ASSERT_EQ(editor.lineCount(), 3);
    const auto accounts = [&] {
        std::string s;
        for (int r = 1; r < editor.rowCount(); ++r)
            s += "[" + editor.cell(0, r) + "]";
        return s;
    };
    ASSERT_TRUE(editor.rowMenuAt(1));
    editor.rowUp(); // the first line cannot go up
    EXPECT_EQ(accounts(), "[1910 Kassa][1920 Pankki][3000 Myynti][]");
    editor.rowMenuAt(3);
    editor.rowDown(); // nor the last one down
    editor.rowMenuAt(4);
    editor.rowUp(); // nor the new-line row
    EXPECT_EQ(accounts(), "[1910 Kassa][1920 Pankki][3000 Myynti][]");

    editor.rowMenuAt(2);
    editor.insertRow();
    EXPECT_EQ(accounts(), "[1910 Kassa][][1920 Pankki][3000 Myynti][]");
    EXPECT_EQ(editor.lineCount(), 4);
    editor.rowMenuAt(3);
    editor.rowUp();
    EXPECT_EQ(accounts(), "[1910 Kassa][1920 Pankki][][3000 Myynti][]");
    editor.rowMenuAt(1);
    editor.deleteRow();
    EXPECT_EQ(accounts(), "[1920 Pankki][][3000 Myynti][]");
    EXPECT_EQ(editor.differenceText(), "1,00");

    // An unfilled inserted line posts with empty text and money 0.
    EXPECT_EQ(ok(), VoucherOk::Posted);
    EXPECT_EQ(Sub(index.events()->child(0)->child(2)),
              "|.1920|..money 200|.|..money 0|.3000|..money -300|");
}

TEST_F(VoucherEditorTest, ChooserSearchesNumbersOrNamesAndBackspaceGivesUpOneCharacter) {
    load("");
    editor.newVoucher(false, nullptr);
    editor.dateEnter();
    editor.descriptionEnter();
    type("Ka");
    EXPECT_EQ(editor.chooserText(), "Kassa 1910");
    EXPECT_EQ(editor.chooserSelectionStart(), 2);
    type("x"); // no name goes on so: the typed character joins the proposed tail
    EXPECT_EQ(editor.chooserText(), "Kax");
    EXPECT_EQ(editor.chooserSelectionStart(), 2);
    editor.chooserType('\b');
    EXPECT_EQ(editor.chooserText(), "Kassa 1910");
    EXPECT_EQ(editor.chooserSelectionStart(), 1);
    type("\r");
    EXPECT_EQ(editor.cell(0, 1), "1910 Kassa"); // resolved through the number at its end

    editor.selectCell(0, 2);
    type("3");
    EXPECT_EQ(editor.chooserText(), "3000 Myynti");
    editor.chooserKey(EditorKey::Right);
    EXPECT_EQ(editor.chooserSelectionStart(), 2);
    const std::vector<std::string> items = editor.dropDownItems();
    EXPECT_EQ(items, (std::vector<std::string>{"3000 Myynti", "3010 Muu myynti"}));
    editor.chooserKey(EditorKey::Escape);
    EXPECT_EQ(editor.chooserText(), "");
}

TEST_F(VoucherEditorTest, ClearingTheChooserDeletesTheLine) {
    load(Voucher(1, "2020 1 2", "", Line("1910", 100) + Line("1920", 200) + Line("3000", -300)));
    editor.editVoucher(journal.root()->child(0));
    editor.selectCell(0, 2);
    editor.setChooserText("");
    editor.chooserExit();
    EXPECT_EQ(editor.lineCount(), 2);
    EXPECT_EQ(editor.cell(0, 2), "3000 Myynti");
}

TEST_F(VoucherEditorTest, ResultAccountProposesTheNegatedPeriodResult) {
    load("");
    result = 12345;
    editor.newVoucher(false, nullptr);
    type("\r\r2250\r");
    EXPECT_EQ(editor.cell(0, 1), "2250 @Tilikauden tulos");
    EXPECT_EQ(editor.currentColumn(), 2);
    EXPECT_EQ(editor.cell(2, 1), "123,45");
}

TEST_F(VoucherEditorTest, UnknownAccountOfALoadedLineKeepsItsNumber) {
    load(Voucher(1, "2020 1 2", "", Line("5555", 100) + Line("3000", -100)));
    editor.editVoucher(journal.root()->child(0));
    EXPECT_EQ(editor.cell(0, 1), "5555 ???");
    editor.descriptionEnter();
    editor.selectCell(1, 1);
    EXPECT_EQ(editor.cell(0, 1), "5555 ???");
    EXPECT_EQ(ok(), VoucherOk::Posted);
    EXPECT_EQ(Sub(index.events()->child(0)->child(2)), "|.5555|..money 100|.3000|..money -100|");
}

} // namespace
} // namespace kp

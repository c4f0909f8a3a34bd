// Journal view: voucher and line texts, and the commands that delete, renumber and move vouchers.
#include "ledger/JournalView.h"

#include "TestBooks.h"

#include <gtest/gtest.h>

namespace kp {
namespace {

using namespace kp::test;
using Texts = std::vector<std::string>;

const std::string kChart = TopHeadings(Account(1910, "Kassa") + Account(100, "Pankki") +
                                           Account(1000, "Rahasto") + "(account 0910 \"Vanha\" ())",
                                       Account(2000, "Velka"));

// A book with its index and journal, built as the journal page builds them.
struct Journal {
    BookTree book;
    AccountIndex index{true};
    PeriodState periods;
    JournalView view;

    explicit Journal(const std::string& events) : book(ParseBook(kChart, events)) {
        index.rebuild(book, {}, &periods, true);
        view.build(source());
    }
    JournalSource source() { return {index, index.events(), &periods}; }

    // Voucher texts, each with its line texts below it indented by two blanks, the lines made
    // as the window makes them when a voucher is opened.
    Texts texts() {
        Texts out;
        for (const BookNode* voucher : view.root()->children()) {
            view.makeLines(voucher);
            out.emplace_back(view.shownText(voucher));
            for (const BookNode* line : voucher->children())
                out.push_back("  " + std::string(line->text()));
        }
        return out;
    }
    Texts eventTexts() const {
        Texts out;
        for (const BookNode* event : index.events()->children())
            out.emplace_back(event->text());
        return out;
    }
};

std::string Plain(int number, const char* description) {
    return Voucher(number, "2020 1 " + std::to_string(number), description, "");
}

TEST(JournalView, EmptyEventsContainerGivesTheRootOnlyAndNoContainerNothing) {
    Journal j("");
    EXPECT_EQ(j.view.root()->text(), "P\xC4IV\xC4KIRJA");
    EXPECT_EQ(j.view.tree().count(), 1u);
    j.view.build({j.index, nullptr, nullptr});
    EXPECT_TRUE(j.view.tree().empty());
}

struct VoucherCase {
    const char* name;
    std::string event;
    Texts expected;
};
class VoucherTexts : public testing::TestWithParam<VoucherCase> {};

TEST_P(VoucherTexts, ShowNumberDateDebitTotalMarkAndDescription) {
    Journal j(GetParam().event);
    EXPECT_EQ(j.texts(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VoucherTexts,
    testing::Values(
        VoucherCase{
            "Balanced",
            Voucher(12, "2020 1 5", "Ostot", Line("1910", 10000) + Line("2000", -10000)),
            {"[12] 05.01.2020: 100,00 - Ostot", "  100,00: 1910 Kassa", "  -100,00: 2000 Velka"}},
        VoucherCase{"CreditLineMissing",
                    Voucher(12, "2020 1 5", "Ostot", Line("1910", 10000)),
                    {"[12] 05.01.2020: 100,00 < V I R H E  - Ostot", "  100,00: 1910 Kassa"}},
        VoucherCase{"OnlyCredits",
                    Voucher(3, "2020 2 1", "H", Line("1910", -5000) + Line("2000", -2500)),
                    {"[3] 01.02.2020: 0,00 < V I R H E  - H", "  -50,00: 1910 Kassa",
                     "  -25,00: 2000 Velka"}},
        VoucherCase{"TwoDebitsOneCredit",
                    Voucher(4, "2020 2 2", "J",
                            Line("1910", 3000) + Line("1910", 7000) + Line("2000", -10000)),
                    {"[4] 02.02.2020: 100,00 - J", "  30,00: 1910 Kassa", "  70,00: 1910 Kassa",
                     "  -100,00: 2000 Velka"}},
        VoucherCase{"NoDescription",
                    "(event 5 (date 2020 3 1) (" + Line("1910", 100) + "))",
                    {"[5] 01.03.2020: 1,00 < V I R H E ", "  1,00: 1910 Kassa"}},
        VoucherCase{"NoDateChildStillShowsTheDescription",
                    "(event 6 (memo) \"Ilman\" (" + Line("1910", 0) + "))",
                    {"[6] ??.??.????: 0,00 - Ilman", "  0,00: 1910 Kassa"}},
        VoucherCase{
            "MoneyIsTheFirstMoneyChildOrZero",
            Voucher(7, "2020 4 1", "M", "(1910 (note 5) (money 250)) (2000)"),
            {"[7] 01.04.2020: 2,50 < V I R H E  - M", "  2,50: 1910 Kassa", "  0,00: 2000 Velka"}},
        VoucherCase{"AccountsByExactNumber",
                    Voucher(9, "2020 5 2", "T",
                            Line("100", 1) + Line("1000", 2) + Line("0910", 3) + Line("910", 4) +
                                Line("19100000000000000000", -10)),
                    {"[9] 02.05.2020: 0,10 - T", "  0,01: 100 Pankki", "  0,02: 1000 Rahasto",
                     "  0,03: 0910 Vanha", "  0,04: 910 ???", "  -0,10: 19100000000000000000 ???"}},
        VoucherCase{"TotalsBeyondOneLinesRange",
                    Voucher(10, "2020 6 1", "Iso",
                            Line("1910", 2147483647) + Line("1910", 2147483647) +
                                Line("2000", -2147483647) + Line("2000", -2147483647)),
                    {"[10] 01.06.2020: 42949672,94 - Iso", "  21474836,47: 1910 Kassa",
                     "  21474836,47: 1910 Kassa", "  -21474836,47: 2000 Velka",
                     "  -21474836,47: 2000 Velka"}},
        VoucherCase{
            "NotVouchers", "(event 3 (date 2020 1 3)) (tosite 4 (date 2020 1 4) \"X\" ())", {}}),
    CaseName<VoucherCase>);

TEST(JournalView, RefreshingAVoucherNodeReplacesItsTextAndLinesInPlace) {
    Journal j(Voucher(1, "2020 1 1", "Eka", Line("1910", 100)) + Plain(2, "Toka"));
    BookNode* event = j.index.events()->child(0);
    j.book.removeChildren(event->child(2));
    j.book.addLast(j.book.addLast(event->child(2), "2000"), "money -300");
    BookNode* node = j.view.root()->child(0);
    EXPECT_EQ(j.view.buildVoucherNode(event, node, j.source()), node);
    EXPECT_EQ(node->reference(), event);
    EXPECT_EQ(j.texts(), (Texts{"[1] 01.01.2020: 0,00 < V I R H E  - Eka", "  -3,00: 2000 Velka",
                                "[2] 02.01.2020: 0,00 - Toka"}));
}

TEST(JournalView, DeleteLastRemovesTheLastVoucherNodeAndItsEvent) {
    // The trailing event without lines has no voucher node and so is not the one deleted.
    Journal j(Plain(1, "Eka") + Plain(2, "Toka") + "(event 3 (date 2020 1 3))");
    const JournalChange change = j.view.deleteLastVoucher(j.book, j.source());
    EXPECT_TRUE(change.bookChanged);
    EXPECT_FALSE(change.viewRebuilt);
    EXPECT_EQ(j.eventTexts(), (Texts{"event 1", "event 3"}));
    EXPECT_EQ(j.texts(), (Texts{"[1] 01.01.2020: 0,00 - Eka"}));
}

TEST(JournalView, DeleteLastFollowsNoReferenceOutsideTheEventsContainer) {
    Journal j(Plain(1, "Eka"));
    j.book.moveToLastChild(j.index.events()->child(0), j.book.first());
    EXPECT_FALSE(j.view.deleteLastVoucher(j.book, j.source()).bookChanged);
    EXPECT_EQ(j.book.first()->childCount(), 2);
    EXPECT_FALSE(j.view.deleteLastVoucher(j.book, j.source()).bookChanged); // now empty
}

TEST(JournalView, RenumberingCountsOnFromTheFirstVoucher) {
    Journal j(Plain(5, "A") + Plain(9, "B") + "(note)" + Plain(9, "C") + Plain(2, "D"));
    const JournalChange change = j.view.renumberVouchers(j.book, j.source());
    EXPECT_TRUE(change.bookChanged);
    EXPECT_TRUE(change.viewRebuilt);
    EXPECT_EQ(j.eventTexts(), (Texts{"event 5", "event 6", "note", "event 7", "event 8"}));
    EXPECT_EQ(j.texts()[3], "[8] 02.01.2020: 0,00 - D");
    EXPECT_FALSE(j.view.renumberVouchers(j.book, j.source()).bookChanged);
}

TEST(JournalView, RenumberingStopsWhenTheFirstChildIsNoVoucher) {
    Journal j("(note) " + Plain(4, "A") + Plain(4, "B"));
    EXPECT_FALSE(j.view.renumberVouchers(j.book, j.source()).bookChanged);
    EXPECT_EQ(j.eventTexts(), (Texts{"note", "event 4", "event 4"}));
}

TEST(JournalView, TextsAndLinesAreMadeWhenFirstNeededOnce) {
    Journal j(Voucher(1, "2020 1 1", "A", Line("1910", 1) + Line("2000", -1)) + Plain(2, "B") +
              Plain(3, "C"));
    const BookNode* first = j.view.root()->child(0);
    const BookNode* plain = j.view.root()->child(1);
    const BookNode* last = j.view.root()->child(2);
    EXPECT_EQ(j.view.tree().count(), 4u); // the root and the vouchers
    EXPECT_TRUE(j.view.linesPending(first));
    EXPECT_FALSE(j.view.linesPending(plain)); // no lines to make
    EXPECT_FALSE(j.view.linesPending(j.view.root()));
    for (const BookNode* voucher : {first, plain, last})
        EXPECT_TRUE(j.view.textPending(voucher) && voucher->text().empty());
    EXPECT_FALSE(j.view.textPending(j.view.root()));
    // Shown, a text is made for the moment; made, it is the node's.
    EXPECT_EQ(j.view.shownText(last), "[3] 03.01.2020: 0,00 - C");
    EXPECT_TRUE(j.view.textPending(last));
    j.view.makeText(last);
    EXPECT_EQ(last->text(), "[3] 03.01.2020: 0,00 - C");
    j.view.makeLines(first); // with its text
    j.view.makeLines(first);
    EXPECT_FALSE(j.view.linesPending(first) || j.view.textPending(first));
    EXPECT_TRUE(j.view.textPending(plain));
    EXPECT_EQ(j.texts(),
              (Texts{"[1] 01.01.2020: 0,01 - A", "  0,01: 1910 Kassa", "  -0,01: 2000 Velka",
                     "[2] 02.01.2020: 0,00 - B", "[3] 03.01.2020: 0,00 - C"}));
    EXPECT_EQ(j.view.tree().count(), 6u);
    // The page shows the same in every state, and as the book gives it.
    std::vector<std::pair<std::string, std::size_t>> shown;
    std::vector<std::pair<std::string, std::size_t>> fromBook;
    j.view.forEachShownVoucher([&](std::string_view text, std::span<const JournalEntry> lines) {
        shown.emplace_back(text, lines.size());
    });
    JournalView().forEachVoucher(j.source(),
                                 [&](std::string_view text, std::span<const JournalEntry> lines) {
                                     fromBook.emplace_back(text, lines.size());
                                 });
    EXPECT_EQ(shown, fromBook);
    j.view.makeAllLines();
    EXPECT_FALSE(j.view.textPending(plain));
}

struct MoveCase {
    const char* name;
    const char* dragged; // path of view child indexes from the root; "" the root, "x" none
    const char* target;
    const char* expectedOrder;
};
class MoveVoucher : public testing::TestWithParam<MoveCase> {};

TEST_P(MoveVoucher, MovesTheEventBeforeTheTargetsEvent) {
    Journal j(Voucher(1, "2020 1 1", "A", Line("1910", 1)) + Plain(2, "B") +
              Voucher(3, "2020 1 3", "C", Line("1910", 3) + Line("2000", -3)));
    Journal other(Plain(1, "A") + Plain(2, "B"));
    j.view.makeAllLines();
    other.view.makeAllLines();
    auto pick = [&](std::string_view path) -> const BookNode* {
        const BookNode* node = path.starts_with("o") ? other.view.root() : j.view.root();
        for (char step : path)
            node = step == 'x' ? nullptr : step == 'o' ? node : node->child(step - '0');
        return node;
    };
    const JournalChange change =
        j.view.moveVoucher(j.book, pick(GetParam().dragged), pick(GetParam().target), j.source());
    std::string order;
    for (const std::string& text : j.eventTexts())
        order += text.back();
    EXPECT_EQ(order, GetParam().expectedOrder);
    EXPECT_EQ(change.bookChanged, order != "123");
    EXPECT_EQ(j.texts().front().substr(0, 3), "[" + order.substr(0, 1) + "]");
}

INSTANTIATE_TEST_SUITE_P(Cases, MoveVoucher,
                         testing::Values(MoveCase{"LastOntoFirst", "2", "0", "312"},
                                         MoveCase{"OntoALineOfTheTarget", "2", "00", "312"},
                                         MoveCase{"ALineStandsForItsVoucher", "21", "0", "312"},
                                         MoveCase{"FirstOntoLast", "0", "2", "213"},
                                         MoveCase{"OntoTheNextOne", "0", "1", "123"},
                                         MoveCase{"OntoItself", "2", "20", "123"},
                                         MoveCase{"TheRoot", "", "0", "123"},
                                         MoveCase{"OntoTheRoot", "2", "", "123"},
                                         MoveCase{"NothingDragged", "x", "0", "123"},
                                         MoveCase{"FromAnotherView", "o1", "0", "123"}),
                         CaseName<MoveCase>);

} // namespace
} // namespace kp

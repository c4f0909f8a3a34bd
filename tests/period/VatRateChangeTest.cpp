// The VAT rate panel: listing the rates, checking typed rates, rewriting nodes and names.
#include "period/VatRateChange.h"

#include "book/BookQueries.h"
#include "book/NestedList.h"
#include "tests/period/ScriptedPrompts.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kp {
namespace {

std::string Account(int number, const std::string& name, const std::string& vat) {
    return "(account " + std::to_string(number) + " \"" + name + "\" () (" + vat + "))";
}

BookTree BookWith(const std::string& accounts) {
    BookTree tree;
    ParseNestedList(tree, "(identity (fiscal-year \"Oy\" (date 2024 1 1) (date 2024 12 31) "
                          "(account-map (account -1 \"V A S T A A V A A\" (" +
                              accounts +
                              ")) (account -1 \"V A S T A T T A V A A\") "
                              "(account -1 \"T U L O S\")) ()))");
    return tree;
}

BookNode* AccountNode(const BookTree& book, int number) {
    std::vector<BookNode*> found;
    CollectByPrefix(book.first(), "account " + std::to_string(number) + " ", found);
    return found.at(0);
}

// The account's text and its VAT node's text.
std::string Texts(const BookTree& book, int number) {
    const BookNode* account = AccountNode(book, number);
    return std::string(account->text()) + " | " + std::string(account->child(1)->text());
}

// "current/new/node count" of each row.
std::vector<std::string> Rows(const VatRatePanel& panel) {
    std::vector<std::string> rows;
    for (const auto& row : panel.rows())
        rows.push_back(row.currentRate + "/" + row.newRate + "/" +
                       std::to_string(row.nodes.size()));
    return rows;
}

const std::string kChart =
    Account(3000, "Myynti 24%", "vat sales 2400") + Account(3010, "Myynti", "vat sales 2400") +
    Account(4000, "Ostot 24 %", "vat purchase 2400") +
    Account(2932, "Myynnin alv 14 %", "vat credit 1400") +
    Account(1763, "Ostojen alv", "vat debit") + Account(2936, "EU alv", "vat eusdebit") +
    Account(3300, "Palvelut", "vat sales") + Account(3400, "Veroton 0 %", "vat sales 0");

TEST(RateTexts, ShowTwoDecimalsAndTheShortFormDropsTrailingZeros) {
    const std::tuple<std::int64_t, const char*, const char*> cases[] = {
        {2400, "24,00", "24"}, {2550, "25,50", "25,5"}, {50, "0,50", "0,5"},
        {0, "0,00", "0"},      {1000, "10,00", "10"},   {10000, "100,00", "100"}};
    for (const auto& [rate, text, shortText] : cases) {
        EXPECT_EQ(RateText(rate), text);
        EXPECT_EQ(ShortRateText(text), shortText);
    }
}

struct NameCase {
    const char* name;
    const char* text;
    const char* oldRate;
    const char* newRate;
    const char* expected;
};

class RateInName : public testing::TestWithParam<NameCase> {};

TEST_P(RateInName, ChangesOnlyWhereTheOldRateStandsAsTheRate) {
    const NameCase& c = GetParam();
    EXPECT_EQ(ReplaceRateInName(c.text, c.oldRate, c.newRate), c.expected);
}

const NameCase kNameCases[] = {
    {"BlankBeforePercent", "account 3000 \"Myynti 24 %\"", "24", "25,5",
     "account 3000 \"Myynti 25,5 %\""},
    {"NoRateInName", "account 3000 \"Myynti\"", "24", "25,5", "account 3000 \"Myynti\""},
    {"RateTwiceChangesBoth", "account 3000 \"Myynti 24 % / 24 %\"", "24", "25,5",
     "account 3000 \"Myynti 25,5 % / 25,5 %\""},
    {"YearBeforeTheRate", "account 3000 \"Myynti 2024 24 %\"", "24", "25,5",
     "account 3000 \"Myynti 2024 25,5 %\""},
    {"TailOfALongerRate", "account 3000 \"Myynti 124 %\"", "24", "25,5",
     "account 3000 \"Myynti 124 %\""},
    {"DecimalsOfAnotherRate", "account 3000 \"Myynti 25,5 %\"", "5", "10",
     "account 3000 \"Myynti 25,5 %\""},
    {"AccountNumberHoldsTheDigits", "account 24 \"Myynti 24 %\"", "24", "25,5",
     "account 24 \"Myynti 25,5 %\""},
    {"ZeroInsideTen", "account 3000 \"Myynti 10 %\"", "0", "14", "account 3000 \"Myynti 10 %\""},
    {"HeadingHasNoNumber", "account -1 \"Alv 24 %\"", "24", "25,5", "account -1 \"Alv 24 %\""},
    {"QuoteInNameKept", "account 3000 \"Myynti \\\"A\\\" 24 %\"", "24", "25,5",
     "account 3000 \"Myynti \\\"A\\\" 25,5 %\""},
};

INSTANTIATE_TEST_SUITE_P(VatRatePanel, RateInName, testing::ValuesIn(kNameCases),
                         [](const testing::TestParamInfo<NameCase>& row) -> std::string {
                             return row.param.name;
                         });

TEST(VatRatePanel, ListsEachRateOfTheRatedClassesOnce) {
    BookTree book = BookWith(kChart);
    VatRatePanel panel;
    ASSERT_TRUE(panel.open(book));
    EXPECT_TRUE(panel.visible());
    EXPECT_EQ(Rows(panel), (std::vector<std::string>{"24,00//3", "14,00//1", "0,00//1"}));
    panel.open(book); // again without closing: the same nodes are not listed twice
    EXPECT_EQ(Rows(panel), (std::vector<std::string>{"24,00//3", "14,00//1", "0,00//1"}));

    BookTree noChart;
    EXPECT_FALSE(VatRatePanel().open(noChart));
}

TEST(VatRatePanel, WithoutRatesOpensOneEmptyRowAndMuutaDoesNothing) {
    BookTree book = BookWith(Account(1763, "Ostojen alv", "vat debit"));
    VatRatePanel panel;
    ASSERT_TRUE(panel.open(book));
    EXPECT_EQ(Rows(panel), (std::vector<std::string>{"//0"}));
    test::ScriptedPrompts prompts;
    EXPECT_FALSE(panel.ok(book, prompts).closed);
    EXPECT_TRUE(prompts.asked.empty());
}

struct TypedCase {
    const char* name;
    const char* typed;
    const char* shown;
};

class TypedRate : public testing::TestWithParam<TypedCase> {};

TEST_P(TypedRate, IsCheckedWhenTheCellIsLeft) {
    BookTree book = BookWith(kChart);
    VatRatePanel panel;
    panel.open(book);
    panel.editNewRate(GetParam().typed);
    panel.selectCell(1, 1);
    EXPECT_EQ(panel.rows()[0].newRate, GetParam().shown);
}

const TypedCase kTypedCases[] = {
    {"PointDecimals", "25.5", "25,50"},
    {"CommaDecimals", "25,5", "25,50"},
    {"Zero", "0", "0,00"},
    {"Letter", "x", ""},
    {"Negative", "-5", ""},
    {"RoundedUp", "25,555", "25,56"},
};

INSTANTIATE_TEST_SUITE_P(VatRatePanel, TypedRate, testing::ValuesIn(kTypedCases),
                         [](const testing::TestParamInfo<TypedCase>& row) -> std::string {
                             return row.param.name;
                         });

TEST(VatRatePanel, EnterMovesDownAndChecksTheLastRowInPlace) {
    BookTree book = BookWith(kChart);
    VatRatePanel panel;
    panel.open(book);
    panel.selectCell(1, 1);
    panel.editNewRate("13.5");
    panel.enter();
    EXPECT_EQ(panel.currentRow(), 2);
    EXPECT_EQ(panel.rows()[1].newRate, "13,50");
    panel.editNewRate("10");
    panel.enter();
    EXPECT_EQ(panel.currentRow(), 2);
    EXPECT_EQ(panel.rows()[2].newRate, "10,00");
}

TEST(VatRatePanel, MuutaRewritesRatesAndNamesOfTheRowsWithANewRate) {
    BookTree book = BookWith(kChart);
    VatRatePanel panel;
    panel.open(book);
    panel.editNewRate("25.5"); // left unchecked: Muuta checks it first
    panel.selectCell(2, 1);    // the 14,00 row keeps an empty cell
    panel.editNewRate("0");
    test::ScriptedPrompts prompts;
    prompts.answers = {true};
    const VatRateOutcome outcome = panel.ok(book, prompts);
    EXPECT_EQ(prompts.asked, (std::vector<std::string>{"Muutetaanko alv-prosentit?"}));
    EXPECT_TRUE(outcome.closed);
    EXPECT_TRUE(outcome.bookChanged);
    EXPECT_EQ(Texts(book, 3000), "account 3000 \"Myynti 25,5%\" | vat sales 2550");
    EXPECT_EQ(Texts(book, 3010), "account 3010 \"Myynti\" | vat sales 2550");
    EXPECT_EQ(Texts(book, 4000), "account 4000 \"Ostot 25,5 %\" | vat purchase 2550");
    EXPECT_EQ(Texts(book, 2932), "account 2932 \"Myynnin alv 14 %\" | vat credit 1400");
    EXPECT_EQ(Texts(book, 3400), "account 3400 \"Veroton 0 %\" | vat sales 0");
    EXPECT_EQ(Texts(book, 1763), "account 1763 \"Ostojen alv\" | vat debit");
    EXPECT_EQ(Texts(book, 3300), "account 3300 \"Palvelut\" | vat sales");
    EXPECT_FALSE(panel.visible());
    EXPECT_EQ(Rows(panel), (std::vector<std::string>{"//0"}));
}

TEST(VatRatePanel, NoKeepsThePanelItsInputAndTheBook) {
    BookTree book = BookWith(kChart);
    const std::string before = FormatNestedList(book);
    VatRatePanel panel;
    panel.open(book);
    panel.editNewRate("25,5");
    test::ScriptedPrompts prompts;
    prompts.answers = {false};
    EXPECT_FALSE(panel.ok(book, prompts).closed);
    EXPECT_TRUE(panel.visible());
    EXPECT_EQ(panel.rows()[0].newRate, "25,50");
    EXPECT_EQ(FormatNestedList(book), before);
}

TEST(VatRatePanel, AppliesTheRateNotTheUncheckedCellToNames) {
    BookTree book = BookWith(Account(3000, "Myynti 10 %", "vat sales 1000"));
    VatRatePanel panel;
    panel.open(book);
    panel.editNewRate("110");
    panel.open(book); // opening again forgets the edited row: the cell stays unchecked
    test::ScriptedPrompts prompts;
    prompts.answers = {true};
    panel.ok(book, prompts);
    EXPECT_EQ(Texts(book, 3000), "account 3000 \"Myynti 110 %\" | vat sales 11000");
}

TEST(VatRatePanel, AccountDeletedWhileOpenIsSkipped) {
    BookTree book = BookWith(kChart);
    VatRatePanel panel;
    panel.open(book);
    panel.editNewRate("25,5");
    book.remove(AccountNode(book, 3000));
    test::ScriptedPrompts prompts;
    prompts.answers = {true};
    EXPECT_TRUE(panel.ok(book, prompts).bookChanged);
    EXPECT_EQ(Texts(book, 3010), "account 3010 \"Myynti\" | vat sales 2550");
}

} // namespace
} // namespace kp

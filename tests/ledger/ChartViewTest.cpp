// Chart view: line texts, VAT lines, references, VAT class lookup and the printout lines.
#include "ledger/ChartView.h"

#include "TestBooks.h"

#include <gtest/gtest.h>

namespace kp {
namespace {

using namespace kp::test;
using Texts = std::vector<std::string>;

struct Chart {
    BookTree book;
    BookNode* accountMap = nullptr;
    ChartView view;

    explicit Chart(const std::string& items, const VatTexts& texts = DefaultVatTexts())
        : book(ParseBook(items, "")) {
        accountMap = AccountMapNode(FiscalYearNode(book));
        view.build(accountMap, texts);
    }
    // The lines under the assets heading, indented by two blanks per level below it.
    Texts assetLines() const {
        const ReportLines lines = ChartMapLines(view);
        Texts out;
        for (auto it = lines.begin() + 2; it < lines.end() - 2; ++it)
            out.emplace_back((*it).substr(4));
        return out;
    }
};

TEST(ChartView, NewBookShowsTheRootAndTheThreeTopHeadings) {
    Chart c(TopHeadings());
    EXPECT_EQ(ChartMapLines(c.view), (ReportLines{"TILIKARTTA", "  V A S T A A V A A",
                                                  "  V A S T A T T A V A A", "  T U L O S"}));
    EXPECT_EQ(c.view.root()->reference(), c.accountMap);
    EXPECT_EQ(c.view.root()->child(2)->reference(), c.accountMap->child(2));
    c.view.build(nullptr, DefaultVatTexts());
    EXPECT_TRUE(c.view.tree().empty());
}

struct LineCase {
    const char* name;
    std::string account;
    Texts expected;
};
class ChartLines : public testing::TestWithParam<LineCase> {};

TEST_P(ChartLines, ShowNumberNameAndVatLine) {
    EXPECT_EQ(Chart(TopHeadings(GetParam().account)).assetLines(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ChartLines,
    testing::Values(
        LineCase{
            "SalesWithRate", Account(3000, "M", "vat sales 2400"), {"3000 M", "  Myynti 24,00"}},
        LineCase{"HalfPercent", Account(3000, "M", "vat sales 2550"), {"3000 M", "  Myynti 25,50"}},
        LineCase{
            "RateClassWithoutRate", Account(2939, "A", "vat credit"), {"2939 A", "  Myynnin alv"}},
        LineCase{"ZeroRate", Account(4000, "O", "vat purchase 0"), {"4000 O", "  Osto 0,00"}},
        LineCase{"NoRateAboveClassThree",
                 Account(3010, "R", "vat bsales 2400"),
                 {"3010 R", "  Myynti rakent.palvelu"}},
        LineCase{"UnknownCode", Account(3020, "U", "vat unknown 2400"), {"3020 U"}},
        LineCase{"NoCode", Account(3030, "T", "vat"), {"3030 T"}},
        LineCase{"SecondChildNotVat", Account(3040, "S", "note sales"), {"3040 S"}},
        LineCase{"LeadingZeroIsDropped", "(account 0910 \"Vanha\" ())", {"910 Vanha"}},
        LineCase{"HeadingShowsItsNameOnly",
                 "(account 0 \"Otsikko\" (" + Account(1920, "P") + ") (vat sales 1))",
                 {"Otsikko", "  1920 P"}},
        LineCase{"VatLineBeforeSubAccounts",
                 Account(1900, "R", "vat debit", Account(1910, "K")),
                 {"1900 R", "  Ostojen alv", "  1910 K"}}),
    CaseName<LineCase>);

TEST(ChartView, LinesReferToAccountNodesAndVatLinesToNothing) {
    VatTexts texts = DefaultVatTexts();
    texts[1] = "Kotimaan myynti";
    Chart c(TopHeadings(Account(3000, "M", "vat sales 1400")), texts);
    const BookNode* line = c.view.root()->child(0)->child(0);
    EXPECT_EQ(line->reference(), c.accountMap->child(0)->child(0)->child(0));
    EXPECT_EQ(line->child(0)->reference(), nullptr);
    EXPECT_EQ(line->child(0)->text(), "Kotimaan myynti 14,00");
}

TEST(ChartView, SettingALineAgainRenewsTheVatLineAndKeepsSubAccounts) {
    Chart c(TopHeadings(Account(1900, "Rahat", "vat debit", Account(1910, "Kassa"))));
    BookNode* account = c.accountMap->child(0)->child(0)->child(0);
    BookNode* line = c.view.root()->child(0)->child(0);
    c.book.setText(account, "account 1901 \"Uudet\"");
    c.book.setText(account->child(1), "vat sales 2400");
    c.view.setChartLine(account, line, DefaultVatTexts());
    EXPECT_EQ(c.assetLines(), (Texts{"1901 Uudet", "  Myynti 24,00", "  1910 Kassa"}));
    c.book.remove(account->child(1));
    c.view.setChartLine(account, line, DefaultVatTexts());
    EXPECT_EQ(c.assetLines(), (Texts{"1901 Uudet", "  1910 Kassa"}));
    c.book.setText(account, "account 0 \"Otsikko\"");
    c.book.addLast(account, "vat sales 2400");
    c.view.setChartLine(account, line, DefaultVatTexts());
    EXPECT_EQ(c.assetLines(), (Texts{"Otsikko", "  1910 Kassa"}));
}

struct ClassCase {
    const char* name;
    const char* text;
    int expected;
};
class VatClassOfText : public testing::TestWithParam<ClassCase> {};

TEST_P(VatClassOfText, FindsTheClassByItsText) {
    EXPECT_EQ(FindVatClass(GetParam().text, DefaultVatTexts()), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VatClassOfText,
    testing::Values(ClassCase{"VatLineWithRate", "Myynti 24,00", 1},
                    ClassCase{"ShortItemFirst", "Osto 0,00", 3},
                    ClassCase{"LongItemWithSameStart", "Myynti rakent.palvelu", 11},
                    ClassCase{"StartOfAnItem", "EU-osto", 7}, ClassCase{"DashIsNoClass", "-", 0},
                    ClassCase{"CaseCounts", "myynti", 0}, ClassCase{"DigitsOnly", "24,00", 0}),
    CaseName<ClassCase>);

TEST(FindVatClass, AnExactItemWinsAndCodesFindTheirClasses) {
    VatTexts texts = DefaultVatTexts();
    texts[11] = "Myyn";
    EXPECT_EQ(FindVatClass("Myyn", texts), 11);
    EXPECT_EQ(FindVatClass("Myy", texts), 1);
    for (int k = 1; k < kVatClassCount; ++k)
        EXPECT_EQ(FindVatClassOfCode(kVatCodes[static_cast<size_t>(k)].code), k);
    EXPECT_EQ(FindVatClassOfCode("SALES"), 0);
}

TEST(ChartView, ListLinesAreTheAccountListInItsOrder) {
    BookTree book = ParseBook(TopHeadings(Account(1910, "Kassa") + Account(100, "Pankki")), "");
    AccountIndex index(true);
    index.rebuild(book, {}, nullptr, true);
    EXPECT_EQ(AccountListLines(index), (ReportLines{"100 Pankki", "1910 Kassa"}));
}

} // namespace
} // namespace kp

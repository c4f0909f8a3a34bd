// The VAT calculation page and the VAT-texts box.
#include "reports/VatReport.h"

#include "ReportTestBooks.h"

#include <gtest/gtest.h>

namespace kp {
namespace {

using test::Acc;
using test::Event;

// An account with its group node and a VAT node ("vat sales 2400").
std::string VatAcc(int number, const std::string& name, const std::string& vat) {
    return "(account " + std::to_string(number) + " \"" + name + "\" () (" + vat + "))";
}

const std::string kChart = test::Chart(
    VatAcc(1763, "Alv-saamiset", "vat debit") + Acc(1910, "Kassa"),
    VatAcc(2939, "Alv-velka 24", "vat credit 2400") +
        VatAcc(2940, "Alv-velka 14", "vat credit 1400") + VatAcc(2945, "EU-alv", "vat eugdebit"),
    VatAcc(3000, "Myynti 24", "vat sales 2400") + VatAcc(3010, "Myynti 14", "vat SALES 1400") +
        VatAcc(3020, "Myynti 0", "vat sales") + VatAcc(3030, "Muu", "vat other 2400") +
        VatAcc(4000, "Ostot", "vat purchase 2400") + VatAcc(4100, "EU-ostot", "vat eugpurchase"));

ReportLines Vat(const std::string& events, const ChosenPeriod& period = {},
                const VatTextSet& texts = {}) {
    const test::IndexedBook book(test::Book(kChart, events));
    ReportLines lines = {"old"};
    BuildVatReport(book.index, period, "Koko kausi", texts, lines);
    return lines;
}

TEST(VatReport, WholePage) {
    const std::string events =
        Event(1, "2024 1 15", "Myynti", {{1910, 124000}, {3000, -100000}, {2939, -24000}}) +
        Event(2, "2024 2 3", "Osto", {{4000, 50000}, {1763, 12000}, {1910, -62000}}) +
        Event(3, "2024 3 10", "EU-osto",
              {{4100, 20000}, {2945, -4800}, {1763, 4800}, {1910, -20000}});
    EXPECT_EQ(Vat(events), (ReportLines{"Oy Testi Ab 01.01.2024 - 31.12.2024",
                                        "Alv-laskelma Koko kausi ",
                                        "",
                                        "",
                                        " Tili 2939\t240,00",
                                        "Myynnin alv 24%\t240,00",
                                        "",
                                        " Tili 2945\t48,00",
                                        "EU-oston alv tavara\t48,00",
                                        "",
                                        "EU-oston alv palvelu\t0,00",
                                        "",
                                        "Ostojen alv rak.palvelu\t0,00",
                                        "",
                                        " Tili 1763\t168,00",
                                        "V\xE4hennett\xE4v\xE4 vero \t168,00",
                                        "",
                                        "",
                                        "Maksettava vero \t120,00",
                                        "",
                                        "",
                                        " Tili 3000\t1000,00",
                                        "Myynti 24%\t1000,00",
                                        "",
                                        "EU-myynti tavara\t0,00",
                                        "",
                                        "EU-myynti palvelu\t0,00",
                                        "",
                                        " Tili 4100\t200,00",
                                        "EU-osto tavara\t200,00",
                                        "",
                                        "EU-osto palvelu\t0,00",
                                        "",
                                        "Myynti rakent.palvelu\t0,00",
                                        "",
                                        "Osto rakent.palvelu\t0,00",
                                        "",
                                        "\t ========"}));
}

// True when the expected lines appear in the page in this order.
::testing::AssertionResult InOrder(const ReportLines& lines,
                                   const std::vector<std::string>& expected) {
    size_t next = 0;
    for (std::string_view line : lines)
        if (next < expected.size() && line == expected[next])
            ++next;
    if (next == expected.size())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "missing \"" << expected[next] << "\"";
}

struct VatCase {
    std::string name;
    std::string events;
    ChosenPeriod period;
    std::vector<std::string> shown;  // in this order
    std::vector<std::string> absent; // nowhere on the page

    friend void PrintTo(const VatCase& c, std::ostream* os) { *os << c.name; }
};

class VatEdgeCase : public ::testing::TestWithParam<VatCase> {};

TEST_P(VatEdgeCase, Lines) {
    const VatCase& c = GetParam();
    const ReportLines lines = Vat(c.events, c.period);
    EXPECT_TRUE(InOrder(lines, c.shown)) << ::testing::PrintToString(lines);
    for (const std::string& line : c.absent)
        EXPECT_FALSE(InOrder(lines, {line})) << line;
}

const std::string kSales24 = Event(1, "2024 4 2", "A", {{1910, 100000}, {3000, -100000}});
const std::string kSales14 = Event(2, "2024 4 3", "B", {{1910, 50000}, {3010, -50000}});

INSTANTIATE_TEST_SUITE_P(
    VatReport, VatEdgeCase,
    ::testing::Values(
        // The rate lines follow the account list (3000 before 3010), not the journal.
        VatCase{"TwoSalesRates",
                kSales14 + kSales24,
                {},
                {" Tili 3000\t1000,00", " Tili 3010\t500,00", "Myynti 24%\t1000,00", "",
                 "Myynti 14%\t500,00", ""},
                {}},
        VatCase{"ClassOneWithoutRate",
                Event(1, "2024 4 2", "A", {{1910, 30000}, {3020, -30000}}),
                {},
                {" Tili 3020\t300,00", "Myynti 0\t300,00"},
                {}},
        VatCase{"OpeningVoucherLeftOut",
                Event(0, "2024 1 1", "Avaus", {{1910, 500000}, {2939, -500000}}) +
                    Event(1, "2024 2 1", "Myynti", {{1910, 24000}, {2939, -24000}}),
                {},
                {" Tili 2939\t240,00", "Myynnin alv 24%\t240,00"},
                {}},
        VatCase{"ZeroSumKeepsRateLine",
                kSales24 + Event(2, "2024 7 3", "B", {{1910, 50000}, {3010, -50000}}),
                {kFirstQuarter + 1, false, 0},
                {" Tili 3000\t1000,00", "Myynti 24%\t1000,00", "Myynti 14%\t0,00"},
                {" Tili 3010\t0,00"}},
        VatCase{"DeductibleAndPayable",
                Event(1, "2024 5 2", "A", {{1910, 124000}, {3000, -100000}, {2939, -24000}}) +
                    Event(2, "2024 5 3", "B", {{4000, 40000}, {1763, 10000}, {1910, -50000}}),
                {},
                {" Tili 1763\t100,00", "V\xE4hennett\xE4v\xE4 vero \t100,00", "", "",
                 "Maksettava vero \t140,00", "", ""},
                {}},
        VatCase{"Quarter",
                Event(1, "2024 3 31", "Maalis", {{1910, 1000}, {3000, -1000}}) +
                    Event(2, "2024 4 1", "Huhti", {{1910, 2000}, {3000, -2000}}) +
                    Event(3, "2024 6 30", "Kesa", {{1910, 4000}, {3000, -4000}}) +
                    Event(4, "2024 7 1", "Heina", {{1910, 8000}, {3000, -8000}}),
                {kFirstQuarter + 1, false, 0},
                {" Tili 3000\t60,00", "Myynti 24%\t60,00"},
                {}},
        VatCase{"OneMonth",
                kSales24 + Event(2, "2024 5 3", "B", {{1910, 50000}, {3000, -50000}}),
                {5, false, 0},
                {" Tili 3000\t500,00"},
                {" Tili 3000\t1500,00"}},
        // The code is compared ignoring case; an unknown code leaves the account out.
        VatCase{"CodeCaseAndUnknownCode",
                kSales14 + Event(3, "2024 4 4", "C", {{1910, 700}, {3030, -700}}),
                {},
                {" Tili 3010\t500,00", "Myynti 14%\t500,00"},
                {" Tili 3030\t7,00"}},
        VatCase{"TotalsDoNotWrapAround",
                Event(1, "2024 4 2", "A", {{1910, 2000000000}, {3000, -2000000000}}) +
                    Event(2, "2024 4 3", "B", {{1910, 2000000000}, {3000, -2000000000}}),
                {},
                {" Tili 3000\t40000000,00", "Myynti 24%\t40000000,00"},
                {}}),
    test::CaseName<VatCase>);

TEST(VatReport, UsesTheUsersTexts) {
    VatTextSet texts;
    texts.report[1] = "Kotimaan myynti";
    texts.report[9] = "Yhteis\xF6hankinnat";
    texts.deductibleCaption = "V\xE4hennys";
    texts.payableCaption = "Maksuun";
    texts.dropDown[1] = "ei n\xE4y sivulla";
    const ReportLines lines = Vat(kSales24, {}, texts);
    EXPECT_TRUE(InOrder(lines, {"Yhteis\xF6hankinnat\t0,00", "V\xE4hennys \t0,00", "Maksuun \t0,00",
                                "Kotimaan myynti 24%\t1000,00"}));
}

TEST(VatReport, WithoutBookOnlyFixedLines) {
    const test::IndexedBook book("(identity (account-map))");
    ReportLines lines;
    BuildVatReport(book.index, {}, "Koko kausi", {}, lines);
    ASSERT_EQ(lines.size(), 26u);
    EXPECT_EQ(lines[0], "");
    EXPECT_EQ(lines[1], "EU-oston alv tavara\t0,00");
    EXPECT_EQ(lines[7], "V\xE4hennett\xE4v\xE4 vero \t0,00");
    EXPECT_EQ(lines.back(), "\t ========");
}

struct RateCase {
    std::string name;
    std::string rate;
    std::string shown;

    friend void PrintTo(const RateCase& c, std::ostream* os) { *os << c.name; }
};

class VatRate : public ::testing::TestWithParam<RateCase> {};

TEST_P(VatRate, Text) {
    EXPECT_EQ(VatRateText(GetParam().rate), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    VatReport, VatRate,
    ::testing::Values(RateCase{"Whole", "2400", "24%"}, RateCase{"OneDecimal", "2550", "25,5%"},
                      RateCase{"TwoDecimals", "1234", "12,34%"},
                      RateCase{"TenPercent", "1000", "10%"}, RateCase{"OnePercent", "100", "1%"},
                      RateCase{"SmallWithDecimals", "105", "1,05%"}, RateCase{"NoRate", "0", "0"},
                      RateCase{"TwoCharacters", "50", "50"}, RateCase{"CaptionLine", "", ""}),
    test::CaseName<RateCase>);

TEST(VatReport, PrepareEmptiesPageAndOpensChooser) {
    PeriodState periods;
    PeriodChooser chooser(periods);
    ReportLines lines = {"old"};
    PrepareVatPage(chooser, lines);
    EXPECT_EQ(lines, ReportLines{});
    EXPECT_TRUE(chooser.visible());
    EXPECT_EQ(chooser.request().caption, "Alv-laskelma");
    EXPECT_EQ(chooser.request().left, 400);
}

// --- VAT-texts box ---------------------------------------------------------------------

TEST(VatTextsBox, OpenFillsGridAndCaptions) {
    VatTextSet texts;
    texts.dropDown[2] = "Alv myynnist\xE4";
    texts.report[13] = "Rakennusalv";
    texts.payableCaption = "Maksuun";
    VatTextsBox box;
    box.open(texts);
    EXPECT_TRUE(box.visible());
    EXPECT_EQ(box.cell(0, 0), "Alv-koodi");
    EXPECT_EQ(box.cell(1, 0), "Pudotusvalikossa");
    EXPECT_EQ(box.cell(2, 0), "Alv-laskelmassa");
    EXPECT_EQ(box.cell(0, 1), "sales");
    EXPECT_EQ(box.cell(0, 13), "bdebit");
    EXPECT_EQ(box.cell(0, 14), "");
    EXPECT_EQ(box.cell(1, 2), "Alv myynnist\xE4");
    EXPECT_EQ(box.cell(2, 13), "Rakennusalv");
    EXPECT_EQ(box.cell(3, 1), "");
    EXPECT_EQ(box.deductibleCaption(), "V\xE4hennett\xE4v\xE4 vero");
    EXPECT_EQ(box.payableCaption(), "Maksuun");
    EXPECT_FALSE(box.setCell(0, 1, "x"));
    EXPECT_FALSE(box.setCell(1, 0, "x"));
    EXPECT_FALSE(box.setCell(1, 14, "x"));
}

TEST(VatTextsBox, OkTakesOverClassesOneToThirteen) {
    VatTextSet texts;
    texts.dropDown[0] = "ei alv";
    VatTextsBox box;
    box.open(texts);
    ASSERT_TRUE(box.setCell(1, 1, "Kotimaan myynti"));
    ASSERT_TRUE(box.setCell(2, 13, "Rakennuspalvelujen alv"));
    box.setDeductibleCaption("V\xE4hennys");
    box.setPayableCaption("Maksuun");
    const VatBoxOk result = box.ok(texts);
    EXPECT_TRUE(result.applied);
    EXPECT_TRUE(result.dropDownChanged);
    EXPECT_FALSE(box.visible());
    VatTextSet expected;
    expected.dropDown[0] = "ei alv";
    expected.dropDown[1] = "Kotimaan myynti";
    expected.report[13] = "Rakennuspalvelujen alv";
    expected.deductibleCaption = "V\xE4hennys";
    expected.payableCaption = "Maksuun";
    EXPECT_EQ(texts, expected);
}

TEST(VatTextsBox, ReportTextsAloneLeaveTheChartAsItIs) {
    VatTextSet texts;
    VatTextsBox box;
    box.open(texts);
    box.setCell(2, 1, "Myynti yhteens\xE4");
    const VatBoxOk result = box.ok(texts);
    EXPECT_TRUE(result.applied);
    EXPECT_FALSE(result.dropDownChanged);
}

TEST(VatTextsBox, CancelAndSecondOkChangeNothing) {
    VatTextSet texts;
    VatTextsBox box;
    box.open(texts);
    box.setCell(1, 1, "Kotimaan myynti");
    box.cancel();
    EXPECT_FALSE(box.visible());
    EXPECT_FALSE(box.ok(texts).applied);
    EXPECT_EQ(texts, VatTextSet{});
}

struct DropDownCase {
    std::string name;
    int row;
    std::string text;
    bool accepted;

    friend void PrintTo(const DropDownCase& c, std::ostream* os) { *os << c.name; }
};

class VatTextsBoxDropDown : public ::testing::TestWithParam<DropDownCase> {};

// The account editor reads an account's class back from its chart line's drop-down text.
TEST_P(VatTextsBoxDropDown, MustLeadBackToItsClass) {
    const DropDownCase& c = GetParam();
    VatTextSet texts;
    VatTextsBox box;
    box.open(texts);
    box.setCell(1, c.row, c.text);
    const VatBoxOk result = box.ok(texts);
    EXPECT_EQ(result.applied, c.accepted);
    EXPECT_EQ(box.visible(), !c.accepted);
    EXPECT_EQ(result.message.empty(), c.accepted) << result.message;
    EXPECT_EQ(texts.dropDown[static_cast<size_t>(c.row)] == c.text, c.accepted);
}

INSTANTIATE_TEST_SUITE_P(
    VatTextsBox, VatTextsBoxDropDown,
    ::testing::Values(DropDownCase{"Longer", 1, "Myynti kotimaahan", true},
                      DropDownCase{"WithDigitsAfterText", 4, "Ostojen alv 24", true},
                      DropDownCase{"Empty", 4, "", false},
                      DropDownCase{"SameAsEarlierClass", 13, "Ostojen alv", false},
                      DropDownCase{"ReadAsEarlierClass", 11, "Myynti 2", false},
                      DropDownCase{"StartsWithDigit", 1, "24 myynti", false}),
    test::CaseName<DropDownCase>);

} // namespace
} // namespace kp

// Income statement and balance sheet: sections, marks, period result, titles, filter box.
#include "reports/Statements.h"

#include "ReportTestBooks.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace kp {
namespace {

using test::Acc;
using test::Chart;
using test::Event;
using test::Head;

StatementPages Build(const std::string& chart, const std::string& events, bool negate = true,
                     const ReportFilter& filter = {}, const std::string& first = "2024 1 1",
                     const std::string& last = "2024 12 31") {
    test::IndexedBook book(test::Book(chart, events, first, last), filter.voucherFilter());
    StatementContext context;
    context.index = &book.index;
    context.periods = &book.periods;
    context.filter = filter;
    StatementPages pages;
    BuildStatements(context, negate, pages);
    return pages;
}

ReportLines Body(const ReportLines& lines) {
    return ReportLines(lines.begin() + std::min<std::ptrdiff_t>(3, std::ssize(lines)), lines.end());
}

const std::string kChart = Chart(Head("Rahat", Acc(1910, "Kassa")), Acc(2000, "Oma"),
                                 Acc(3000, "Myynti") + Acc(4000, "Ostot"));
const std::string kEvents = Event(0, "2024 1 1", "Tilinavaus", {{1910, 10000}, {2000, -10000}}) +
                            Event(1, "2024 3 5", "Myynti", {{1910, 5000}, {3000, -5000}}) +
                            Event(2, "2024 4 5", "Ostot", {{4000, 2000}, {1910, -2000}});

TEST(Statements, BothPagesWithAndWithoutNegation) {
    const StatementPages pages = Build(kChart, kEvents);
    EXPECT_EQ(pages.income,
              (ReportLines{"Oy Testi Ab 01.01.2024 - 31.12.2024", "Tuloslaskelma Huhtikuu  ", "",
                           "Tulos", "", "  3000 Myynti\t50,00", "  4000 Ostot\t-20,00",
                           "Yht. T U L O S\t30,00", ""}));
    EXPECT_EQ(Body(pages.balance),
              (ReportLines{"Vastaavaa", "", "  Rahat", "    1910 Kassa\t130,00",
                           "  Yht. Rahat\t130,00", "", "Yht. V A S T A A V A A\t130,00", "",
                           "Vastattavaa", "", "  2000 Oma\t100,00", " Tilikauden tulos\t30,00", "",
                           "Yht. V A S T A T T A V A A\t130,00", ""}));
    EXPECT_EQ(pages.periodResult, -3000);
    EXPECT_EQ(pages.balanceDifference, 3000);

    const StatementPages raw = Build(kChart, kEvents, false);
    EXPECT_EQ(raw.income[5], "  3000 Myynti\t-50,00");
    EXPECT_EQ(raw.balance[6], "    1910 Kassa\t130,00"); // assets keep debit balances positive
    EXPECT_EQ(raw.balance[13], "  2000 Oma\t-100,00");
    EXPECT_EQ(raw.balanceDifference, 3000);
}

TEST(Statements, EmptyHeadingsZeroSumsAndUnpostedAccounts) {
    const std::string assets = Head("Ei ryhm\xE4\xE4") + Head("Tyhj\xE4", " ") +
                               Acc(1700, "Nolla") + Acc(1800, "Ei vientej\xE4") +
                               Acc(1910, "Kassa");
    const std::string events = Event(1, "2024 1 2", "A", {{1700, 100}, {1910, -100}}) +
                               Event(2, "2024 1 3", "B", {{1700, -100}, {1910, 100}});
    EXPECT_EQ(Body(Build(Chart(assets, "", ""), events).balance),
              (ReportLines{"Vastaavaa", "", "  Ei ryhm\xE4\xE4", "  Tyhj\xE4",
                           "  Yht. Tyhj\xE4\t0,00", "", "  1700 Nolla\t0,00", "  1910 Kassa\t0,00",
                           "Yht. V A S T A A V A A\t0,00", "", "Vastattavaa", ""}));
}

TEST(Statements, HashHeadingIsASubtotalOfWhatCameBefore) {
    const std::string result = Acc(3000, "Myynti") + Acc(4000, "Ostot") +
                               Head("Kate#", Acc(5000, "Kulut")) + Acc(6000, "Korot");
    const std::string events =
        Event(1, "2024 1 2", "A", {{1910, 10000}, {3000, -10000}}) +
        Event(2, "2024 1 3", "B", {{4000, 4000}, {5000, 1000}, {6000, 500}, {1910, -5500}});
    EXPECT_EQ(Body(Build(Chart(Acc(1910, "Kassa"), "", result), events).income),
              (ReportLines{"Tulos", "", "  3000 Myynti\t100,00", "  4000 Ostot\t-40,00",
                           "  Kate\t60,00", "    5000 Kulut\t-10,00", "", "  6000 Korot\t-5,00",
                           "Yht. T U L O S\t45,00", ""}));
}

TEST(Statements, MarkedAccountJoinsThePeriodResultWhereverItStands) {
    // In the income statement: left out there, shown in the result.
    const std::string income = Event(1, "2024 1 2", "A", {{1910, 10000}, {3000, -10000}}) +
                               Event(2, "2024 1 3", "B", {{3999, 2500}, {1910, -2500}});
    StatementPages pages = Build(
        Chart(Acc(1910, "Kassa"), Acc(2000, "Oma"), Acc(3000, "Myynti") + Acc(3999, "@Tulos")),
        income);
    EXPECT_EQ(pages.income[6], "Yht. T U L O S\t100,00");
    EXPECT_EQ(pages.periodResult, -7500);
    EXPECT_EQ(Body(pages.balance)[7], " Tilikauden tulos\t75,00");

    // In the equity after the closing entry: the result is booked and the sheet balances.
    const std::string equity = Acc(2000, "Oma") + Acc(2370, "Voittovarat") + Acc(2380, "@Voitto");
    pages = Build(Chart(Acc(1910, "Kassa"), equity, Acc(3000, "Myynti")),
                  kEvents.substr(0, kEvents.find("(event 2")) +
                      Event(2, "2024 12 31", "Tulos", {{2380, 5000}, {2370, -5000}}));
    EXPECT_EQ(pages.periodResult, 0);
    EXPECT_EQ(
        Body(pages.balance),
        (ReportLines{"Vastaavaa", "", "  1910 Kassa\t150,00", "Yht. V A S T A A V A A\t150,00", "",
                     "Vastattavaa", "", "  2000 Oma\t100,00", "  2370 Voittovarat\t50,00",
                     "Yht. V A S T A T T A V A A\t150,00", ""}));
}

TEST(Statements, TotalsDoNotWrapAround) {
    const std::string big = Event(1, "2024 1 2", "A", {{1910, 2000000000}, {3000, -2000000000}});
    const StatementPages pages = Build(kChart, big + big);
    EXPECT_EQ(pages.income[6], "Yht. T U L O S\t40000000,00");
    EXPECT_EQ(pages.periodResult, -4000000000LL);
}

TEST(Statements, MissingPartsLeaveHeadersOrNothing) {
    EXPECT_EQ(Build(Head("V A S T A A V A A", "", -1), kEvents).balance.size(), 3u);
    test::IndexedBook empty("(identity)");
    StatementContext context;
    context.index = &empty.index;
    StatementPages pages;
    pages.income = {"old"};
    BuildStatements(context, true, pages);
    EXPECT_EQ(pages.income, ReportLines{});
}

struct TitleCase {
    std::string name;
    friend void PrintTo(const TitleCase& c, std::ostream* os) { *os << c.name; }
    std::string events;
    ReportFilter filter;
    std::string last; // the fiscal year starts a year before in July when it ends in June
    std::string expected;
};

class StatementTitles : public testing::TestWithParam<TitleCase> {};

TEST_P(StatementTitles, BalanceSheetTitle) {
    const TitleCase& c = GetParam();
    const std::string first = c.last == "2024 12 31" ? "2024 1 1" : "2023 7 1";
    EXPECT_EQ(Build(kChart, c.events, true, c.filter, first, c.last).balance[1], c.expected);
}

const std::string kMarch = Event(1, "2024 3 5", "P1", {{1910, 100}, {3000, -100}});
const std::string kDecember = Event(1, "2024 12 5", "P1", {{1910, 100}, {3000, -100}});
const ReportFilter kP1{true, "P1", "PROJEKTI"};

INSTANTIATE_TEST_SUITE_P(
    Statements, StatementTitles,
    testing::Values(TitleCase{"MonthReached", kMarch, {}, "2024 12 31", "Tase Maaliskuu  "},
                    TitleCase{"FinishedYear", kDecember, {}, "2024 12 31", "Tase  "},
                    TitleCase{"NoVouchers", "", {}, "2024 12 31", "Tase  "},
                    TitleCase{"Filter", kMarch, kP1, "2024 12 31", "Tase Maaliskuu  PROJEKTI P1 "},
                    TitleCase{"YearOfTwo", kMarch, {}, "2024 6 30", "Tase Maaliskuu 2024 "},
                    TitleCase{"YearAfterFilterSetApart", kMarch, kP1, "2024 6 30",
                              "Tase Maaliskuu  PROJEKTI P1 2024 "},
                    TitleCase{"NoYearWithoutVouchers", "", {}, "2024 6 30", "Tase  "}),
    test::CaseName<TitleCase>);

struct FilterBoxCase {
    std::string name;
    friend void PrintTo(const FilterBoxCase& c, std::ostream* os) { *os << c.name; }
    FilterBox box;
    bool on;
    std::string text;
};

class FilterBoxOk : public testing::TestWithParam<FilterBoxCase> {};

TEST_P(FilterBoxOk, Applies) {
    FilterBox box = GetParam().box;
    const ReportFilter filter = ApplyFilterBox(box);
    EXPECT_EQ(filter.on, GetParam().on);
    EXPECT_EQ(box.checked, GetParam().on);
    EXPECT_EQ(filter.text, GetParam().text);
    EXPECT_EQ(filter.heading, GetParam().box.heading);
}

INSTANTIATE_TEST_SUITE_P(
    Statements, FilterBoxOk,
    testing::Values(FilterBoxCase{"Trimmed", {true, "  PROJ \t", "Kohde"}, true, "PROJ"},
                    FilterBoxCase{"EmptyTurnsOff", {true, " \t ", "PROJEKTI"}, false, ""},
                    FilterBoxCase{
                        "UncheckedKeepsText", {false, "PROJ", "PROJEKTI"}, false, "PROJ"}),
    test::CaseName<FilterBoxCase>);

} // namespace
} // namespace kp

// The comparison year's column and the merge of the open book's chart into the comparison chart.
#include "ReportTestBooks.h"
#include "reports/Statements.h"

#include <gtest/gtest.h>

namespace kp {
namespace {

using test::Acc;
using test::Chart;
using test::Event;
using test::Head;

// Builds the statements of a 2024 book against a 2023 comparison book; the comparison tree
// stays available for a second build.
struct Compared {
    test::IndexedBook book;
    test::IndexedBook previous;

    Compared(const std::string& chart, const std::string& events, const std::string& oldChart,
             const std::string& oldEvents)
        : book(test::Book(chart, events)),
          previous(test::Book(oldChart, oldEvents, "2023 1 1", "2023 12 31"), {}, false) {}

    StatementPages build() {
        StatementContext context{&book.index,     true,          &previous.tree,
                                 &previous.index, &book.periods, {}};
        StatementPages pages;
        BuildStatements(context, true, pages);
        return pages;
    }
};

ReportLines Body(const ReportLines& lines) {
    return ReportLines(lines.begin() + 3, lines.end());
}

TEST(Comparison, EachYearInItsOwnColumnWithItsOwnResult) {
    Compared c(
        Chart(Acc(1910, "Kassa"), Acc(2000, "Oma"), Acc(3000, "Myynti") + Acc(3100, "Uusi")),
        Event(0, "2024 1 1", "T", {{1910, 10000}, {2000, -10000}}) +
            Event(1, "2024 3 5", "A", {{1910, 6000}, {3000, -5000}, {3100, -1000}}),
        Chart(Acc(1910, "Kassa"), Acc(2000, "Oma"), Acc(3000, "Myynti") + Acc(3200, "Vanha")),
        Event(0, "2023 1 1", "T", {{1910, 10000}, {2000, -10000}}) +
            Event(1, "2023 5 5", "A", {{1910, 1000}, {3200, -700}, {3000, -300}}));
    const StatementPages pages = c.build();
    EXPECT_EQ(pages.income[0], "Oy Testi Ab 01.01.2024 - 31.12.2024\t31.12.2024\t31.12.2023");
    EXPECT_EQ(Body(pages.income),
              (ReportLines{"Tulos", "", "  3000 Myynti\t50,00\t3,00", "  3100 Uusi\t10,00\t0,00",
                           "  3200 Vanha\t0,00\t7,00", "Yht. T U L O S\t60,00\t10,00", ""}));
    EXPECT_EQ(Body(pages.balance),
              (ReportLines{"Vastaavaa", "", "  1910 Kassa\t160,00\t110,00",
                           "Yht. V A S T A A V A A\t160,00\t110,00", "", "Vastattavaa", "",
                           "  2000 Oma\t100,00\t100,00", " Tilikauden tulos\t60,00\t10,00", "",
                           "Yht. V A S T A T T A V A A\t160,00\t110,00", ""}));
    EXPECT_EQ(c.build().income, pages.income); // the merged chart is not merged twice
}

// Nodes that only the comparison year has stand before shared ones: the shared ones still
// pair with their own counterparts, by text, and no amount changes column.
TEST(Comparison, ExtraNodesOfTheComparisonChartKeepAmountsInTheirColumns) {
    Compared c(
        Chart(Head("Rahat", Acc(1910, "Kassa")), Acc(2000, "Oma"), ""),
        Event(0, "2024 1 1", "T", {{1910, 10000}, {2000, -10000}}),
        Chart(Acc(1800, "Vanha") + Head("Rahat", Acc(1905, "Pikkukassa") + Acc(1910, "Kassa")),
              Acc(2000, "Oma"), ""),
        Event(0, "2023 1 1", "T", {{1800, 100}, {1905, 300}, {1910, 200}, {2000, -600}}));
    EXPECT_EQ(Body(c.build().balance),
              (ReportLines{"Vastaavaa", "", "  1800 Vanha\t0,00\t1,00", "  Rahat",
                           "    1905 Pikkukassa\t0,00\t3,00", "    1910 Kassa\t100,00\t2,00",
                           "  Yht. Rahat\t100,00\t5,00", "", "Yht. V A S T A A V A A\t100,00\t6,00",
                           "", "Vastattavaa", "", "  2000 Oma\t100,00\t6,00",
                           "Yht. V A S T A T T A V A A\t100,00\t6,00", ""}));
}

struct MergeCase {
    std::string name;
    friend void PrintTo(const MergeCase& c, std::ostream* os) { *os << c.name; }
    std::string current;
    std::string comparison;
    std::string expected; // the comparison tree afterwards, in nested-list form
};

class Merge : public testing::TestWithParam<MergeCase> {};

TEST_P(Merge, ComparisonChartAfterwards) {
    BookTree current;
    BookTree comparison;
    ParseNestedList(current, GetParam().current);
    ParseNestedList(comparison, GetParam().comparison);
    const ChartPairing pairing =
        MergeComparisonChart(current.first(), comparison.first(), comparison);
    EXPECT_EQ(FormatNestedList(comparison), GetParam().expected);
    // Every node of the open book's chart has its partner in the comparison chart.
    for (const BookNode* n = current.first(); n; n = current.next(n))
        EXPECT_EQ(pairing.currentFor(pairing.comparisonFor(n)), n);
}

INSTANTIATE_TEST_SUITE_P(
    Statements, Merge,
    testing::Values(
        MergeCase{"InsertedAfterTheLastMatch",
                  "(m (account 1 \"A\") (account 2 \"B\") (account 3 \"C\"))",
                  "(m (account 1 \"A\") (account 9 \"X\") (account 3 \"C\"))",
                  "(m (account 1 \"A\") (account 2 \"B\") (account 9 \"X\") (account 3 \"C\"))"},
        MergeCase{"FoundByNumberTakesTheName", "(m (account 1910 \"Kassa ja pankki\" ()))",
                  "(m (account 1910 \"Kassa\" ()))", "(m (account 1910 \"Kassa ja pankki\" ()))"},
        MergeCase{"ShortNumberIsNotALongerOne", "(m (account 19 \"Lyhyt\" ()))",
                  "(m (account 1910 \"Kassa\" ()))",
                  "(m (account 19 \"Lyhyt\" ()) (account 1910 \"Kassa\" ()))"},
        MergeCase{"ChildrenFollow", "(m (account -1 \"V\" ((account 1910 \"Kassa\" ()))))",
                  "(m (account -1 \"V\" ()))",
                  "(m (account -1 \"V\" ((account 1910 \"Kassa\" ()))))"}),
    test::CaseName<MergeCase>);

} // namespace
} // namespace kp

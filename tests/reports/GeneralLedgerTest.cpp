// General ledger lines, the period comparison and the report header.
#include "reports/GeneralLedger.h"

#include "ReportTestBooks.h"

#include <gtest/gtest.h>

namespace kp {
namespace {

using test::Acc;
using test::Event;

const std::string kChart =
    test::Chart(Acc(1700, "Saamiset") + Acc(1910, "Kassa"), Acc(2000, "Oma p\xE4\xE4oma"),
                Acc(3000, "Myynti") + Acc(4000, "Ostot"));

ReportLines Ledger(const std::string& events, const ChosenPeriod& period = {},
                   bool balances = false, const std::string& first = "2024 1 1",
                   const std::string& last = "2024 12 31") {
    const test::IndexedBook book(test::Book(kChart, events, first, last));
    ReportLines lines;
    BuildLedger(book.index, period, "Koko kausi", balances, lines);
    return lines;
}

TEST(GeneralLedger, WholePeriod) {
    const std::string events = Event(0, "2024 1 1", "Tilinavaus", {{1910, 10000}, {2000, -10000}}) +
                               Event(1, "2024 1 15", "Myynti", {{1910, 5000}, {3000, -5000}}) +
                               Event(2, "2024 2 3", "Ostot", {{4000, 2000}, {1910, -2000}});
    EXPECT_EQ(Ledger(events),
              (ReportLines{"\x02Oy Testi Ab 01.01.2024 - 31.12.2024",
                           "\x02P\xE4\xE4kirja Koko kausi ",
                           "",
                           "\x1FTili\tTosite\tSelite\tP\xE4iv\xE4ys\tDebet\tKredit\tSaldo",
                           "",
                           "\x02"
                           "1910 Kassa\t\tAlkusaldo\t\t\t\t100,00",
                           "\t1\tMyynti\t15.01.2024\t50,00\t",
                           "\t2\tOstot\t03.02.2024\t\t20,00",
                           "\t\tYhteens\xE4 2 kpl\t\t50,00\t20,00",
                           "\x02\t\tLoppusaldo\t\t\t\t130,00",
                           "",
                           "\x02"
                           "2000 Oma p\xE4\xE4oma\t\tAlkusaldo\t\t\t\t-100,00",
                           "\x02\t\tLoppusaldo\t\t\t\t-100,00",
                           "",
                           "\x02"
                           "3000 Myynti\t\tAlkusaldo\t\t\t\t0,00",
                           "\t1\tMyynti\t15.01.2024\t\t50,00",
                           "\x02\t\tLoppusaldo\t\t\t\t-50,00",
                           "",
                           "\x02"
                           "4000 Ostot\t\tAlkusaldo\t\t\t\t0,00",
                           "\t2\tOstot\t03.02.2024\t20,00\t",
                           "\x02\t\tLoppusaldo\t\t\t\t20,00",
                           "",
                           "\x02\t\tKoko kausi yhteens\xE4\t\t70,00\t70,00"}));
    const ReportLines balances = Ledger(events, {}, true);
    EXPECT_EQ(balances[6], "\t1\tMyynti\t15.01.2024\t50,00\t\t150,00");
    EXPECT_EQ(balances[7], "\t2\tOstot\t03.02.2024\t\t20,00\t130,00");
}

TEST(GeneralLedger, TotalsDoNotWrapAround) {
    const std::string big = Event(1, "2024 3 1", "Iso", {{1910, 2000000000}, {3000, -2000000000}});
    const ReportLines lines = Ledger(big + big);
    EXPECT_EQ(lines[8], "\t\tYhteens\xE4 2 kpl\t\t40000000,00\t0,00");
    EXPECT_EQ(lines.back(), "\x02\t\tKoko kausi yhteens\xE4\t\t40000000,00\t40000000,00");
}

TEST(GeneralLedger, NoFiscalYearNoLines) {
    const test::IndexedBook book("(identity (account-map))");
    ReportLines lines = {"old"};
    BuildLedger(book.index, {}, "Koko kausi", false, lines);
    EXPECT_EQ(lines, ReportLines{});
}

// Account 1910's lines in short: A opening, #voucher+debit or -credit, Y count, L closing,
// | the empty line that ends the account.
std::string Summary(const ReportLines& lines) {
    std::string out;
    bool inside = false;
    for (std::string_view line : lines) {
        std::vector<std::string> f(1);
        for (char c : line) {
            if (c == '\t')
                f.emplace_back();
            else
                f.back().push_back(c);
        }
        const bool title = f[0].size() > 1 && f[0][0] == '\x02';
        if (title && inside)
            break;
        inside = inside || f[0] == "\x02"
                                   "1910 Kassa";
        if (!inside)
            continue;
        if (line.empty())
            return out + "|";
        if (f.size() > 2 && f[2] == "Alkusaldo")
            out += "A" + f.back() + " ";
        else if (f.size() > 2 && f[2] == "Loppusaldo")
            out += "L" + f.back() + " ";
        else if (f.size() > 2 && f[2].rfind("Yhteens", 0) == 0)
            out += "Y" + f[2].substr(9, 1) + " ";
        else
            out += "#" + f[1] + (f[4].empty() ? "-" + f[5] : "+" + f[4]) + " ";
    }
    return out;
}

struct LedgerCase {
    std::string name;
    friend void PrintTo(const LedgerCase& c, std::ostream* os) { *os << c.name; }
    std::vector<std::pair<std::string, long long>> postings; // date, cents; "0" opening voucher
    ChosenPeriod period;
    std::string expected;
    std::string first = "2024 1 1";
    std::string last = "2024 12 31";
};

class LedgerEdges : public testing::TestWithParam<LedgerCase> {};

TEST_P(LedgerEdges, AccountLines) {
    const LedgerCase& c = GetParam();
    std::string events;
    int number = 1;
    for (const auto& [date, cents] : c.postings)
        events += date == "0" ? Event(0, c.first, "T", {{1910, cents}, {2000, -cents}})
                              : Event(number++, date, "T", {{1910, cents}, {3000, -cents}});
    EXPECT_EQ(Summary(Ledger(events, c.period, false, c.first, c.last)), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    GeneralLedger, LedgerEdges,
    testing::Values(
        LedgerCase{"OnlyBeforePeriod", {{"2024 1 5", 500}}, {3}, "A5,00 L5,00 |"},
        LedgerCase{"OnlyBeforePeriodSumZero", {{"2024 1 5", 500}, {"2024 2 5", -500}}, {3}, ""},
        LedgerCase{"OnlyAfterPeriodNoClosing", {{"2024 6 5", 500}}, {3}, "A0,00 "},
        LedgerCase{"OpeningTakesEarlierPostings",
                   {{"0", 10000}, {"2024 1 5", 2000}, {"2024 2 5", -500}, {"2024 2 9", 100}},
                   {2},
                   "A120,00 #2-5,00 #3+1,00 Y2 L116,00 |"},
        LedgerCase{"SecondQuarter",
                   {{"2024 3 31", 100}, {"2024 4 1", 200}, {"2024 6 30", 300}, {"2024 7 1", 400}},
                   {14},
                   "A1,00 #2+2,00 #3+3,00 Y2 L6,00 |"},
        LedgerCase{"QuarterOfChosenYear",
                   {{"2023 5 5", 100}, {"2024 5 5", 200}},
                   {14, true, 2024},
                   "A1,00 #2+2,00 L3,00 |",
                   "2023 7 1",
                   "2024 6 30"},
        LedgerCase{"WholePeriodNoYear",
                   {{"2023 7 5", 100}, {"2024 6 5", 200}},
                   {0},
                   "A0,00 #1+1,00 #2+2,00 Y2 L3,00 |",
                   "2023 7 1",
                   "2024 6 30"},
        // Vouchers out of date order: a later-dated voucher earlier in the journal hides none
        // of the period's postings, and an earlier-dated one entered late joins the opening.
        LedgerCase{"LaterDatedVoucherFirst",
                   {{"2024 2 10", 3000}, {"2024 1 20", 1000}},
                   {1},
                   "A0,00 #2+10,00 L10,00 |"},
        LedgerCase{"EarlierDatedVoucherLast",
                   {{"2024 3 10", 1000}, {"2024 1 20", 500}},
                   {3},
                   "A5,00 #1+10,00 L15,00 |"}),
    test::CaseName<LedgerCase>);

struct CompareCase {
    std::string name;
    friend void PrintTo(const CompareCase& c, std::ostream* os) { *os << c.name; }
    std::string date;
    ChosenPeriod period;
    std::int64_t expected;
};

class ComparePeriodRows : public testing::TestWithParam<CompareCase> {};

TEST_P(ComparePeriodRows, MonthDifference) {
    EXPECT_EQ(GetParam().period.compare("1\tX\t" + GetParam().date), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    GeneralLedger, ComparePeriodRows,
    testing::Values(CompareCase{"WholePeriod", "15.03.2024", {0}, 0},
                    CompareCase{"NothingChosen", "15.03.2024", {-1}, 0},
                    CompareCase{"MonthBefore", "15.03.2024", {4}, -1},
                    CompareCase{"MonthAfter", "15.03.2024", {2}, 1},
                    CompareCase{"QuarterEdges", "01.04.2024", {14}, 0},
                    CompareCase{"BeforeQuarter", "31.03.2024", {14}, -1},
                    CompareCase{"AfterQuarter", "01.07.2024", {14}, 1},
                    CompareCase{"ChosenYearEarlier", "15.03.2023", {0, true, 2024}, -12},
                    CompareCase{"ChosenYearQuarterLater", "15.05.2024", {14, true, 2023}, 12},
                    // Without a date the scan reaches the description; nothing may wrap.
                    CompareCase{"MissingDateHugeNumber",
                                "Lasku 2147483647\t??.??.????",
                                {1, true, 2024},
                                12 * (2147483647LL - 2024)}),
    test::CaseName<CompareCase>);

TEST(ReportHeader, MarkerColumnHeadsAndNoFiscalYear) {
    const test::IndexedBook book(test::Book(kChart, ""));
    const test::IndexedBook previous(test::Book(kChart, "", "2023 1 1", "2023 12 31"), {}, false);
    ReportLines lines;
    AddReportHeader("\x02Otsikko ", {book.index.fiscalYear()}, lines);
    EXPECT_EQ(lines, (ReportLines{"\x02Oy Testi Ab 01.01.2024 - 31.12.2024", "\x02Otsikko ", ""}));
    lines.clear();
    AddReportHeader("Tase ", {book.index.fiscalYear(), true, previous.index.fiscalYear()}, lines);
    EXPECT_EQ(lines[0], "Oy Testi Ab 01.01.2024 - 31.12.2024\t31.12.2024\t31.12.2023");
    lines.clear();
    AddReportHeader("Tase ", {}, lines);
    EXPECT_EQ(lines, ReportLines{});
}

} // namespace
} // namespace kp

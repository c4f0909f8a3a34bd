// The basic-data box: a new company, the next fiscal year from the balance sheet, basic data.
#include "period/NewFiscalYear.h"

#include "book/NestedList.h"
#include "tests/book/TreeShape.h"
#include "tests/period/ScriptedPrompts.h"
#include "tests/reports/ReportTestBooks.h"

#include <gtest/gtest.h>
#include <string>

namespace kp {
namespace {

using test::Acc;
using test::Chart;
using test::Event;
using test::Head;
using Modes = std::vector<BasicDataMode>;

const Modes kAllModes = {BasicDataMode::NewCompany, BasicDataMode::NewFiscalYear,
                         BasicDataMode::ChangeBasicData};

BookTree Parse(const std::string& text) {
    BookTree tree;
    ParseNestedList(tree, text);
    return tree;
}

// Opens the box, types the name and the digits of both dates as the user would, and presses OK.
struct BoxRun {
    BasicDataBox box;
    test::ScriptedPrompts prompts;
    PeriodState periods;
    BasicDataResult result;

    BoxRun(BookTree& book, BasicDataMode mode, const std::string& name, const std::string& first,
           const std::string& last, std::deque<bool> answers = {}) {
        prompts.answers = std::move(answers);
        if (!box.open(mode, book, prompts).shown)
            return;
        box.setCompanyName(name);
        for (auto [field, digits] : {std::pair{&box.firstDay(), first}, {&box.lastDay(), last}}) {
            field->click(0);
            for (char c : digits)
                field->type(c);
        }
        result = box.apply(book, periods, prompts);
    }
};

// The vouchers in the tree-shape notation.
std::string EventsShape(const BookTree& book) {
    const BookNode* map = AccountMapNode(FiscalYearNode(book));
    std::string out;
    for (const BookNode* event : map->parent()->child(map->index() + 1)->children())
        test::AppendShape(event, 0, out);
    return out;
}

// A closed year: the result is booked through the "@" account; 1900 ends at zero and 1920 stands
// under a heading of its own.
const std::string kChart = Chart(Head("Rahat", Acc(1900, "Kassa") + Acc(1910, "Pankki") +
                                                   Head("Muut", Acc(1920, "S\xE4\xE4st\xF6tili"))),
                                 Acc(2000, "Oma p\xE4\xE4oma") + Acc(2380, "Tilikauden voitto"),
                                 Acc(3000, "Myynti") + Acc(9990, "@Tuloksen siirto"));
const std::string kOpening = Event(0, "2024 1 1", "Tilinavaus", {{1910, 100000}, {2000, -100000}}) +
                             Event(1, "2024 2 1", "Myynti", {{1910, 20000}, {3000, -20000}});
const std::string kClosed =
    test::Book(kChart, kOpening + Event(2, "2024 3 1", "Nosto", {{1900, 3000}, {1910, -3000}}) +
                           Event(3, "2024 3 2", "Talletus", {{1900, -3000}, {1910, 3000}}) +
                           Event(4, "2024 4 1", "Siirto", {{1920, 7000}, {1910, -7000}}) +
                           Event(5, "2024 12 31", "Tulos", {{9990, 20000}, {2380, -20000}}));
// The same year before its result was booked: 200,00 of sales missing from the balance sheet.
const std::string kUnbooked = test::Book(kChart, kOpening);

TEST(BasicDataBox, OpensWithTheModesCaptionAndProposal) {
    // A new company starts empty; a new fiscal year proposes the year after the book's, from
    // the day after its end and one year long.
    const struct {
        BasicDataMode mode;
        const char* lastDate; // of the book's fiscal year, tree form
        std::string_view caption, name, first, last;
    } rows[] = {
        {BasicDataMode::NewCompany, "2024 12 31", "Uusi yritys", "", "00.00.0000", "00.00.0000"},
        {BasicDataMode::ChangeBasicData, "2024 12 31", "Muuta tietoja", "Oy Testi Ab", "01.01.2024",
         "31.12.2024"},
        {BasicDataMode::NewFiscalYear, "2024 12 31", "Uusi tilikausi", "Oy Testi Ab", "01.01.2025",
         "31.12.2025"},
        {BasicDataMode::NewFiscalYear, "2024 6 30", "Uusi tilikausi", "Oy Testi Ab", "01.07.2024",
         "30.06.2025"},
        {BasicDataMode::NewFiscalYear, "2027 2 28", "Uusi tilikausi", "Oy Testi Ab", "01.03.2027",
         "29.02.2028"},
        {BasicDataMode::NewFiscalYear, "2028 2 28", "Uusi tilikausi", "Oy Testi Ab", "29.02.2028",
         "28.02.2029"},
        // An end that is no real day proposes nothing new.
        {BasicDataMode::NewFiscalYear, "2024 13 45", "Uusi tilikausi", "Oy Testi Ab", "01.01.2024",
         "45.13.2024"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.lastDate);
        BookTree book = Parse(kClosed);
        book.setText(FiscalYearNode(book)->child(1), std::string("date ") + row.lastDate);
        BasicDataBox box;
        test::ScriptedPrompts prompts;
        EXPECT_TRUE(box.open(row.mode, book, prompts).shown);
        EXPECT_EQ(box.caption(), row.caption);
        EXPECT_EQ(box.companyName(), row.name);
        EXPECT_EQ(box.firstDay().text(), row.first);
        EXPECT_EQ(box.lastDay().text(), row.last);
        prompts.saveAnswer = false; // cancelling the unsaved-changes question opens nothing
        BasicDataBox other;
        EXPECT_FALSE(other.open(row.mode, book, prompts).shown);
        EXPECT_TRUE(prompts.asked.empty());
    }
}

TEST(NewCompany, FromAnEmptyProgramGivesTheSkeleton) {
    BookTree book;
    BoxRun run(book, BasicDataMode::NewCompany, "Oy Uusi Ab", "01072027", "30062028");
    EXPECT_TRUE(run.result.applied);
    EXPECT_TRUE(run.result.forgetFileName);
    EXPECT_TRUE(run.result.showPageControl);
    EXPECT_EQ(run.result.unsaved, UnsavedChange::Clear);
    EXPECT_EQ(test::Shape(book),
              std::string(kBookHeader) +
                  "|.fiscal-year \"Oy Uusi Ab\"|..date 2027 7 1|..date 2028 6 30|..account-map|"
                  "...account -1 \"V A S T A A V A A\"|...account -1 \"V A S T A T T A V A A\"|"
                  "...account -1 \"T U L O S\"|..|...event 0|....date 2027 7 1|"
                  "....\"Tilinavaus\"|....|");
    EXPECT_TRUE(run.periods.yearList.visible); // the new fiscal year spans two calendar years
    EXPECT_TRUE(run.prompts.shown.empty());
}

TEST(NewCompany, NameWithQuoteAndBackslashSurvivesTheFile) {
    const std::string name = "Oy \"Paras\" A\\B";
    BookTree book = Parse(kClosed);
    BoxRun run(book, BasicDataMode::NewCompany, name, "01012027", "31122027");
    EXPECT_EQ(FiscalYearNode(book)->text(), "fiscal-year \"" + name + "\"");
    BookTree reread = Parse(FormatNestedList(book));
    EXPECT_EQ(test::Shape(reread), test::Shape(book));
    BasicDataBox again;
    again.open(BasicDataMode::ChangeBasicData, reread, run.prompts);
    EXPECT_EQ(again.companyName(), name);
}

struct BadDates {
    const char* name;
    const char* first;
    const char* last;
};

class InvalidDates : public testing::TestWithParam<BadDates> {};

TEST_P(InvalidDates, KeepTheBoxOpenAndTheBookAsItWas) {
    for (BasicDataMode mode : kAllModes) {
        BookTree book = Parse(kClosed);
        const std::string before = FormatNestedList(book);
        BoxRun run(book, mode, "Oy", GetParam().first, GetParam().last);
        EXPECT_FALSE(run.result.applied);
        EXPECT_TRUE(run.box.visible());
        EXPECT_EQ(run.prompts.shown, (std::vector<std::string>{"Virheelliset p\xE4iv\xE4ykset"}));
        EXPECT_EQ(FormatNestedList(book), before);
    }
}

const BadDates kBadDates[] = {
    {"EndBeforeStart", "01012025", "31122024"},
    {"TenYearsApart", "01012020", "31122030"},
    {"ZeroStartYear", "01010000", "31122024"},
    {"LetterInLastDay", "01012024", "311220x4"}, // the last-day box takes it; the check refuses
    {"NoSuchDay", "01012027", "31022027"},
    {"DayZero", "00012027", "31122027"},
    {"MonthThirteen", "01012027", "31132027"},
};

INSTANTIATE_TEST_SUITE_P(BasicDataBox, InvalidDates, testing::ValuesIn(kBadDates),
                         test::CaseName<BadDates>);

TEST(ChangeBasicData, RewritesNameAndDatesAndKeepsTheVouchers) {
    BookTree book = Parse(kClosed);
    const std::string events = EventsShape(book);
    BoxRun run(book, BasicDataMode::ChangeBasicData, "Oy Uusi Ab", "01022024", "31012025", {true});
    EXPECT_EQ(run.prompts.asked,
              std::vector<std::string>{"1 tosite j\xE4\xE4 tilikauden ulkopuolelle. Jatketaanko?"});
    EXPECT_FALSE(run.result.forgetFileName);
    EXPECT_EQ(run.result.unsaved, UnsavedChange::Set);
    EXPECT_EQ(BookTitle(book), "Kirjanpito Oy Uusi Ab 01.02.2024 - 31.01.2025");
    EXPECT_EQ(EventsShape(book), events);

    BookTree oneChild = Parse("(identity (fiscal-year \"Vanha\" (date 2024 1 1)))");
    BoxRun renamed(oneChild, BasicDataMode::ChangeBasicData, "Uusi", "01012025", "31122025");
    EXPECT_EQ(test::Shape(oneChild), "identity|.fiscal-year \"Uusi\"|..date 2024 1 1|");
}

// New dates that leave vouchers outside the year are asked about; "Ei" changes nothing.
TEST(ChangeBasicData, AsksWhenVouchersFallOutsideTheNewDates) {
    const struct {
        const char* name;
        const char* first;
        const char* last;
        bool answer;
        const char* question; // empty: nothing asked
        bool applied;
    } rows[] = {
        {"all inside", "01012024", "31122024", false, "", true},
        {"one before, declined", "02012024", "31122024", false,
         "1 tosite j\xE4\xE4 tilikauden ulkopuolelle. Jatketaanko?", false},
        {"five after, accepted", "01012024", "31012024", true,
         "5 tositetta j\xE4\xE4 tilikauden ulkopuolelle. Jatketaanko?", true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        BookTree book = Parse(kClosed);
        const std::string before = test::Shape(book);
        BoxRun run(book, BasicDataMode::ChangeBasicData, "Oy", row.first, row.last, {row.answer});
        EXPECT_EQ(run.prompts.asked, *row.question ? std::vector<std::string>{row.question}
                                                   : std::vector<std::string>{});
        EXPECT_EQ(run.result.applied, row.applied);
        EXPECT_EQ(run.box.visible(), !row.applied);
        EXPECT_EQ(test::Shape(book) != before, row.applied);
    }
}

TEST(NewFiscalYear, NeedsABookWithAChart) {
    for (const char* text :
         {"", "(identity (fiscal-year \"Oy\" (date 2024 1 1) (date 2024 12 31)))"}) {
        BookTree book = Parse(text);
        BasicDataBox box;
        test::ScriptedPrompts prompts;
        box.open(BasicDataMode::ChangeBasicData, book, prompts);
        EXPECT_FALSE(box.open(BasicDataMode::NewFiscalYear, book, prompts).shown);
        EXPECT_EQ(prompts.shown, (std::vector<std::string>{"Avaa ensin edellinen tilikausi!"}));
        EXPECT_EQ(box.mode(), BasicDataMode::ChangeBasicData); // the open box stays as it was
    }
}

TEST(NewFiscalYear, UnbookedResultAsksAndCancelLeavesTheBook) {
    BookTree book = Parse(kUnbooked);
    const std::string before = FormatNestedList(book);
    BoxRun run(book, BasicDataMode::NewFiscalYear, "Oy", "01012025", "31122025", {false});
    EXPECT_FALSE(run.box.visible());
    EXPECT_EQ(run.prompts.asked, (std::vector<std::string>{"Summien ero 200,00\r\nMahdollisesti "
                                                           "voitto kirjaamatta taseeseen\r\n"
                                                           "Jatketaanko?"}));
    EXPECT_EQ(FormatNestedList(book), before);
}

TEST(NewFiscalYear, UnbookedResultOnOkCarriesTheBalanceSheetAndReportsTheSum) {
    BookTree book = Parse(kUnbooked);
    BoxRun run(book, BasicDataMode::NewFiscalYear, "Oy Testi Ab", "01012025", "31122025", {true});
    EXPECT_TRUE(run.result.applied);
    // No line for the result, so the lines are 200,00 short of balancing.
    EXPECT_EQ(EventsShape(book), "event 0|.date 2025 1 1|.\"Tilinavaus\"|.|..1910|...money 120000|"
                                 "..2000|...money -100000|");
    EXPECT_EQ(run.prompts.shown, (std::vector<std::string>{"Vientien ero 200,00"}));
}

TEST(NewFiscalYear, ClosedYearOpensWithEveryNonZeroBalance) {
    BookTree book = Parse(kClosed);
    BoxRun run(book, BasicDataMode::NewFiscalYear, "Oy Testi Ab", "01012025", "31122025");
    EXPECT_TRUE(run.result.applied);
    EXPECT_TRUE(run.result.forgetFileName);
    EXPECT_EQ(run.result.unsaved, UnsavedChange::Set);
    EXPECT_EQ(BookTitle(book), "Kirjanpito Oy Testi Ab 01.01.2025 - 31.12.2025");
    // 1900 ends at zero; headings, totals and income accounts give no lines.
    EXPECT_EQ(EventsShape(book), "event 0|.date 2025 1 1|.\"Tilinavaus\"|.|..1910|...money 113000|"
                                 "..1920|...money 7000|..2000|...money -100000|..2380|"
                                 "...money -20000|");
    EXPECT_TRUE(run.prompts.asked.empty());
    EXPECT_TRUE(run.prompts.shown.empty());
}

TEST(CarryOverBalances, BalanceBeyondOneBookLineIsSplit) {
    // 40 000 000,00 does not fit one line's 32-bit cents.
    BookTree book = Parse(test::Book(Chart(Acc(1910, "Pankki"), Acc(2000, "Oma"), ""),
                                     Event(1, "2024 1 1", "A", {{1910, 2000000000}}) +
                                         Event(2, "2024 1 2", "B", {{1910, 2000000000}}) +
                                         Event(3, "2024 1 3", "C", {{2000, -2000000000}}) +
                                         Event(4, "2024 1 4", "D", {{2000, -2000000000}})));
    test::ScriptedPrompts prompts;
    const CarryOver carried = CarryOverBalances(book, "01.01.2025", prompts);
    EXPECT_EQ(carried.total, 0);
    EXPECT_EQ(EventsShape(book), "event 0|.date 2025 1 1|.\"Tilinavaus\"|.|..1910|...money "
                                 "2147483647|..1910|...money 1852516353|..2000|...money "
                                 "-2147483648|..2000|...money -1852516352|");
}

} // namespace
} // namespace kp

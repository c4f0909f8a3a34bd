// Book queries: keyword lookups, company name, dates, window title, fiscal-year validation.
#include "book/BookQueries.h"

#include "book/NestedList.h"
#include "tests/book/TreeShape.h"

#include <gtest/gtest.h>
#include <string>
#include <tuple>
#include <vector>

namespace kp {
namespace {

using test::Build;

// A book with two accounts carrying VAT and one voucher dated voucherDate.
std::string SmallBook(const std::string& firstDate, const std::string& voucherDate) {
    return std::string(kBookHeader) + "|.fiscal-year \"Oy Esimerkki Ab\"|.." + firstDate +
           "|..date 2020 12 31|..account-map|...account -1 \"V A S T A A V A A\"|....|"
           ".....account 1910 \"Kassa\"|......|......vat sales 2400|"
           ".....account 1920 \"Pankki\"|......|......vat purchase 2400|..|...event 1|...." +
           voucherDate + "|....\"Ostot\"|";
}

TEST(BookQueries, FindChildByPrefixTakesTheFirstMatchInChildOrder) {
    BookTree tree;
    Build(tree, "x|.acc|.account-map|.fiscal-year|.fiscal-year \"Oy\"|.Account 1|leaf|");
    // A child shorter than the key does not match; the comparison is case-sensitive.
    const std::pair<const char*, int> cases[] = {{"account", 1},        {"fiscal-year", 2},
                                                 {"fiscal-year \"", 3}, {"Account", 4},
                                                 {"ACC", -1},           {"zzz", -1}};
    for (const auto& [key, index] : cases) {
        const BookNode* found = FindChildByPrefix(key, tree.first());
        EXPECT_EQ(found ? found->index() : -1, index) << key;
    }
    EXPECT_EQ(FindChildByPrefix("account", tree.roots()[1]), nullptr);
    EXPECT_EQ(FindChildByPrefix("account", nullptr), nullptr);
}

TEST(BookQueries, CollectByPrefixWalksInPreOrderAndAppends) {
    BookTree tree;
    Build(tree, SmallBook("date 2020 1 1", "date 2020 3 5"));
    std::vector<BookNode*> list;
    CollectByPrefix(tree.first(), "vat ", list);
    CollectByPrefix(AccountMapNode(FiscalYearNode(tree)), "account", list);
    std::string texts;
    for (const BookNode* n : list)
        texts += std::string(n->text()) + "|";
    EXPECT_EQ(texts, "vat sales 2400|vat purchase 2400|account-map|"
                     "account -1 \"V A S T A A V A A\"|account 1910 \"Kassa\"|"
                     "account 1920 \"Pankki\"|");
}

TEST(BookQueries, CompanyNameAndTitle) {
    const std::tuple<const char*, std::string, const char*, const char*> cases[] = {
        {"whole book", SmallBook("date 2020 1 1", "date 2020 3 5"), "Oy Esimerkki Ab",
         "Kirjanpito Oy Esimerkki Ab 01.01.2020 - 31.12.2020"},
        {"no book", "", "", "Kirjanpito  00.00.0000 - 00.00.0000"},
        {"no fiscal-year node", "h|.fiscal year \"X\"|", "", "Kirjanpito  00.00.0000 - 00.00.0000"},
        {"fiscal year on a second root", "h|fiscal-year \"X\"|", "",
         "Kirjanpito  00.00.0000 - 00.00.0000"},
        {"one date, name without quotes", "h|.fiscal-year Oy|..date 2021 2 1|", "",
         "Kirjanpito  01.02.2021 - ??.??.????"},
        {"unclosed name, no dates", "h|.x|.fiscal-year \"Oy Ab|", "Oy Ab",
         "Kirjanpito Oy Ab ??.??.???? - ??.??.????"}};
    for (const auto& [name, book, company, title] : cases) {
        SCOPED_TRACE(name);
        BookTree tree;
        Build(tree, book);
        EXPECT_EQ(CompanyName(tree), company);
        EXPECT_EQ(BookTitle(tree), title);
    }
    BookTree blankFirst; // a blank before the book is not part of it
    ParseNestedList(blankFirst, " (h (fiscal-year \"Oy\" (date 2020 1 1) (date 2020 12 31)))");
    EXPECT_EQ(BookTitle(blankFirst), "Kirjanpito Oy 01.01.2020 - 31.12.2020");
}

TEST(BookQueries, ReadDateChildStepsThroughDateChildren) {
    BookTree tree;
    Build(tree, "node|.date 2020 3 5|.\"Ostot\"|.Date 2020 1 1|. date 2020 1 1|"
                ".dateline 2021 4 6|.date 2020|.date|.date 20 1 2|.date 12345 10 20|"
                ".date 2020  3 5|.date 2020 3 5 |.date 2020 3 123456789012345678901|");
    // "Date" and " date" are no date children; "dateline" is. A doubled blank leaves a field
    // empty.
    const std::pair<const char*, int> expected[] = {
        {"05.03.2020", 1},  {"06.04.2021", 5},  {"00.00.2020", 6},
        {"00.00.0000", 7},  {"02.01.0020", 8},  {"20.10.12345", 9},
        {"03.00.2020", 10}, {"05.03.2020", 11}, {"123456789012345678901.03.2020", 12},
        {"??.??.????", 12}};
    int counter = 0;
    for (const auto& [date, counterAfter] : expected) {
        EXPECT_EQ(ReadDateChild(*tree.first(), counter), date);
        EXPECT_EQ(counter, counterAfter);
    }
    counter = 99;
    EXPECT_EQ(ReadDateChild(*tree.first(), counter), "??.??.????");
    EXPECT_EQ(counter, 12);

    tree.clear();
    Build(tree, SmallBook("date 2020 7 1", "date 2020 3 5"));
    const BookNode* fiscalYear = FiscalYearNode(tree);
    EXPECT_EQ(NthDate(1, fiscalYear), "01.07.2020");
    EXPECT_EQ(NthDate(2, fiscalYear), "31.12.2020");
    EXPECT_EQ(NthDate(3, fiscalYear), "??.??.????");
    EXPECT_EQ(NthDate(0, fiscalYear), "01.07.2020"); // read at least once
    EXPECT_EQ(NthDate(1, nullptr), "00.00.0000");
}

TEST(BookQueries, DisplayDateToNode) {
    const std::pair<const char*, const char*> cases[] = {
        {"5.3.2020", "2020 3 5"}, {"05.03.2020", "2020 3 5"}, {"5.3.20", "20 3 5"}, {"", "0 0 0"},
        {"31.12.", "0 12 31"},    {"1-2-2020", "0 0 0"}};
    for (const auto& [display, node] : cases)
        EXPECT_EQ(DisplayDateToNode(display), node) << display;
}

TEST(BookQueries, ValidateFiscalYear) {
    // Start, end, valid, the end period stored, whether the year list is shown.
    const std::tuple<const char*, const char*, bool, Period, bool> cases[] = {
        {"1.1.2020", "31.12.2020", true, MakePeriod(2020, 12), false},
        {"1.12.2020", "1.1.2020", true, MakePeriod(2020, 1), false},
        {"1.7.2020", "30.6.2021", true, MakePeriod(2021, 6), true},
        {"1.1.2020", "31.12.2029", true, MakePeriod(2029, 12), true},
        {"1.1.2020", "31.12.2030", false, MakePeriod(2030, 12), true},
        {"1.1.2021", "31.12.2020", false, MakePeriod(2020, 12), true},
        {"1.1.", "31.12.2020", false, MakePeriod(2020, 12), true},
        {"1.1.2020", "31.12.", false, MakePeriod(0, 12), true},
        // Impossible days fail; the end period is stored all the same.
        {"1.1.2025", "45.13.2025", false, MakePeriod(2025, 13), true},
        {"1.1.2027", "31.02.2027", false, MakePeriod(2027, 2), true},
        {"00.01.2027", "31.12.2027", false, MakePeriod(2027, 12), true},
        {"1.0.2027", "31.12.2027", false, MakePeriod(2027, 12), true},
        {"1.1.0", "31.12.2027", false, MakePeriod(2027, 12), true},
        {"1.3.2023", "29.2.2023", false, MakePeriod(2023, 2), true},
        {"1.3.1900", "29.2.1900", false, MakePeriod(1900, 2), true},
        {"1.1.2027", "31.04.2027", false, MakePeriod(2027, 4), true},
        // Leap days where the calendar has them.
        {"1.3.2023", "29.2.2024", true, MakePeriod(2024, 2), true},
        {"29.2.2000", "28.2.2001", true, MakePeriod(2001, 2), true}};
    // An invalid pair leaves the year list as it was: shown, with one item.
    const YearList before = {{"x"}, true, 0, 16};
    for (const auto& [start, end, valid, endPeriod, shown] : cases) {
        SCOPED_TRACE(std::string(start) + " - " + end);
        PeriodState periods;
        periods.yearList = before;
        EXPECT_EQ(ValidateFiscalYear(start, end, periods), valid);
        EXPECT_EQ(periods.fiscalEndPeriod, endPeriod);
        EXPECT_EQ(periods.yearList.visible, shown);
        EXPECT_EQ(periods.yearList.monthListTop, shown ? 16 : 32);
        if (!valid) {
            EXPECT_EQ(periods.yearList.items, before.items);
        }
    }
    PeriodState periods;
    ASSERT_EQ(ValidateFiscalYear("1.7.2020", "30.6.2021", periods), true);
    EXPECT_EQ(periods.yearList.items, (std::vector<std::string>{"2020-2021", "2020", "2021"}));
    EXPECT_EQ(periods.yearList.itemIndex, 0);
    ASSERT_EQ(ValidateFiscalYear("1.1.2020", "31.12.2029", periods), true);
    EXPECT_EQ(periods.yearList.items.size(), 11u);
    EXPECT_EQ(periods.yearList.items.back(), "2029");
}

TEST(BookQueries, LatestEventPeriodCountsOnlyVoucherDatesWithAMonth) {
    // Voucher date, events container level, latest period before and after reading it.
    const std::tuple<const char*, int, Period, Period> cases[] = {
        {"date 2020 3 5", 2, 0, MakePeriod(2020, 3)},
        {"date 2020 12 31", 2, 0, MakePeriod(2020, 12)},
        {"date 2020 0 5", 2, 0, 0},
        {"date 2020 13 5", 2, 0, 0},
        {"date 2020 3x 5", 2, 0, 0},
        {"date x 6 1", 2, 0, 6},
        {"date 2020 3 5", 2, MakePeriod(2021, 1), MakePeriod(2021, 1)},
        {"date 2020 3 5", -1, 0, 0}};
    for (const auto& [voucherDate, containerLevel, before, after] : cases) {
        SCOPED_TRACE(::testing::Message()
                     << voucherDate << ", level " << containerLevel << ", from " << before);
        BookTree tree;
        Build(tree, SmallBook("date 2020 1 1", voucherDate));
        PeriodState periods;
        periods.eventsContainerLevel = containerLevel;
        periods.latestEventPeriod = before;
        // The fiscal-year dates lie above the events container and never count.
        const BookNode* fiscalYear = FiscalYearNode(tree);
        NthDate(2, fiscalYear, &periods);
        EXPECT_EQ(periods.latestEventPeriod, before);
        const BookNode* voucher = fiscalYear->child(fiscalYear->childCount() - 1)->child(0);
        int counter = 0;
        ReadDateChild(*voucher, counter, &periods);
        EXPECT_EQ(periods.latestEventPeriod, after);
    }
}

} // namespace
} // namespace kp

namespace kp {
namespace {

TEST(QuotedName, ReadsFromTheFirstToTheLastQuote) {
    const struct {
        const char* text;
        int cursor;
        const char* name;
    } rows[] = {
        {"account 1910 \"Kassa\"", 8, "Kassa"},
        {"fiscal-year \"Oy \"Ykk\xF6nen\" Ab\"", 11, "Oy \"Ykk\xF6nen\" Ab"},
        {"\"Lasku \"A\" ja \"B\"\"", 1, "Lasku \"A\" ja \"B\""},
        {"account 5 \"Ei loppua", 8, "Ei loppua"},
        {"account 5", 8, ""},
        {"\"\"", 1, ""},
    };
    for (const auto& row : rows)
        EXPECT_EQ(QuotedName(row.text, row.cursor), row.name) << row.text;
}

} // namespace
} // namespace kp

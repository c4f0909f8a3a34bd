// Account index: entry texts, the duplicate rule, which accounts are indexed, postings, filter.
#include "ledger/AccountIndex.h"

#include "TestBooks.h"

#include <gtest/gtest.h>

namespace kp {
namespace {

using namespace kp::test;
using Texts = std::vector<std::string>;

Texts AccountTexts(const AccountIndex& index) {
    Texts texts;
    for (const AccountEntry& e : index.accounts())
        texts.push_back(e.text);
    return texts;
}

// The postings of the account entry with the given text, as "voucher text = cents".
Texts Postings(const AccountIndex& index, std::string_view entryText) {
    Texts out;
    for (const AccountEntry& e : index.accounts())
        if (e.text == entryText)
            for (const LedgerEntry& p : index.entries(e.node))
                out.push_back(std::string(index.voucherText(p.voucher)) + " = " +
                              std::to_string(p.cents));
    return out;
}

struct Indexed {
    BookTree book;
    PeriodState periods;
    AccountIndex index{true};
    Indexed(const std::string& accounts, const std::string& events, const VoucherFilter& f = {})
        : book(ParseBook(accounts, events)) {
        index.rebuild(book, f, &periods, true);
    }
};

TEST(AccountIndex, BookWithTheTopHeadingsOnlyHasNoEntries) {
    Indexed b(TopHeadings(), "");
    EXPECT_TRUE(b.index.accounts().empty());
    EXPECT_TRUE(b.index.names().empty());
}

TEST(AccountIndex, EntriesKeepTheNumberWordAndTheFirstOfEqualTexts) {
    Indexed b(TopHeadings(Account(1910, "Kassa") + "(account 0910 \"Vanha\" ())" +
                          Account(1910, "KASSA")),
              Voucher(1, "2020 1 5", "Otto", Line("1910", 500)));
    EXPECT_EQ(AccountTexts(b.index), (Texts{"0910 Vanha", "1910 Kassa"}));
    EXPECT_EQ(b.index.names(), (Texts{"Kassa 1910", "Vanha 0910"}));
    const BookNode* group = b.index.accountMap()->child(0)->child(0);
    EXPECT_EQ(b.index.accounts()[1].node, group->child(0));
    EXPECT_TRUE(b.index.entries(group->child(2)).empty());
}

struct LookupCase {
    const char* name;
    const char* text;
    const char* expected;
};
class AccountLookup : public testing::TestWithParam<LookupCase> {};

TEST_P(AccountLookup, ResolvesTheLeadingDigits) {
    Indexed b(TopHeadings(Account(1000, "Rahasto") + Account(100, "Pankki") +
                          Account(1910, "Kassa") + Account(10, "Kymppi") +
                          "(account 0910 \"Vanha\" ())"),
              "");
    EXPECT_EQ(b.index.lookupAccount(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, AccountLookup,
                         testing::Values(LookupCase{"Exact", "1910", "1910 Kassa"},
                                         LookupCase{"JournalLineText", "1910 Kassa", "1910 Kassa"},
                                         LookupCase{"ExactWinsOverLonger", "100", "100 Pankki"},
                                         LookupCase{"Longer", "1000", "1000 Rahasto"},
                                         LookupCase{"Shortest", "10", "10 Kymppi"},
                                         LookupCase{"LeadingZeroCounts", "910", "910 ???"},
                                         LookupCase{"NoDigits", "Kassa", "Kassa ???"},
                                         LookupCase{"Empty", "", " ???"}),
                         CaseName<LookupCase>);

TEST(AccountIndex, APostingToAShorterNumberStaysWithThatAccount) {
    Indexed b(TopHeadings(Account(1000, "Rahasto") + Account(100, "Pankki")),
              Voucher(1, "2020 1 5", "Talletus", Line("100", 2500) + Line("1000", -2500)));
    EXPECT_EQ(Postings(b.index, "100 Pankki"), (Texts{"1\tTalletus\t05.01.2020 = 2500"}));
    EXPECT_EQ(Postings(b.index, "1000 Rahasto"), (Texts{"1\tTalletus\t05.01.2020 = -2500"}));
}

TEST(AccountIndex, SubAccountsOfNumberedAccountsAreIndexedLikeAnyAccount) {
    Indexed b(TopHeadings("(account 0 \"Rahoitus\" (" + Account(1920, "Pankki") + "))" +
                          Account(1900, "Rahat", "",
                                  Account(1910, "Kassa", "", Account(1911, "Pikkukassa")))),
              Voucher(1, "2020 2 1", "Siirto",
                      Line("1910", 700) + Line("1911", 100) + Line("1920", -800)));
    EXPECT_EQ(AccountTexts(b.index),
              (Texts{"1900 Rahat", "1910 Kassa", "1911 Pikkukassa", "1920 Pankki"}));
    EXPECT_EQ(b.index.names(),
              (Texts{"Kassa 1910", "Pankki 1920", "Pikkukassa 1911", "Rahat 1900"}));
    EXPECT_TRUE(Postings(b.index, "1900 Rahat").empty());
    EXPECT_EQ(Postings(b.index, "1911 Pikkukassa"), (Texts{"1\tSiirto\t01.02.2020 = 100"}));
    EXPECT_EQ(b.index.lookupAccount("1911"), "1911 Pikkukassa");
}

TEST(AccountIndex, EveryWellFormedLineIsOnePostingAndARebuildDoesNotDoubleThem) {
    const std::string noLines = "(event 1 (date 2020 1 1) \"Ei rivej\xE4\")";
    const std::string twice = Voucher(4, "2020 3 9", "  Kahdesti ",
                                      Line("1910", 100) + "(1910 (amount 5)) " + Line("1910", 100));
    Indexed b(TopHeadings(Account(1910, "Kassa")), noLines + twice);
    const Texts expected{"4\tKahdesti\t09.03.2020 = 100", "4\tKahdesti\t09.03.2020 = 100"};
    EXPECT_EQ(Postings(b.index, "1910 Kassa"), expected);
    b.index.rebuild(b.book, {}, &b.periods, true);
    EXPECT_EQ(Postings(b.index, "1910 Kassa"), expected);
    EXPECT_EQ(b.index.names(), (Texts{"Kassa 1910"}));
}

TEST(AccountIndex, TheFilterTakesOnlyDescriptionsStartingWithItsText) {
    Indexed b(TopHeadings(Account(1910, "Kassa")),
              Voucher(1, "2020 1 1", "PROJ alku", Line("1910", 1)) +
                  Voucher(2, "2020 1 2", "Proj pieni", Line("1910", 2)) +
                  Voucher(3, "2020 1 3", "PRO", Line("1910", 3)),
              VoucherFilter{true, "PROJ"});
    EXPECT_EQ(Postings(b.index, "1910 Kassa"), (Texts{"1\tPROJ alku\t01.01.2020 = 1"}));
}

TEST(AccountIndex, TheFirstIndexingOfABookRaisesTheLatestPeriod) {
    // Fiscal dates (December) and a month 13 do not count; the events container's level must be
    // known before the walk reads the first voucher date.
    Indexed b(TopHeadings(Account(1910, "Kassa")),
              Voucher(1, "2020 3 5", "Maalis", Line("1910", 1)) +
                  Voucher(2, "2020 13 1", "Kuukausi 13", Line("1910", 1)));
    EXPECT_EQ(b.periods.latestEventPeriod, MakePeriod(2020, 3));
}

TEST(AccountIndex, AMissingEventsContainerIsAddedToTheIndexedBookOnly) {
    const std::string text = "(identity (fiscal-year \"X\" (account-map " + TopHeadings() + ")))";
    BookTree open;
    BookTree comparison;
    ParseNestedList(open, text);
    ParseNestedList(comparison, text);
    AccountIndex comparisonIndex(false);
    comparisonIndex.rebuild(comparison, {}, nullptr, false);
    EXPECT_EQ(comparisonIndex.events(), comparison.first()->child(0)->child(1));
    EXPECT_EQ(open.first()->child(0)->childCount(), 1);
    AccountIndex index(true);
    index.rebuild(open, {}, nullptr, true);
    index.rebuild(open, {}, nullptr, true);
    EXPECT_EQ(open.first()->child(0)->childCount(), 2);
    EXPECT_EQ(comparison.first()->child(0)->childCount(), 2);
}

} // namespace
} // namespace kp

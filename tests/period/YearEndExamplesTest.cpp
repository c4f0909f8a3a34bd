// New fiscal years made from the example books, run the way the application runs the command.
#include "app/Application.h"
#include "book/BookFile.h"
#include "period/NewFiscalYear.h"
#include "tests/app/ScriptedPlatform.h"
#include "tests/period/ScriptedPrompts.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <string>

namespace kp {
namespace {

const std::string kLastYear = KP_SOURCE_DIR "/examples/esimerkki-2025.tlk";
const std::string kThisYear = KP_SOURCE_DIR "/examples/esimerkki-2026.tlk";

using Balances = std::map<std::string, Cents>;

const BookNode* EventsOf(const BookTree& book) {
    const BookNode* map = AccountMapNode(FiscalYearNode(book));
    return map->parent()->child(map->index() + 1);
}

// Sums the money of the entries per account, for the accounts that `keep` accepts.
template <class Keep> void AddEntries(const BookNode* entries, Balances& balances, Keep keep) {
    for (const BookNode* line : entries->children()) {
        int cursor = 1;
        if (keep(std::string(line->text())))
            balances[std::string(line->text())] += ScanNumber(line->child(0)->text(), cursor);
    }
}

// Closing balances counted straight from the vouchers, not through the statements: every entry on
// an account under the assets or the liabilities heading. Zero balances are left out.
Balances ClosingBalances(const BookTree& book) {
    BookNode* map = AccountMapNode(FiscalYearNode(book));
    std::vector<BookNode*> accounts;
    CollectByPrefix(map->child(0), "account ", accounts);
    CollectByPrefix(map->child(1), "account ", accounts);
    std::set<std::string> sheet;
    for (const BookNode* account : accounts) {
        int cursor = 8;
        sheet.insert(std::to_string(ScanNumber(account->text(), cursor)));
    }
    Balances balances;
    for (const BookNode* event : EventsOf(book)->children())
        AddEntries(event->child(2), balances, [&](const std::string& n) { return sheet.count(n); });
    std::erase_if(balances, [](const auto& item) { return item.second == 0; });
    return balances;
}

Balances OpeningEntries(const BookTree& book) {
    Balances entries;
    AddEntries(EventsOf(book)->child(0)->child(2), entries,
               [](const std::string&) { return true; });
    return entries;
}

// "Uusi Tilikausi" and OK wired as the application does: the index is rebuilt after the box's
// balance check, and after OK the outcome is applied, the index rebuilt and the journal shown.
BasicDataResult NewYear(Application& app, test::ScriptedPrompts& prompts, const char* first,
                        const char* last) {
    BasicDataBox box;
    AppState& state = app.state();
    const BasicDataOpening opening =
        box.open(BasicDataMode::NewFiscalYear, state.openBook, prompts);
    if (opening.rebuildIndex) {
        state.markAllStale();
        app.rebuildAccountIndex();
    }
    if (!opening.shown)
        return {};
    box.firstDay().setText(first);
    box.lastDay().setText(last);
    const BasicDataResult result = box.apply(state.openBook, state.periods, prompts);
    if (!result.applied)
        return result;
    if (result.forgetFileName)
        app.setFileName("");
    if (result.unsaved != UnsavedChange::Keep)
        state.unsavedChanges = result.unsaved == UnsavedChange::Set;
    state.markAllStale();
    app.rebuildAccountIndex();
    app.activatePage(Tab::Journal);
    return result;
}

class YearEndExamples : public ::testing::Test {
  protected:
    ScriptedPlatform m_platform;
    Application m_app{m_platform};
    test::ScriptedPrompts m_prompts;
};

TEST_F(YearEndExamples, NewYearCarriesEveryBalanceSheetAccountOfThisYear) {
    ASSERT_TRUE(m_app.openBook(kThisYear));
    const Balances closing = ClosingBalances(m_app.state().openBook);
    ASSERT_GT(closing.size(), 5u);
    m_prompts.answers = {true}; // the year's result is not booked yet
    EXPECT_TRUE(NewYear(m_app, m_prompts, "01.01.2027", "31.12.2027").applied);
    ASSERT_EQ(m_prompts.asked.size(), 1u);
    EXPECT_EQ(m_prompts.asked[0].rfind("Summien ero ", 0), 0u);
    ASSERT_EQ(EventsOf(m_app.state().openBook)->childCount(), 1);
    EXPECT_EQ(OpeningEntries(m_app.state().openBook), closing);
    Cents sum = 0;
    for (const auto& item : closing)
        sum += item.second;
    EXPECT_EQ(m_prompts.shown, (std::vector<std::string>{"Vientien ero " + CentsToText(sum)}));
    EXPECT_EQ(m_app.fileName(), "");
    EXPECT_EQ(m_app.title(), "Kirjanpito Esimerkki Oy 01.01.2027 - 31.12.2027");
    EXPECT_EQ(m_app.journal().root()->childCount(), 1);
}

// With last year open and this year as the comparison book, each balance-sheet line shown ends
// with this year's figure; the new year still opens with last year's own balances. The voucher
// filter narrows the reports but not what is carried.
TEST_F(YearEndExamples, NewYearFromLastYearWithComparisonAndFilterCarriesItsOwnBalances) {
    ASSERT_TRUE(m_app.openBook(kLastYear));
    ASSERT_TRUE(m_app.openComparison(kThisYear));
    FilterBox filter{true, "PROJ", "PROJEKTI"};
    m_app.applyFilter(filter);
    m_app.activatePage(Tab::Balance);
    const ReportLines& sheet = m_app.statements().balance;
    ASSERT_TRUE(std::any_of(sheet.begin(), sheet.end(), [](std::string_view l) {
        return l.starts_with("  ") && l.find('\t') != l.rfind('\t'); // two amount columns
    }));

    const Balances closing = ClosingBalances(m_app.state().openBook);
    EXPECT_TRUE(NewYear(m_app, m_prompts, "01.01.2026", "31.12.2026").applied);
    EXPECT_TRUE(m_prompts.asked.empty()); // last year's result is booked: the sheet balances
    EXPECT_TRUE(m_prompts.shown.empty());
    EXPECT_EQ(OpeningEntries(m_app.state().openBook), closing);
    EXPECT_TRUE(m_app.state().unsavedChanges);
}

} // namespace
} // namespace kp

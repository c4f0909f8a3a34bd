// Application state: stale-page mask, page-switch block, search reset.
#include "app/AppState.h"

#include <gtest/gtest.h>

namespace kp {
namespace {

TEST(AppState, StartsWithTheInitialValues) {
    AppState s;
    EXPECT_EQ(s.staleMask(), 0xFFFF);
    EXPECT_EQ(s.currentPage, Page::Journal);
    EXPECT_FALSE(s.unsavedChanges);
    EXPECT_FALSE(s.comparisonLoaded);
    EXPECT_TRUE(s.pageSwitchAllowed());
    EXPECT_EQ(s.filter.heading, "PROJEKTI");
    EXPECT_FALSE(s.filter.on);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(s.searchTarget));
}

TEST(AppState, BookChangeMarksEveryViewStale) {
    AppState s;
    for (std::uint16_t bit : {Stale::Chart, Stale::Journal, Stale::Ledger, Stale::Statements,
                              Stale::Vat, Stale::AccountIndex})
        s.clearStale(bit);
    EXPECT_EQ(s.staleMask(), 0xFFFF & ~0x801F);
    EXPECT_FALSE(s.isStale(Stale::Ledger));
    s.markBookChanged();
    EXPECT_TRUE(s.unsavedChanges);
    EXPECT_EQ(s.staleMask(), 0xFFFF);
}

TEST(AppState, ComparisonBookSetsOnlyTheStatementsBit) {
    AppState s;
    s.clearStale(Stale::All);
    s.setStale(Stale::Statements);
    EXPECT_EQ(s.staleMask(), Stale::Statements);
}

TEST(AppState, EveryExitOfABlockedJobLowersTheBlock) {
    AppState s;
    auto job = [&](bool failEarly) {
        PageSwitchBlock block(s);
        EXPECT_FALSE(s.pageSwitchAllowed());
        if (failEarly)
            throw std::runtime_error("cancelled");
    };
    job(false);
    EXPECT_THROW(job(true), std::runtime_error);
    EXPECT_EQ(s.pageSwitchBlock(), 0);
    EXPECT_TRUE(s.pageSwitchAllowed());
    {
        PageSwitchBlock outer(s);
        PageSwitchBlock inner(s);
        EXPECT_EQ(s.pageSwitchBlock(), 2);
    }
    EXPECT_TRUE(s.pageSwitchAllowed());
}

TEST(AppState, ResetSearchKeepsTheSearchText) {
    AppState s;
    s.searchText = "kassa";
    s.searchStartBranch = 4;
    s.searchActive = true;
    s.resetSearch();
    EXPECT_EQ(s.searchStartBranch, 0);
    EXPECT_FALSE(s.searchActive);
    EXPECT_EQ(s.searchText, "kassa");
}

} // namespace
} // namespace kp

// The values that tie views, editors and reports together for one run of the program.
#pragma once

#include "book/BookQueries.h"
#include "book/BookTree.h"
#include "book/ReportLines.h"
#include "reports/ReportFilter.h"

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace kp {

// The statement pages; the value selects per-page settings and the line renderer.
enum class Page : int { Chart = 0, Journal = 1, Ledger = 2, Income = 3, Balance = 4, Vat = 5 };

// Bits of the stale-page mask: each view that must be rebuilt before it is shown.
namespace Stale {
inline constexpr std::uint16_t Chart = 0x0001;
inline constexpr std::uint16_t Journal = 0x0002;
inline constexpr std::uint16_t Ledger = 0x0004;
inline constexpr std::uint16_t Statements = 0x0008; // income statement and balance sheet
inline constexpr std::uint16_t Vat = 0x0010;
inline constexpr std::uint16_t AccountIndex = 0x8000;
inline constexpr std::uint16_t All = 0xFFFF;
} // namespace Stale

// What "Etsi" searches: a tree, a list of report lines, or nothing.
using SearchTarget = std::variant<std::monostate, const BookTree*, const ReportLines*>;

class AppState {
  public:
    BookTree openBook;
    BookTree comparisonBook;
    bool unsavedChanges = false;
    Page currentPage = Page::Journal;
    bool comparisonLoaded = false;
    // The lines that copying, saving as text and printing act on (not owned).
    const ReportLines* lineSource = nullptr;

    // Voucher filter: only vouchers whose description begins with the text count.
    ReportFilter filter;

    // Search state.
    std::string searchText;
    SearchTarget searchTarget;
    int searchStartBranch = 0;
    bool searchActive = false;

    // Fiscal-year end, latest voucher month and the period chooser's year list.
    PeriodState periods;

    void markAllStale() { m_staleMask = Stale::All; }
    void markBookChanged() {
        unsavedChanges = true;
        markAllStale();
    }
    bool isStale(std::uint16_t bit) const { return (m_staleMask & bit) != 0; }
    void clearStale(std::uint16_t bit) {
        m_staleMask = static_cast<std::uint16_t>(m_staleMask & ~bit);
    }
    void setStale(std::uint16_t bit) {
        m_staleMask = static_cast<std::uint16_t>(m_staleMask | bit);
    }
    std::uint16_t staleMask() const { return m_staleMask; }

    void raisePageSwitchBlock() { ++m_pageSwitchBlock; }
    void lowerPageSwitchBlock() {
        if (m_pageSwitchBlock > 0)
            --m_pageSwitchBlock;
    }
    bool pageSwitchAllowed() const { return m_pageSwitchBlock == 0; }
    int pageSwitchBlock() const { return m_pageSwitchBlock; }

    void resetSearch() {
        searchStartBranch = 0;
        searchActive = false;
    }

  private:
    std::uint16_t m_staleMask = Stale::All;
    int m_pageSwitchBlock = 0;
};

// Holds the page-switch block for as long as it lives, so that every exit of a print job
// lowers it again.
class PageSwitchBlock {
  public:
    explicit PageSwitchBlock(AppState& state) : m_state(state) { m_state.raisePageSwitchBlock(); }
    ~PageSwitchBlock() { m_state.lowerPageSwitchBlock(); }
    PageSwitchBlock(const PageSwitchBlock&) = delete;
    PageSwitchBlock& operator=(const PageSwitchBlock&) = delete;

  private:
    AppState& m_state;
};

} // namespace kp

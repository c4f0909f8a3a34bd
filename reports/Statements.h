// The income statement and the balance sheet, with the comparison year's column and the filter box.
#pragma once

#include "book/BookQueries.h"
#include "book/BookTree.h"
#include "book/ReportLines.h"
#include "book/TextHelpers.h"
#include "ledger/AccountIndex.h"
#include "reports/ReportFilter.h"

#include <span>
#include <string>
#include <unordered_map>
#include <vector>

namespace kp {

// Which node of the comparison chart shows which node of the open book's chart, as the merge
// matched them by text. A comparison node without a partner exists only in the comparison year.
class ChartPairing {
  public:
    // The first pairing of either node stays.
    void add(const BookNode* current, const BookNode* comparison);
    const BookNode* currentFor(const BookNode* comparison) const;
    const BookNode* comparisonFor(const BookNode* current) const;
    bool empty() const { return m_toCurrent.empty(); }

  private:
    std::unordered_map<const BookNode*, const BookNode*> m_toCurrent;
    std::unordered_map<const BookNode*, const BookNode*> m_toComparison;
};

// Gives the comparison chart every node of the open book's chart, so that walking the
// comparison chart meets all accounts of both years. A node is matched by its whole text, else
// an account by its number (the comparison node then takes the open book's text), else it is
// inserted after the last node matched. Only the comparison book changes.
ChartPairing MergeComparisonChart(const BookNode* currentMap, BookNode* comparisonMap,
                                  BookTree& comparisonBook);

Cents SumPostings(std::span<const LedgerEntry> entries);

// What the sections of one build share. In comparison mode (comparisonIndex and pairing set)
// the walked nodes are the comparison chart's and every line carries the open book's amount
// first and the comparison year's second; otherwise the walked nodes are the open book's.
struct SectionState {
    const AccountIndex* index = nullptr;
    const AccountIndex* comparisonIndex = nullptr;
    const ChartPairing* pairing = nullptr;
    bool negate = false; // amounts shown with the sign reversed (credit balances positive)
    // Shown as " Tilikauden tulos" at the end of the section whose top has a result set.
    Cents periodResult = 0;
    Cents comparisonPeriodResult = 0;
    // The last account met whose text holds "@": left out of its section.
    Cents markedSum = 0;
    Cents comparisonMarkedSum = 0;

    bool comparison() const { return comparisonIndex && pairing; }
};

struct SectionSums {
    Cents sum = 0;           // the open book's, raw signed
    Cents comparisonSum = 0; // the comparison year's
};

// Lines of one section from its top heading: heading lines, account lines, "#" subtotal lines
// and "Yht." total lines, indented by depth below the top. Returns the raw sums.
SectionSums BuildStatementSection(const BookNode* top, SectionState& state, ReportLines& lines);

// Everything the two statement pages are built from.
struct StatementContext {
    const AccountIndex* index = nullptr; // the open book's, freshly rebuilt
    // The comparison book and its index, used while the comparison flag is set.
    bool comparison = false;
    BookTree* comparisonBook = nullptr;
    const AccountIndex* comparisonIndex = nullptr;
    const PeriodState* periods = nullptr; // latest voucher month, fiscal-year end, year list
    ReportFilter filter;
};

struct StatementPages {
    ReportLines income;
    ReportLines balance;
    Cents periodResult = 0; // the income result plus the "@" account's sum; for the closing entry
    Cents markedSum = 0;
    // Assets plus liabilities without the period result, raw signed: what keeps the balance
    // sheet from balancing unless the result is booked. Read before a new fiscal year.
    Cents balanceDifference = 0;
};

// Rebuilds both pages. With negate the income statement and the liabilities show credit
// balances positive; assets always show debit balances positive. The caller clears the
// statements' stale bit.
void BuildStatements(const StatementContext& context, bool negate, StatementPages& pages);

// The filter box as the user left it.
struct FilterBox {
    bool checked = false;
    std::string text;
    std::string heading = "PROJEKTI";
};

// The filter box's OK: the text is trimmed, and an empty text turns the filter off (the box's
// check mark too). The caller then marks every view stale and shows the journal page.
ReportFilter ApplyFilterBox(FilterBox& box);

} // namespace kp

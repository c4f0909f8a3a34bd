// The general ledger page and the header that every report page starts with.
#pragma once

#include "book/BookTree.h"
#include "book/ReportLines.h"
#include "ledger/AccountIndex.h"
#include "reports/PeriodChooser.h"

#include <string_view>

namespace kp {

// The ledger's column header, drawn bold and underlined above the accounts and in the tab-stop
// editor.
inline constexpr std::string_view kLedgerColumns =
    "Tili\tTosite\tSelite\tP\xE4iv\xE4ys\tDebet\tKredit\tSaldo";

// Where a report header takes its texts from.
struct HeaderSource {
    const BookNode* fiscalYear = nullptr; // the open book's; no header without one
    // The two amount columns get their heads (the two fiscal years' last days) on the income
    // statement and the balance sheet while a comparison book is loaded.
    bool columnHeads = false;
    const BookNode* comparisonFiscalYear = nullptr;
};

// Appends company and fiscal year, the title and an empty line. Control characters at the
// start of the title (a style marker) go in front of the first line too.
void AddReportHeader(std::string_view title, const HeaderSource& source, ReportLines& lines);

// Replaces the lines with the ledger of the chosen period: per account an opening line, one
// line per posting in the period (with the running balance when intermediateBalances is set),
// a count-and-totals line and the closing balance; at the end the totals of all accounts.
// Nothing at all when the book has no fiscal year. The caller clears the ledger's stale bit.
void BuildLedger(const AccountIndex& index, const ChosenPeriod& period,
                 std::string_view periodTitle, bool intermediateBalances, ReportLines& lines);

} // namespace kp

// The journal listing: the journal view's vouchers as report lines for printing and copying.
#pragma once

#include "book/BookTree.h"
#include "book/ReportLines.h"
#include "ledger/JournalView.h"

#include <string_view>

namespace kp {

inline constexpr std::string_view kJournalColumns =
    "Tosite\tP\xE4iv\xE4ys\tTili/Selite\t\t\tDebet\tKredit";

// Builds the listing from the journal view as it shows its vouchers opened. header holds
// the report header lines (empty when the book has no fiscal year); periodText is the chooser's
// text and monthIndex its month index: 0 takes every voucher, 1..12 one month, 13..16 the three
// months of a quarter.
ReportLines BuildJournalListing(JournalView& journalView, const ReportLines& header,
                                std::string_view periodText, int monthIndex);
// The same listing made from the book: the journal view's texts are made voucher by voucher and
// not kept, for a session that never shows the view. With a sink the lines go on to it as they
// are made, and none is returned.
ReportLines BuildJournalListing(const JournalSource& source, const ReportLines& header,
                                std::string_view periodText, int monthIndex,
                                ByteSink* sink = nullptr);

// Whether a voucher of the given month belongs to the month chooser's choice.
bool MonthMatches(int voucherMonth, int monthIndex);

} // namespace kp

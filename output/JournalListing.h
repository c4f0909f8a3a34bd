// The journal listing: the journal view's vouchers as report lines for printing and copying.
#pragma once

#include "book/BookTree.h"
#include "book/ReportLines.h"
#include "book/TextHelpers.h"

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace kp {

inline constexpr std::string_view kJournalColumns =
    "Tosite\tP\xE4iv\xE4ys\tTili/Selite\t\t\tDebet\tKredit";

// Builds the listing voucher by voucher from texts of the journal view's form (a voucher node's
// text and its line nodes' texts), whether they come from the view or are made from the book.
// lineCount and byteCount are what the vouchers are expected to take, reserved at once.
class JournalListingBuilder {
  public:
    JournalListingBuilder(const ReportLines& header, int monthIndex, std::size_t lineCount,
                          std::size_t byteCount);
    void addVoucher(std::string_view text, std::span<const std::string_view> entries);
    ReportLines finish(std::string_view periodText);

  private:
    int m_monthIndex;
    ReportLines m_lines;
    Cents m_totalDebit = 0;
    Cents m_totalCredit = 0;
    std::string m_line; // reused: the lines themselves are packed into one buffer
    std::string m_amount;
};

// Builds the listing from the journal view tree (root, voucher nodes, line nodes). header holds
// the report header lines (empty when the book has no fiscal year); periodText is the chooser's
// text and monthIndex its month index: 0 takes every voucher, 1..12 one month, 13..16 the three
// months of a quarter.
ReportLines BuildJournalListing(const BookTree& journalView, const ReportLines& header,
                                std::string_view periodText, int monthIndex);

// Whether a voucher of the given month belongs to the month chooser's choice.
bool MonthMatches(int voucherMonth, int monthIndex);

} // namespace kp

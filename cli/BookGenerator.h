// A deterministic generator of large realistic books, for benchmarks and trials.
#pragma once

#include "book/BookTree.h"

#include <cstdint>
#include <string>

namespace kp {

// Fills the empty tree with a calendar-year book of a trading company: a chart of about a
// hundred accounts with VAT classes, an opening voucher and `vouchers` vouchers of three or four
// lines with dates across the year. The same seed gives the same book.
void GenerateBook(BookTree& tree, int vouchers, std::uint32_t seed);
// The same book as nested-list file text, made voucher by voucher: no tree of the whole book
// is built, so a book of millions of vouchers costs little more memory than its text.
std::string GenerateBookText(int vouchers, std::uint32_t seed);

} // namespace kp

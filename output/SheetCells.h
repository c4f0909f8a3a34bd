// A page's lines as spreadsheet cells: style markers taken off, columns split at TABs, text in
// UTF-8, amounts and counts as numbers; and the page as CSV for a spreadsheet.
#pragma once

#include "book/FileIo.h"
#include "book/ReportLines.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kp {

enum class CellKind { Empty, Text, Amount, Count };

struct SheetCell {
    CellKind kind = CellKind::Empty;
    std::string text;       // UTF-8 text; for a number, as a spreadsheet reads it ("1234,50")
    std::int64_t value = 0; // Amount: cents; Count: the count
};

struct SheetRow {
    std::vector<SheetCell> cells;
    bool bold = false;      // the line was bold on the page (an account's or voucher's heading)
    bool underline = false; // the column headings' line
};

// One page line as a row. Leading blanks (a statement's indentation) stay; trailing ones go.
SheetRow PageRow(std::string_view line);

// The shape of a page as a sheet: how many rows at the top are its title (the report header,
// through the column headings when the page has them), how many columns the widest row has, and
// a width in characters for each column from the rows below the title.
struct SheetShape {
    std::size_t headerRows = 0;
    std::size_t columns = 0;
    std::vector<std::size_t> widths;
};
SheetShape PageSheetShape(const ReportLines& lines);

// The page as CSV: UTF-8 with a byte order mark, ";" between fields, CR LF after every row,
// fields quoted as RFC 4180 says (and those with edge blanks, so that they are kept), amounts
// with a decimal comma and no thousands separator; every row as wide as the widest.
std::string PageToCsv(const ReportLines& lines);
void WritePageCsv(const ReportLines& lines, ByteSink& sink);

} // namespace kp

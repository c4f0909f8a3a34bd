// A page's lines as spreadsheet cells, and the page as CSV.
#include "output/SheetCells.h"

#include "book/TextHelpers.h"
#include "book/Win1252.h"

#include <algorithm>

namespace kp {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Whole digits within a size that an int64 of cents holds with room to spare.
bool ReadDigits(std::string_view digits, std::int64_t& value) {
    if (digits.empty() || digits.size() > 15 || !std::all_of(digits.begin(), digits.end(), IsDigit))
        return false;
    value = 0;
    for (char c : digits)
        value = value * 10 + (c - '0');
    return true;
}

// "1234,50" and "-98,00" are amounts, "4" (a voucher number) a count; "1050 Aineettomat",
// "31.12.2026" and "25,5 %" stay text. A count with a leading zero would lose it, so it is text.
SheetCell Cell(std::string_view field) {
    SheetCell cell;
    while (!field.empty() && field.back() == ' ')
        field.remove_suffix(1);
    if (field.empty())
        return cell;
    const bool negative = field.front() == '-';
    const std::string_view magnitude = negative ? field.substr(1) : field;
    const size_t comma = magnitude.find(',');
    std::int64_t whole = 0;
    std::int64_t cents = 0;
    if (comma != std::string_view::npos && magnitude.size() - comma == 3 &&
        ReadDigits(magnitude.substr(0, comma), whole) &&
        ReadDigits(magnitude.substr(comma + 1), cents)) {
        cell.kind = CellKind::Amount;
        cell.value = negative ? -(whole * 100 + cents) : whole * 100 + cents;
        cell.text = CentsToText(cell.value);
        return cell;
    }
    if (!negative && (magnitude.size() == 1 || magnitude.front() != '0') &&
        ReadDigits(magnitude, whole)) {
        cell.kind = CellKind::Count;
        cell.value = whole;
        cell.text = std::string(magnitude);
        return cell;
    }
    cell.kind = CellKind::Text;
    cell.text = Win1252ToUtf8(field);
    return cell;
}

size_t Utf8Width(std::string_view s) {
    return static_cast<size_t>(
        std::count_if(s.begin(), s.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

void AppendCsvField(ByteSink& out, const std::string& text) {
    const bool quote = text.find_first_of(";\"\r\n") != std::string::npos ||
                       (!text.empty() && (text.front() == ' ' || text.back() == ' '));
    if (!quote) {
        out << text;
        return;
    }
    out << '"';
    for (char c : text) {
        if (c == '"')
            out << '"';
        out << c;
    }
    out << '"';
}

} // namespace

SheetRow PageRow(std::string_view line) {
    SheetRow row;
    if (!line.empty() && (line.front() == kBoldMarker || line.front() == kBoldUnderlineMarker)) {
        row.bold = true;
        row.underline = line.front() == kBoldUnderlineMarker;
        line.remove_prefix(1);
    }
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t'))
        line.remove_suffix(1);
    if (line.empty())
        return row;
    size_t start = 0;
    while (true) {
        const size_t tab = line.find('\t', start);
        row.cells.push_back(Cell(line.substr(start, tab - start)));
        if (tab == std::string_view::npos)
            break;
        start = tab + 1;
    }
    return row;
}

SheetShape PageSheetShape(const ReportLines& lines) {
    SheetShape shape;
    // The title block ends at the first empty line; a line of column headings (underlined)
    // right after it belongs to the title too. Pages without a title (the chart) start at once.
    constexpr size_t kTitleLines = 3;
    for (size_t i = 0; i < lines.size() && i <= kTitleLines; ++i) {
        if (!lines[i].empty())
            continue;
        shape.headerRows = i;
        size_t next = i + 1;
        while (next < lines.size() && lines[next].empty())
            ++next;
        if (next < lines.size() && lines[next].front() == kBoldUnderlineMarker)
            shape.headerRows = next + 1;
        break;
    }
    for (size_t i = 0; i < lines.size(); ++i) {
        const SheetRow row = PageRow(lines[i]);
        shape.columns = std::max(shape.columns, row.cells.size());
        // A title or a one-field line (a statement's group heading) runs on over its neighbours
        // and does not widen the first column.
        if (i < shape.headerRows || row.cells.size() < 2)
            continue;
        if (shape.widths.size() < row.cells.size())
            shape.widths.resize(row.cells.size());
        for (size_t c = 0; c < row.cells.size(); ++c)
            shape.widths[c] = std::max(shape.widths[c], Utf8Width(row.cells[c].text));
    }
    return shape;
}

std::string PageToCsv(const ReportLines& lines) {
    std::string text;
    text.reserve(lines.byteSize() + 4 * lines.size() + 3);
    ByteSink sink(text);
    WritePageCsv(lines, sink);
    return text;
}

void WritePageCsv(const ReportLines& lines, ByteSink& out) {
    const size_t columns = std::max<size_t>(PageSheetShape(lines).columns, 1);
    out << "\xEF\xBB\xBF";
    for (std::string_view line : lines) {
        const SheetRow row = PageRow(line);
        for (size_t c = 0; c < columns; ++c) {
            if (c > 0)
                out << ';';
            if (c < row.cells.size())
                AppendCsvField(out, row.cells[c].text);
        }
        out << "\r\n";
    }
}

} // namespace kp

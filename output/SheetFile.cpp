// A page written as a spreadsheet file: .xlsx through libxlsxwriter, or CSV.
#include "output/SheetFile.h"

#include "book/FileIo.h"
#include "output/SheetCells.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>
#include <xlsxwriter.h>

namespace kp {
namespace {

// The most rows one sheet holds.
constexpr std::size_t kMaxSheetRows = 1048576;

// The workbook's cell formats: plain, bold, bold underlined; each for text and for amounts.
class Formats {
  public:
    explicit Formats(lxw_workbook* book) {
        for (int style = 0; style < 3; ++style)
            for (int amount = 0; amount < 2; ++amount) {
                lxw_format* f = workbook_add_format(book);
                if (style > 0)
                    format_set_bold(f);
                if (style == 2)
                    format_set_underline(f, LXW_UNDERLINE_SINGLE);
                if (amount)
                    format_set_num_format(f, "#,##0.00");
                m_formats[static_cast<size_t>(style * 2 + amount)] = f;
            }
    }
    lxw_format* get(bool bold, bool underline, bool amount) const {
        const int style = underline ? 2 : bold ? 1 : 0;
        return m_formats[static_cast<size_t>(style * 2 + (amount ? 1 : 0))];
    }

  private:
    std::array<lxw_format*, 6> m_formats{};
};

FileResult WriteWorkbook(const ReportLines& lines, const std::string& fileName) {
    // Rows go out one by one, so that the ledger of a large book does not sit in memory twice.
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    lxw_workbook* book = workbook_new_opt(fileName.c_str(), &options);
    if (!book)
        return FileResult::failure("Taulukkoa ei voi luoda: " + fileName);
    lxw_worksheet* sheet = workbook_add_worksheet(book, "Sivu");
    const Formats formats(book);
    const SheetShape shape = PageSheetShape(lines);
    for (size_t c = 0; c < shape.widths.size(); ++c)
        worksheet_set_column(sheet, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c),
                             static_cast<double>(std::clamp<size_t>(shape.widths[c], 4, 50) + 2),
                             nullptr);
    if (shape.headerRows > 0)
        worksheet_freeze_panes(sheet, static_cast<lxw_row_t>(shape.headerRows), 0);
    lxw_error error = LXW_NO_ERROR;
    for (size_t r = 0; r < lines.size() && error == LXW_NO_ERROR; ++r) {
        const SheetRow row = PageRow(lines[r]);
        const bool bold = row.bold || r < shape.headerRows;
        for (size_t c = 0; c < row.cells.size() && error == LXW_NO_ERROR; ++c) {
            const SheetCell& cell = row.cells[c];
            const auto at = static_cast<lxw_row_t>(r);
            const auto col = static_cast<lxw_col_t>(c);
            switch (cell.kind) {
            case CellKind::Empty:
                break;
            case CellKind::Text:
                error = worksheet_write_string(sheet, at, col, cell.text.c_str(),
                                               formats.get(bold, row.underline, false));
                break;
            case CellKind::Amount:
                error =
                    worksheet_write_number(sheet, at, col, static_cast<double>(cell.value) / 100,
                                           formats.get(bold, row.underline, true));
                break;
            case CellKind::Count:
                error = worksheet_write_number(sheet, at, col, static_cast<double>(cell.value),
                                               formats.get(bold, row.underline, false));
                break;
            }
        }
    }
    const lxw_error closed = workbook_close(book);
    if (error == LXW_NO_ERROR)
        error = closed;
    if (error != LXW_NO_ERROR)
        return FileResult::failure("Taulukon kirjoitus ep\u00e4onnistui: " +
                                   std::string(lxw_strerror(error)));
    return FileResult::success();
}

} // namespace

SheetFormat SheetFormatOf(const std::string& fileName) {
    std::string tail = fileName.size() >= 4 ? fileName.substr(fileName.size() - 4) : "";
    std::transform(tail.begin(), tail.end(), tail.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return tail == ".csv" ? SheetFormat::Csv : SheetFormat::Xlsx;
}

FileResult PageToXlsx(const ReportLines& lines, std::string& bytes) {
    if (lines.size() > kMaxSheetRows)
        return FileResult::failure("Sivulla on " + std::to_string(lines.size()) +
                                   " rivi\u00e4; taulukkoon mahtuu enint\u00e4\u00e4n " +
                                   std::to_string(kMaxSheetRows) + ".");
    // libxlsxwriter writes to a file of its own; the bytes are taken from there.
    std::string name = (std::filesystem::temp_directory_path() / "kirjanpito-XXXXXX.xlsx").string();
    const int fd = mkstemps(name.data(), 5);
    if (fd < 0)
        return FileResult::failure("Tilap\u00e4istiedostoa ei voi luoda taulukolle");
    close(fd);
    FileResult result = WriteWorkbook(lines, name);
    if (result && !ReadWholeFile(name, bytes))
        result = FileResult::failure("Taulukkoa ei voi lukea tilap\u00e4istiedostosta " + name);
    std::error_code ignored;
    std::filesystem::remove(name, ignored);
    return result;
}

FileResult SavePageSheet(const ReportLines& lines, const std::string& fileName,
                         SheetFormat format) {
    std::string bytes;
    if (format == SheetFormat::Xlsx)
        if (FileResult r = PageToXlsx(lines, bytes); !r)
            return r;
    const ByteSource source = [&](ByteSink& sink) {
        if (format == SheetFormat::Csv)
            WritePageCsv(lines, sink);
        else
            sink << bytes;
    };
    if (FileResult r = WriteFileReplacing(fileName, source); !r)
        return FileResult::failure("Tiedostoa " + fileName + " ei voi kirjoittaa\n" + r.message);
    return FileResult::success();
}

} // namespace kp

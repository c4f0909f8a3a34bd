// A page written as a spreadsheet file: .xlsx through libxlsxwriter, or CSV.
#pragma once

#include "book/FileResult.h"
#include "book/ReportLines.h"

#include <string>

namespace kp {

enum class SheetFormat { Xlsx, Csv };

// ".csv" (in any case) names a CSV file; any other name an .xlsx workbook.
SheetFormat SheetFormatOf(const std::string& fileName);

// The page as the bytes of an .xlsx workbook: one sheet, the title rows bold and frozen above
// the rest, bold lines bold, amounts as numbers shown with two decimals.
FileResult PageToXlsx(const ReportLines& lines, std::string& bytes);

// Writes the page in the format to the file, replacing it only once the whole file is written.
FileResult SavePageSheet(const ReportLines& lines, const std::string& fileName, SheetFormat format);

} // namespace kp

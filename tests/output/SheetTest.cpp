// A page as a spreadsheet: cells from page lines, the title rows, and the CSV and .xlsx files
// read back.
#include "output/SheetCells.h"
#include "output/SheetFile.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <regex>

namespace kp {
namespace {

// A row in a form a table can spell out: "B" bold, "U" underlined, then each cell.
std::string Describe(const SheetRow& row) {
    std::string out = std::string(row.bold ? "B" : "") + (row.underline ? "U" : "");
    for (const SheetCell& cell : row.cells) {
        out += ' ';
        switch (cell.kind) {
        case CellKind::Empty:
            out += '_';
            break;
        case CellKind::Text:
            out += "T(" + cell.text + ")";
            break;
        case CellKind::Amount:
            out += "A(" + std::to_string(cell.value) + "=" + cell.text + ")";
            break;
        case CellKind::Count:
            out += "C(" + std::to_string(cell.value) + ")";
            break;
        }
    }
    return out;
}

TEST(PageSheet, LinesBecomeCells) {
    const struct {
        const char* name;
        const char* line;
        const char* cells;
    } rows[] = {
        {"an account's bold line",
         "\x02"
         "1700 Myyntisaamiset\t\tAlkusaldo\t\t\t\t27909,80",
         "B T(1700 Myyntisaamiset) _ T(Alkusaldo) _ _ _ A(2790980=27909,80)"},
        {"a posting: voucher number, Windows-1252 text, date, amount",
         "\t4\tPROJ \xE4\xF6\t30.01.2026\t14056,00\t",
         " _ C(4) T(PROJ \xC3\xA4\xC3\xB6) T(30.01.2026) A(1405600=14056,00)"},
        {"column headings", "\x1FTili\tDebet", "BU T(Tili) T(Debet)"},
        {"a statement line keeps its indentation", "    4000 Tavaraostot\t-9300,05",
         " T(    4000 Tavaraostot) A(-930005=-9300,05)"},
        {"numbers only in their exact form", "0012\t25,5\t1,234\t1.234,50\t-4\t12 %",
         " T(0012) T(25,5) T(1,234) T(1.234,50) T(-4) T(12 %)"},
        {"trailing blanks go", "Tase  ", " T(Tase)"},
        {"an empty line", "", ""},
    };
    for (const auto& row : rows)
        EXPECT_EQ(Describe(PageRow(row.line)), row.cells) << row.name;
}

TEST(PageSheet, TitleRowsRunThroughTheColumnHeadings) {
    const struct {
        const char* name;
        ReportLines lines;
        size_t headerRows;
        size_t columns;
    } rows[] = {
        {"ledger",
         {"\x02"
          "Oy",
          "\x02P\xE4\xE4kirja", "", "\x1FTili\tTosite\tSaldo", "", "\t1\t2,00"},
         4,
         3},
        {"statement", {"Oy\t31.12.2026\t31.12.2025", "Tase  ", "", "Vastaavaa"}, 2, 3},
        {"chart without a title", {"1050 A", "1090 B", "1150 C", "1180 D", "", "1300 E"}, 0, 1},
        {"empty page", {}, 0, 0},
    };
    for (const auto& row : rows) {
        const SheetShape shape = PageSheetShape(row.lines);
        EXPECT_EQ(shape.headerRows, row.headerRows) << row.name;
        EXPECT_EQ(shape.columns, row.columns) << row.name;
    }
}

// RFC 4180 records separated by CR LF, fields by ";", quoted fields with doubled quotes.
std::vector<std::vector<std::string>> ParseCsv(std::string_view text) {
    std::vector<std::vector<std::string>> records(1, std::vector<std::string>(1));
    bool quoted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        std::string& field = records.back().back();
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"')
                field += text[++i];
            else if (c == '"')
                quoted = false;
            else
                field += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ';') {
            records.back().emplace_back();
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            ++i;
            records.emplace_back(1);
        } else {
            field += c;
        }
    }
    records.pop_back(); // after the last CR LF
    return records;
}

TEST(PageSheet, CsvReadsBackAsTheCells) {
    const ReportLines lines{"\x02Oy Caf\xE9", "", "\x1FSelite\tDebet\tKredit",
                            "\tLasku \"A\"; 2 kpl\t1234,50\t", "  Yht.\t-0,50\t7"};
    const std::string csv = PageToCsv(lines);
    ASSERT_EQ(csv.substr(0, 3), "\xEF\xBB\xBF");
    const std::vector<std::vector<std::string>> expected{
        {"Oy Caf\xC3\xA9", "", ""},    {"", "", ""},
        {"Selite", "Debet", "Kredit"}, {"", "Lasku \"A\"; 2 kpl", "1234,50"},
        {"  Yht.", "-0,50", "7"},
    };
    EXPECT_EQ(ParseCsv(std::string_view(csv).substr(3)), expected);
}

// One part of an .xlsx file, through unzip.
std::string Unzip(const std::string& file, const char* part) {
    std::string text;
    const std::string command = "unzip -p '" + file + "' " + part;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            text.append(buffer, n);
        pclose(pipe);
    }
    return text;
}

std::vector<std::string> Matches(const std::string& text, const std::regex& pattern, int group) {
    std::vector<std::string> found;
    for (std::sregex_iterator it(text.begin(), text.end(), pattern), end; it != end; ++it)
        found.push_back((*it)[group]);
    return found;
}

TEST(PageSheet, XlsxReadsBackWithNumbersAndBold) {
    const ReportLines lines{"\x02Oy Caf\xE9",
                            "\x02P\xE4\xE4kirja",
                            "",
                            "\x1FTili\tTosite\tSelite\tDebet",
                            "",
                            "\x02"
                            "1910 Pankki\t\tAlkusaldo\t1234,50",
                            "\t12\tMaksu & <kulu>\t-0,05"};
    std::string bytes;
    ASSERT_TRUE(PageToXlsx(lines, bytes));
    const std::string file =
        (std::filesystem::temp_directory_path() / "kp-sheet-test.xlsx").string();
    std::ofstream(file, std::ios::binary) << bytes;
    const std::string sheet = Unzip(file, "xl/worksheets/sheet1.xml");
    const std::string styles = Unzip(file, "xl/styles.xml");
    std::filesystem::remove(file);
    ASSERT_FALSE(sheet.empty());

    // Styles: a cell's s= picks an xf, whose font may be bold and whose number format may be ours.
    const std::vector<std::string> fonts = Matches(styles, std::regex("<font>(.*?)</font>"), 1);
    const std::string xfs = Matches(styles, std::regex("<cellXfs[^>]*>(.*?)</cellXfs>"), 1).at(0);
    const std::regex xf("<xf numFmtId=\"(\\d+)\" fontId=\"(\\d+)\"");
    const std::vector<std::string> xfFormats = Matches(xfs, xf, 1);
    const std::vector<std::string> xfFonts = Matches(xfs, xf, 2);
    std::map<std::string, std::string> formatCodes{{"0", "General"}};
    const std::regex numFmt("<numFmt numFmtId=\"(\\d+)\" formatCode=\"([^\"]*)\"");
    for (std::sregex_iterator it(styles.begin(), styles.end(), numFmt), end; it != end; ++it)
        formatCodes[(*it)[1]] = (*it)[2];

    struct Read {
        std::string value;
        bool bold = false;
        std::string format;
    };
    std::map<std::string, Read> cells;
    const std::regex cell("<c r=\"([A-Z]+[0-9]+)\"(?: s=\"(\\d+)\")?[^>]*>"
                          "(?:<v>([^<]*)</v>|<is><t[^>]*>([^<]*)</t></is>)</c>");
    for (std::sregex_iterator it(sheet.begin(), sheet.end(), cell), end; it != end; ++it) {
        const size_t s = (*it)[2].matched ? std::stoul((*it)[2]) : 0;
        cells[(*it)[1]] = {(*it)[3].matched ? "=" + std::string((*it)[3]) : std::string((*it)[4]),
                           fonts.at(std::stoul(xfFonts.at(s))).find("<b/>") != std::string::npos,
                           formatCodes.at(xfFormats.at(s))};
    }

    const struct {
        const char* ref;
        const char* value; // "=" before a number
        bool bold;
        const char* format;
    } rows[] = {
        {"A1", "Oy Caf\xC3\xA9", true, "General"},
        {"A2", "P\xC3\xA4\xC3\xA4kirja", true, "General"},
        {"A4", "Tili", true, "General"},
        {"B4", "Tosite", true, "General"},
        {"C4", "Selite", true, "General"},
        {"D4", "Debet", true, "General"},
        {"A6", "1910 Pankki", true, "General"},
        {"C6", "Alkusaldo", true, "General"},
        {"D6", "=1234.5", true, "#,##0.00"},
        {"B7", "=12", false, "General"},
        {"C7", "Maksu &amp; &lt;kulu&gt;", false, "General"},
        {"D7", "=-0.05", false, "#,##0.00"},
    };
    for (const auto& row : rows) {
        ASSERT_TRUE(cells.count(row.ref)) << row.ref << " missing in " << sheet;
        EXPECT_EQ(cells[row.ref].value, row.value) << row.ref;
        EXPECT_EQ(cells[row.ref].bold, row.bold) << row.ref;
        EXPECT_EQ(cells[row.ref].format, row.format) << row.ref;
    }
    EXPECT_EQ(cells.size(), std::size(rows));                       // nothing in the empty cells
    EXPECT_NE(sheet.find("<pane ySplit=\"4\""), std::string::npos); // the title stays in view
}

} // namespace
} // namespace kp

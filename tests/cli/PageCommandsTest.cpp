// The page commands' contract: options, errors, and the same bytes to a file as to stdout.
#include "book/FileIo.h"
#include "tests/cli/CliRun.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>

namespace kp {
namespace {

const std::string& kBook = kExampleBook;

TEST(PageCommands, RefusesBadInputWithAMessage) {
    const struct {
        const char* name;
        std::vector<std::string> args;
        int rc;
        const char* err;
    } rows[] = {
        {"unknown page", {"export", "cash", kBook}, 2, "Tuntematon sivu: cash"},
        {"missing settings file",
         {"export", "vat", kBook, "--settings", "/nonexistent/k.ini"},
         1,
         "Cannot open file /nonexistent/k.ini"},
        {"period too large",
         {"export", "ledger", kBook, "--period", "17"},
         2,
         "Virheellinen jakso: 17"},
        {"period not a number",
         {"export", "ledger", kBook, "--period", "x"},
         2,
         "Virheellinen jakso: x"},
        {"option without value", {"export", "ledger", kBook, "--filter"}, 2, "puuttuu arvo"},
        {"unknown option", {"export", "ledger", kBook, "--fast"}, 2, "Tuntematon valitsin"},
        {"missing book",
         {"export", "ledger", "/nonexistent/x.tlk"},
         1,
         "Cannot open file /nonexistent/x.tlk"},
        {"missing comparison book",
         {"export", "income", kBook, "--compare", "/nonexistent/y.tlk"},
         1,
         "Cannot open file /nonexistent/y.tlk"},
        {"filter the book cannot hold",
         {"export", "income", kBook, "--filter", "\xE2\x82\xAC\xE2\x9C\x93"},
         2,
         "ei voi tallentaa"},
        {"view of an unknown tree", {"view", "ledger", kBook}, 2, "K\xC3\xA4ytt\xC3\xB6"},
        {"unknown sheet format",
         {"export", "ledger", kBook, "--format", "ods"},
         2,
         "Tuntematon muoto: ods"},
        {"sheet format on report",
         {"report", "ledger", kBook, "--format", "csv"},
         2,
         "Tuntematon valitsin: --format"},
        {"sheet to a missing folder",
         {"export", "ledger", kBook, "--format", "xlsx", "-o", "/nonexistent/x.xlsx"},
         1,
         "Tiedostoa /nonexistent/x.xlsx ei voi kirjoittaa"},
    };
    for (const auto& row : rows) {
        const CliResult r = Cli(row.args);
        EXPECT_EQ(r.rc, row.rc) << row.name;
        EXPECT_NE(r.err.find(row.err), std::string::npos) << row.name << ": " << r.err;
    }
}

// The ledger and the journal are written while they are made; a command that fails leaves an
// earlier file as it was.
TEST(PageCommands, WritesTheSameBytesToAFileAsToStandardOutput) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / "kp-page-commands-out";
    std::filesystem::create_directories(folder);
    const std::string file = (folder / "page.csv").string();
    for (const char* page : {"ledger", "journal", "vat"}) {
        const CliResult toStdout = Cli({"export", page, kBook, "--period", "2"});
        ASSERT_EQ(Cli({"export", page, kBook, "--period", "2", "-o", file}).rc, 0);
        std::string written;
        ASSERT_TRUE(ReadWholeFile(file, written));
        EXPECT_EQ(written, toStdout.out) << page;
        if (std::string_view(page) != "vat") { // the bold header keeps its marker
            EXPECT_EQ(written.substr(0, 1), "\x02") << page;
        }
        const CliResult failed = Cli({"export", page, "/nonexistent/x.tlk", "-o", file});
        EXPECT_EQ(failed.rc, 1) << page;
        EXPECT_EQ(failed.out, "") << page;
        std::string after;
        ASSERT_TRUE(ReadWholeFile(file, after));
        EXPECT_EQ(after, written) << page;
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1) << page;
    }
    std::filesystem::remove_all(folder);
}

// The file's first bytes tell the format: CSV starts with the UTF-8 byte order mark, .xlsx is zip.
TEST(PageCommands, ExportsASpreadsheetToAFileOrStandardOutput) {
    const std::string file =
        (std::filesystem::temp_directory_path() / "kp-page-commands-sheet").string();
    const struct {
        const char* format;
        const char* start;
    } rows[] = {{"csv", "\xEF\xBB\xBF"
                        "Esimerkki Oy"},
                {"xlsx", "PK\x03\x04"}};
    for (const auto& row : rows) {
        const CliResult toStdout = Cli({"export", "ledger", kBook, "--format", row.format});
        ASSERT_EQ(toStdout.rc, 0) << toStdout.err;
        ASSERT_EQ(Cli({"export", "ledger", kBook, "--format", row.format, "-o", file}).rc, 0);
        std::string written;
        ASSERT_TRUE(ReadWholeFile(file, written));
        std::filesystem::remove(file);
        EXPECT_EQ(written.rfind(row.start, 0), 0u) << row.format;
        EXPECT_EQ(toStdout.out.rfind(row.start, 0), 0u) << row.format;
        if (std::string_view(row.format) == "csv") {
            EXPECT_EQ(written.find('\x02'), std::string::npos); // no style bytes
        }
    }
}

TEST(PageCommands, ReportIsReadableText) {
    const CliResult r = Cli({"report", "ledger", kBook, "--period", "2"});
    ASSERT_EQ(r.rc, 0) << r.err;
    EXPECT_EQ(r.out.find('\x02'), std::string::npos);
    EXPECT_EQ(r.out.find('\t'), std::string::npos);
    EXPECT_EQ(r.out.find('\r'), std::string::npos);
    EXPECT_NE(r.out.find("Pääkirja Helmikuu"), std::string::npos);
}

TEST(PageCommands, AQuarterSelectsItsThreeMonthsInTheJournal) {
    const CliResult q = Cli({"export", "journal", kBook, "--period", "13"});
    std::string months;
    for (const char* m : {"1", "2", "3"}) {
        const CliResult r = Cli({"export", "journal", kBook, "--period", m});
        months += r.out;
    }
    ASSERT_EQ(q.rc, 0);
    // Every voucher line of January to March appears in the quarter's listing.
    std::istringstream lines(months);
    std::string line;
    int vouchers = 0;
    while (std::getline(lines, line))
        if (line.size() > 1 && line[0] == '\x02' && line[1] >= '0' && line[1] <= '9') {
            ++vouchers;
            EXPECT_NE(q.out.find(line), std::string::npos) << line;
        }
    EXPECT_GT(vouchers, 10);
}

TEST(PageCommands, FilterNarrowsTheStatementsAndNamesItInTheTitle) {
    const CliResult all = Cli({"export", "income", kBook});
    const CliResult proj = Cli({"export", "income", kBook, "--filter", "PROJ"});
    ASSERT_EQ(proj.rc, 0) << proj.err;
    EXPECT_NE(proj.out.find("Tuloslaskelma  PROJEKTI PROJ \r\n"), std::string::npos) << proj.out;
    EXPECT_NE(all.out, proj.out);
    const CliResult blank = Cli({"export", "income", kBook, "--filter", "   "});
    EXPECT_EQ(blank.out, all.out); // an empty filter text turns the filter off
}

} // namespace
} // namespace kp

// The year-end commands: new fiscal year, new company and VAT rate change from the command line.
#include "book/BookFile.h"
#include "book/BookQueries.h"
#include "tests/cli/CliRun.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>

namespace kp {
namespace {

namespace fs = std::filesystem;

const std::string& kBook = kExampleBook;
const std::string& kLastYear = kExampleLastYear;

class PeriodCommands : public ::testing::Test {
  protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() /
                ("kp-period-cli-" +
                 std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }
    std::string path(const std::string& name) const { return (m_dir / name).string(); }
    fs::path m_dir;
};

TEST_F(PeriodCommands, NewYearAsksAndStopsUnlessTold) {
    const std::vector<std::string> base = {"new-year", kBook,          path("2027.tlk"),
                                           "--name",   "Esimerkki Oy", "--start",
                                           "1.1.2027", "--end",        "31.12.2027"};
    const CliResult asked = Cli(base);
    EXPECT_EQ(asked.rc, 1);
    EXPECT_NE(asked.err.find("Summien ero 33806,83"), std::string::npos) << asked.err;
    EXPECT_FALSE(fs::exists(path("2027.tlk")));

    std::vector<std::string> yes = base;
    yes.push_back("--yes");
    const CliResult done = Cli(yes);
    ASSERT_EQ(done.rc, 0) << done.err;
    EXPECT_NE(done.err.find("Vientien ero 33806,83"), std::string::npos) << done.err;
    const CliResult info = Cli({"info", path("2027.tlk")});
    EXPECT_EQ(info.out, "Kirjanpito Esimerkki Oy 01.01.2027 - 31.12.2027\n"
                        "Tilikausi: kelvollinen\nTilejä: 80\nTositteita: 1\n");
}

TEST_F(PeriodCommands, NewYearFromAClosedYearCarriesItsBalanceSheet) {
    ASSERT_EQ(Cli({"new-year", kLastYear, path("2026.tlk"), "--name", "Esimerkki Oy", "--start",
                   "1.1.2026", "--end", "31.12.2026"})
                  .rc,
              0);
    // The closed 2025 year carries into an opening balance sheet equal to its closing one; only
    // accounts whose postings summed to nothing have no opening line.
    const CliResult closing = Cli({"export", "balance", kLastYear});
    const CliResult opening = Cli({"export", "balance", path("2026.tlk")});
    auto body = [](const std::string& text) {
        std::string kept;
        std::istringstream lines(text.substr(text.find("\r\n\r\n")));
        for (std::string line; std::getline(lines, line);)
            if (line.find("\t0,00\r") == std::string::npos)
                kept += line + "\n";
        return kept;
    };
    EXPECT_EQ(body(opening.out), body(closing.out));
}

TEST_F(PeriodCommands, NewCompanyStartsAnEmptyBook) {
    ASSERT_EQ(Cli({"new-company", path("uusi.tlk"), "--name", "Uusi \"Ö\" Oy", "--start",
                   "01.01.2027", "--end", "31.12.2027"})
                  .rc,
              0);
    BookTree book;
    ASSERT_TRUE(LoadBook(book, path("uusi.tlk")).ok);
    EXPECT_EQ(CompanyName(book), "Uusi \"\xD6\" Oy"); // read between the first pair of quotes
    EXPECT_EQ(Cli({"info", path("uusi.tlk")}).out.substr(0, 21), "Kirjanpito Uusi \"\xC3\x96\" ");
}

TEST_F(PeriodCommands, VatRateChangesRatesAndNamesWhereTheRateStands) {
    ASSERT_EQ(Cli({"vat-rate", kLastYear, path("vr.tlk"), "14=13,5"}).rc, 0);
    const std::string chart = Cli({"view", "chart", path("vr.tlk")}).out;
    EXPECT_EQ(chart.find("14"), std::string::npos);
    EXPECT_NE(chart.find("3020 Kirjamyynti 13,5 %"), std::string::npos);
    const CliResult bad = Cli({"vat-rate", kLastYear, path("x.tlk"), "17=18"});
    EXPECT_EQ(bad.rc, 1);
    EXPECT_NE(bad.err.find("Kirjassa ei ole alv-kantaa 17"), std::string::npos);
    EXPECT_EQ(Cli({"vat-rate", kLastYear, path("x.tlk"), "17"}).rc, 2);
}

} // namespace
} // namespace kp

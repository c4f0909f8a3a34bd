// Values on the command line that are not what the option asks for: refused with a message and
// a usage exit status before anything is written; and the fiscal-year check of info.
#include "tests/cli/CliRun.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace kp {
namespace {

namespace fs = std::filesystem;

struct BadValue {
    const char* name;
    std::vector<std::string> args; // "OUT" stands for a file in the test's folder
    const char* err;
};

class CommandLineValues : public testing::TestWithParam<BadValue> {};

TEST_P(CommandLineValues, AreRefusedAndNothingIsWritten) {
    const fs::path dir = fs::temp_directory_path() / ("kp-values-" + std::string(GetParam().name));
    fs::remove_all(dir);
    fs::create_directories(dir);
    std::vector<std::string> args = GetParam().args;
    for (std::string& a : args)
        if (a == "OUT")
            a = (dir / "out.tlk").string();
    const CliResult r = Cli(args);
    EXPECT_EQ(r.rc, 2);
    EXPECT_NE(r.err.find(GetParam().err), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(fs::is_empty(dir));
    fs::remove_all(dir);
}

const std::string& kBook = kExampleBook;
const char* const kNotARate = "Virheellinen alv-kanta: ";
const char* const kNotADate = "Virheellinen p\u00e4iv\u00e4ys: ";

std::vector<std::string> NewCompany(const std::string& start, const std::string& end) {
    return {"new-company", "OUT", "--name", "Oy", "--start", start, "--end", end};
}

const BadValue kBadValues[] = {
    {"RateThatIsNotANumber", {"vat-rate", kBook, "OUT", "25,5=abc"}, kNotARate},
    {"NegativeRate", {"vat-rate", kBook, "OUT", "24=-1"}, kNotARate},
    {"EmptyNewRate", {"vat-rate", kBook, "OUT", "24="}, kNotARate},
    {"RateTooLargeToHold", {"vat-rate", kBook, "OUT", "10=99999999999"}, kNotARate},
    {"RateAboveHundred", {"vat-rate", kBook, "OUT", "24=101"}, kNotARate},
    {"RateWithThreeDecimals", {"vat-rate", kBook, "OUT", "24=25,555"}, kNotARate},
    {"OldRateThatIsNotANumber", {"vat-rate", kBook, "OUT", "abc=25"}, kNotARate},
    {"ChangeWithoutEquals", {"vat-rate", kBook, "OUT", "24"}, "Virheellinen muutos: 24"},
    {"SameRateTwice", {"vat-rate", kBook, "OUT", "24=25", "24,00=26"}, "annettu kahdesti"},
    {"YearOnACalendarYearBook",
     {"export", "ledger", kBook, "--year", "1999"},
     "Vuotta 1999 ei ole tilikauden vuosiluettelossa"},
    {"TheBooksOwnYearWhenItHasNoList",
     {"export", "vat", kBook, "--year", "2026"},
     "--year ei ole k\u00e4yt\u00f6ss\u00e4"},
    {"PeriodOutOfRange", {"export", "ledger", kBook, "--period", "17"}, "Virheellinen jakso: 17"},
    {"NegativePeriod", {"export", "ledger", kBook, "--period", "-1"}, "Virheellinen jakso: -1"},
    {"PeriodWithTrailingLetter",
     {"export", "ledger", kBook, "--period", "5x"},
     "Virheellinen jakso: 5x"},
    {"PeriodWithBlank", {"report", "vat", kBook, "--period", " 5"}, "Virheellinen jakso:  5"},
    {"VoucherCountNotANumber",
     {"generate", "--vouchers", "many", "OUT"},
     "Virheellinen luku: many"},
    {"VoucherCountNegative", {"generate", "--vouchers", "-5", "OUT"}, "Virheellinen luku: -5"},
    {"VoucherCountTooLarge",
     {"generate", "--vouchers", "20000000", "OUT"},
     "Virheellinen luku: 20000000"},
    {"SeedTooLarge",
     {"generate", "--vouchers", "5", "--seed", "99999999999", "OUT"},
     "Virheellinen luku: 99999999999"},
    {"NoSuchDay", NewCompany("01.01.2027", "31.02.2027"), kNotADate},
    {"DayZero", NewCompany("00.01.2027", "31.12.2027"), kNotADate},
    {"MonthThirteen", NewCompany("01.13.2027", "31.12.2027"), kNotADate},
    {"TwoDigitYear", NewCompany("1.1.27", "31.12.27"), kNotADate},
    {"IsoDate", NewCompany("2027-01-01", "31.12.2027"), kNotADate},
    {"EndBeforeStart", NewCompany("01.01.2027", "31.12.2026"), "Virheelliset p\u00e4iv\u00e4ykset"},
    {"NewYearOnNoSuchDay",
     {"new-year", kBook, "OUT", "--name", "Oy", "--start", "29.02.2027", "--end", "31.12.2027",
      "--yes"},
     kNotADate},
};

INSTANTIATE_TEST_SUITE_P(Cli, CommandLineValues, testing::ValuesIn(kBadValues),
                         [](const testing::TestParamInfo<BadValue>& p) { return p.param.name; });

TEST(FiscalYearCheck, ImpossibleDaysMakeTheYearInvalidInInfo) {
    const fs::path book = fs::temp_directory_path() / "kp-values-fiscal-year.tlk";
    for (const char* dates :
         {"(date 2025 1 1) (date 2025 13 45)", "(date 2027 1 1) (date 2027 2 31)",
          "(date 2027 1 0) (date 2027 12 31)"}) {
        std::ofstream(book, std::ios::binary)
            << "(identity (fiscal-year \"Oy\" " << dates << " (account-map) ()))";
        const CliResult r = Cli({"info", book.string()});
        EXPECT_EQ(r.rc, 0);
        EXPECT_NE(r.out.find("Tilikausi: Virheellinen tilikausi\n"), std::string::npos) << dates;
        EXPECT_EQ(r.err, "Virheellinen tilikausi\n") << dates; // what opening the book says
    }
    fs::remove(book);
}

} // namespace
} // namespace kp

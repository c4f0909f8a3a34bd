// Page exports of the example books compared with the files checked in under golden/.
// To accept a changed output after reviewing it:
//   KP_REGENERATE_GOLDEN=1 build/release/tests/cli/cli_tests --gtest_filter='Golden*'
#include "book/FileIo.h"
#include "cli/CliApp.h"

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace kp {
namespace {

const std::string kSource = KP_SOURCE_DIR;
const std::string kBook = kSource + "/examples/esimerkki-2026.tlk";
const std::string kLastYear = kSource + "/examples/esimerkki-2025.tlk";

struct GoldenCase {
    const char* name; // also the file name under tests/cli/golden/
    std::vector<std::string> args;
};

std::ostream& operator<<(std::ostream& os, const GoldenCase& c) {
    return os << c.name;
}

class Golden : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(Golden, MatchesTheCheckedInOutput) {
    const GoldenCase& c = GetParam();
    std::ostringstream out, err;
    ASSERT_EQ(RunCli(c.args, out, err), 0) << err.str();
    const std::string file = kSource + "/tests/cli/golden/" + c.name;
    if (std::getenv("KP_REGENERATE_GOLDEN")) {
        std::ofstream(file, std::ios::binary) << out.str();
        GTEST_SKIP() << "wrote " << file;
    }
    std::string expected;
    ASSERT_TRUE(ReadWholeFile(file, expected))
        << file << " is missing; make it with: KP_REGENERATE_GOLDEN=1 "
        << "build/release/tests/cli/cli_tests --gtest_filter='*" << c.name << "*'";
    EXPECT_EQ(out.str(), expected)
        << c.name << " differs from " << file << "; review the difference, then accept it with: "
        << "KP_REGENERATE_GOLDEN=1 build/release/tests/cli/cli_tests --gtest_filter='*" << c.name
        << "*'";
}

std::vector<std::string> Export(const char* page, std::vector<std::string> options = {}) {
    std::vector<std::string> args{"export", page, kBook};
    args.insert(args.end(), options.begin(), options.end());
    return args;
}

INSTANTIATE_TEST_SUITE_P(
    Examples, Golden,
    ::testing::Values(
        GoldenCase{"chart.csv", Export("chart")},
        GoldenCase{"chart-tree.csv", Export("chart-tree")},
        GoldenCase{"journal.csv", Export("journal")},
        GoldenCase{"journal-q2.csv", Export("journal", {"--period", "14"})},
        GoldenCase{"ledger.csv", Export("ledger")},
        GoldenCase{"ledger-march-balances.csv", Export("ledger", {"--period", "3", "--balances"})},
        GoldenCase{"income.csv", Export("income")}, GoldenCase{"balance.csv", Export("balance")},
        GoldenCase{"income-compare.csv", Export("income", {"--compare", kLastYear})},
        GoldenCase{"balance-compare.csv", Export("balance", {"--compare", kLastYear})},
        GoldenCase{"income-filter.csv",
                   Export("income", {"--filter", " PROJ ", "--filter-heading", "HANKE"})},
        GoldenCase{"ledger-2025-q4.csv", {"export", "ledger", kLastYear, "--period", "16"}},
        GoldenCase{"vat.csv", Export("vat")},
        GoldenCase{"vat-q1.csv", Export("vat", {"--period", "13"})},
        GoldenCase{"vat-2025.csv", {"export", "vat", kLastYear}},
        GoldenCase{"view-journal.txt", {"view", "journal", kBook}},
        GoldenCase{"view-chart.txt", {"view", "chart", kBook}}),
    [](const ::testing::TestParamInfo<GoldenCase>& row) {
        std::string name = row.param.name;
        for (char& ch : name)
            if (!std::isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        return name;
    });

} // namespace
} // namespace kp

// kirjanpito-cli driven in-process: conversions of the example books, info, errors, generate.
#include "book/FileIo.h"
#include "tests/cli/CliRun.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace kp {
namespace {

namespace fs = std::filesystem;

const std::string kExamples = std::string(KP_SOURCE_DIR) + "/examples/";

std::string Slurp(const std::string& name) {
    std::string data;
    EXPECT_TRUE(ReadWholeFile(name, data)) << name;
    return data;
}

class CliFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() /
                ("kp-cli-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                 "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }
    std::string path(const std::string& name) const { return (m_dir / name).string(); }
    fs::path m_dir;
};

class ExampleBook : public CliFiles, public ::testing::WithParamInterface<const char*> {};

TEST_P(ExampleBook, ConvertsToTlkByteForByte) {
    const std::string source = kExamples + GetParam();
    ASSERT_EQ(Cli({"convert", source, path("copy.tlk")}).rc, 0);
    EXPECT_EQ(Slurp(path("copy.tlk")), Slurp(source));
}

TEST_P(ExampleBook, SurvivesTheIndentedTextFormat) {
    const std::string source = kExamples + GetParam();
    ASSERT_EQ(Cli({"convert", source, path("book.txt")}).rc, 0);
    ASSERT_EQ(Cli({"convert", path("book.txt"), path("back.TLK")}).rc, 0);
    EXPECT_EQ(Slurp(path("back.TLK")), Slurp(source));
    const std::string text = Slurp(path("book.txt"));
    EXPECT_EQ(text.substr(0, 9), "identity ");
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
}

TEST_P(ExampleBook, InfoShowsAValidYearWithAccountsAndVouchers) {
    const CliResult r = Cli({"info", kExamples + GetParam()});
    ASSERT_EQ(r.rc, 0) << r.err;
    EXPECT_EQ(r.out.rfind("Kirjanpito Esimerkki Oy 01.01.20", 0), 0u) << r.out;
    EXPECT_NE(r.out.find("Tilikausi: kelvollinen\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Tilejä: "), std::string::npos);
    EXPECT_EQ(r.out.find("Tositteita: 0\n"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Examples, ExampleBook,
                         ::testing::Values("esimerkki-2026.tlk", "esimerkki-2025.tlk"));

TEST_F(CliFiles, ErrorsGoToStandardErrorWithTheFileMessage) {
    const struct {
        const char* name;
        std::vector<std::string> args;
        int rc;
        std::string err;
    } rows[] = {
        {"missing book",
         {"info", path("nope.tlk")},
         1,
         "Tiedostoa ei voitu avata: " + path("nope.tlk")},
        {"missing source",
         {"convert", path("nope.txt"), path("x.tlk")},
         1,
         "Tiedostoa ei voitu avata: " + path("nope.txt")},
        {"folder as target",
         {"convert", kExamples + "esimerkki-2026.tlk", m_dir.string()},
         1,
         "Tiedostoa ei voitu tallentaa: " + m_dir.string()},
        {"no arguments", {}, 2, "Käyttö"},
        {"unknown command", {"frobnicate"}, 2, "Tuntematon komento: frobnicate"},
        {"generate without output", {"generate", "--vouchers", "5"}, 2, "Käyttö"},
        {"generate with a bad count",
         {"generate", "--vouchers", "x", path("g.tlk")},
         2,
         "Virheellinen luku: x"},
    };
    for (const auto& row : rows) {
        const CliResult r = Cli(row.args);
        EXPECT_EQ(r.rc, row.rc) << row.name;
        EXPECT_NE(r.err.find(row.err), std::string::npos) << row.name << ": " << r.err;
        EXPECT_EQ(r.out, "") << row.name;
    }
}

TEST_F(CliFiles, AnIndentedFileWithALevelJumpIsReported) {
    std::ofstream(path("bad.txt"), std::ios::binary) << "root\r\n\t\t\tdeep\r\n";
    const CliResult r = Cli({"info", path("bad.txt")});
    EXPECT_EQ(r.rc, 1);
    EXPECT_EQ(r.err, "Invalid level (3) for item \"deep\"\n");
}

TEST_F(CliFiles, GenerateIsDeterministicAndBalanced) {
    ASSERT_EQ(Cli({"generate", "--vouchers", "200", "--seed", "3", path("a.tlk")}).rc, 0);
    ASSERT_EQ(Cli({"generate", "--seed", "3", "--vouchers", "200", path("b.tlk")}).rc, 0);
    ASSERT_EQ(Cli({"generate", "--vouchers", "200", "--seed", "4", path("c.tlk")}).rc, 0);
    EXPECT_EQ(Slurp(path("a.tlk")), Slurp(path("b.tlk")));
    EXPECT_NE(Slurp(path("a.tlk")), Slurp(path("c.tlk")));
    const CliResult r = Cli({"info", path("a.tlk")});
    EXPECT_NE(r.out.find("Tositteita: 201\n"), std::string::npos) << r.out;
}

} // namespace
} // namespace kp

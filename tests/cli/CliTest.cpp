// kirjanpito-cli driven in-process: conversions of the example books, info, errors, generate.
#include "book/FileIo.h"
#include "book/NestedList.h"
#include "cli/BookGenerator.h"
#include "tests/cli/CliRun.h"

#include <algorithm>
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
        // A parameterized test's name holds a "/": one folder each, none left behind.
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(name.begin(), name.end(), '/', '-');
        m_dir = fs::temp_directory_path() /
                ("kp-cli-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                 "-" + name);
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
        {"missing book", {"info", path("nope.tlk")}, 1, "Cannot open file " + path("nope.tlk")},
        {"missing source",
         {"convert", path("nope.txt"), path("x.tlk")},
         1,
         "Cannot open file " + path("nope.txt")},
        {"folder as target",
         {"convert", kExamples + "esimerkki-2026.tlk", m_dir.string()},
         1,
         "Cannot create file " + m_dir.string()},
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

TEST_F(CliFiles, DamagedBooksAreRefusedUnlessSalvaged) {
    const std::string book = Slurp(kExamples + "esimerkki-2026.tlk");
    const struct {
        const char* file;
        std::string bytes;
        std::string damage;
    } cases[] = {
        {"cut.tlk", book.substr(0, 13000), "tiedosto loppuu kesken (kohta 13000)"},
        {"pic.tlk", "\x89PNG\r\n\x1a\n", "ei ole kirjatiedosto"},
        {"note.tlk", "uistio: osta kahvia", "ei ole kirjatiedosto"},
        {"quote.tlk", book.substr(0, 200) + "\"", "lainausmerkki j\u00e4\u00e4 sulkematta"},
        {"tail.tlk", book + ")(x)",
         "ylim\u00e4\u00e4r\u00e4ist\u00e4 tietoa (kohta " + std::to_string(book.size()) + ")"},
        {"levels.txt", "root\r\n\t\t\tdeep\r\n", "(rivi 2, sarake 1)"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        std::ofstream(path(c.file), std::ios::binary) << c.bytes;
        for (const char* command : {"info", "convert"}) {
            std::vector<std::string> args{command, path(c.file)};
            if (args[0] == "convert")
                args.push_back(path("copy.tlk"));
            const CliResult refused = Cli(args);
            EXPECT_EQ(refused.rc, 1);
            EXPECT_NE(refused.err.find(c.damage), std::string::npos) << refused.err;
            EXPECT_FALSE(fs::exists(path("copy.tlk")));
            args.push_back("--salvage");
            EXPECT_EQ(Cli(args).rc, 0);
            fs::remove(path("copy.tlk"));
        }
    }
}

TEST_F(CliFiles, ConvertNeverReplacesAReadOnlyBook) {
    const std::string source = kExamples + "esimerkki-2025.tlk";
    std::ofstream(path("locked.tlk"), std::ios::binary) << "(old)";
    fs::permissions(path("locked.tlk"), fs::perms::owner_read | fs::perms::group_read);
    const CliResult r = Cli({"convert", source, path("locked.tlk")});
    EXPECT_EQ(r.rc, 1);
    EXPECT_EQ(r.err.rfind("Cannot create file " + path("locked.tlk"), 0), 0u) << r.err;
    EXPECT_EQ(Slurp(path("locked.tlk")), "(old)");
    EXPECT_EQ(Cli({"convert", source, "/dev/null"}).rc, 0); // not a file to replace
}

TEST_F(CliFiles, GenerateIsDeterministicAndBalanced) {
    ASSERT_EQ(Cli({"generate", "--vouchers", "200", "--seed", "3", path("a.tlk")}).rc, 0);
    ASSERT_EQ(Cli({"generate", "--seed", "3", "--vouchers", "200", path("b.tlk")}).rc, 0);
    ASSERT_EQ(Cli({"generate", "--vouchers", "200", "--seed", "4", path("c.tlk")}).rc, 0);
    EXPECT_EQ(Slurp(path("a.tlk")), Slurp(path("b.tlk")));
    EXPECT_NE(Slurp(path("a.tlk")), Slurp(path("c.tlk")));
    const CliResult r = Cli({"info", path("a.tlk")});
    EXPECT_NE(r.out.find("Tositteita: 201\n"), std::string::npos) << r.out;
    // The book written voucher by voucher is the one built as a tree and saved.
    BookTree tree;
    GenerateBook(tree, 200, 3);
    EXPECT_EQ(Slurp(path("a.tlk")), FormatNestedList(tree));
}

} // namespace
} // namespace kp

// kirjanpito-cli check: the example books are in order; a book with faults lists them with exit
// status 1; usage errors give 2.
#include "tests/cli/CliRun.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace kp {
namespace {

namespace fs = std::filesystem;

const std::string kInOrder = "Kirjanpidosta ei l\u00f6ytynyt huomautettavaa.\n";

TEST(CheckCommand, TheExampleBooksAreInOrder) {
    for (const std::string& book : {kExampleBook, kExampleLastYear}) {
        const CliResult r = Cli({"check", book});
        EXPECT_EQ(r.rc, 0) << book << "\n" << r.out;
        EXPECT_EQ(r.out, kInOrder);
        EXPECT_EQ(r.err, "");
    }
}

TEST(CheckCommand, ListsFindingsOnStandardOutputWithItsExitStatus) {
    const fs::path book = fs::temp_directory_path() / "kp-check-command.tlk";
    std::ofstream(book, std::ios::binary)
        << "(identity (fiscal-year \"Oy\" (date 2025 1 1) (date 2025 12 31) (account-map "
           "(account -1 \"V\" ((account 1910 \"Kassa\" ()))) (account -1 \"T\" ((account 3000 "
           "\"Myynti\" ()))) (account -1 \"T U L O S\")) ((event 1 (date 2025 3 1) \"Myynti\" "
           "((1910 (money 100)) (3000 (money -90)))) (event 2 (date 2026 1 1) \"Osto\" ((1999 "
           "(money abc)))))))";
    const fs::path cut = fs::temp_directory_path() / "kp-check-command-cut.tlk";
    std::ofstream(cut, std::ios::binary) << "(identity (fiscal-year \"Oy\" (date 2025 1 1) (da";
    const struct {
        const char* name;
        std::vector<std::string> args;
        int rc;
        std::string out;
        const char* err;
    } rows[] = {
        {"faults",
         {"check", book.string()},
         1,
         "Tosite 1 ei t\u00e4sm\u00e4\u00e4: summien ero 0,10\n"
         "Tosite 2: p\u00e4iv\u00e4ys 01.01.2026 on tilikauden ulkopuolella\n"
         "Tosite 2: tili\u00e4 1999 ei ole tilikartassa\n"
         "Tosite 2: tilin 1999 raham\u00e4\u00e4r\u00e4\u00e4 \"money abc\" ei voi lukea "
         "(luetaan 0,00)\n",
         ""},
        {"cut short",
         {"check", cut.string()},
         1,
         "Kirjatiedosto " + cut.string() +
             " on vaurioitunut: tiedosto loppuu kesken (kohta 47). Kirja luettiin niin "
             "pitk\u00e4lle kuin se on ehj\u00e4.\nVirheellinen tilikausi: 01.01.2025 - "
             "??.??.????\nKirjassa ei ole tilikarttaa (account-map)\n",
         ""},
        {"missing book", {"check", "/nonexistent/k.tlk"}, 1, "", "Cannot open file"},
        {"no book", {"check"}, 2, "", "K\u00e4ytt\u00f6"},
        {"two books", {"check", kExampleBook, kExampleBook}, 2, "", "K\u00e4ytt\u00f6"},
        {"an option", {"check", "--fast"}, 2, "", "K\u00e4ytt\u00f6"},
    };
    for (const auto& row : rows) {
        const CliResult r = Cli(row.args);
        EXPECT_EQ(r.rc, row.rc) << row.name;
        EXPECT_EQ(r.out, row.out) << row.name;
        EXPECT_NE(r.err.find(row.err), std::string::npos) << row.name << ": " << r.err;
    }
    fs::remove(book);
    fs::remove(cut);
}

} // namespace
} // namespace kp

// The window program's command line: profile, book and the book given by its path alone.
#include "app/StartArguments.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace kp {
namespace {

namespace fs = std::filesystem;

TEST(StartArguments, APathToAnExistingBookOpensIt) {
    const fs::path dir = fs::temp_directory_path() / "kp-start-arguments";
    fs::create_directories(dir);
    for (const char* name : {"kirja.tlk", "KIRJA.TXT", "kirja.ini"})
        std::ofstream(dir / name) << "x";
    const std::string tlk = (dir / "kirja.tlk").string();
    const std::string txt = (dir / "KIRJA.TXT").string();
    const std::string ini = (dir / "kirja.ini").string();
    const std::string missing = (dir / "puuttuu.tlk").string();
    const struct {
        const char* name;
        std::vector<std::string> args;
        std::string profile; // "" none
        std::string book;    // "" none
    } rows[] = {
        {"profile alone", {"firma"}, "firma", ""},
        {"book by its path", {tlk}, "", tlk},
        {"profile and a .TXT book", {"firma", txt}, "firma", txt},
        {"--open and a profile", {"--open", "x.kpt", "firma"}, "firma", "x.kpt"},
        {"--open wins over a path", {tlk, "--open", "x.kpt"}, "", "x.kpt"},
        {"a missing book names a profile as before", {missing}, missing, ""},
        {"other files name a profile as before", {ini}, ini, ""},
        {"screenshots", {"--screenshots", "kuvat", "firma"}, "firma", ""},
    };
    for (const auto& row : rows) {
        const StartArguments start = ParseStartArguments(row.args);
        EXPECT_EQ(start.profile.value_or(""), row.profile) << row.name;
        EXPECT_EQ(start.book.value_or(""), row.book) << row.name;
    }
    EXPECT_EQ(ParseStartArguments({"--screenshots", "kuvat"}).screenshots.value_or(""), "kuvat");
    fs::remove_all(dir);
}

} // namespace
} // namespace kp

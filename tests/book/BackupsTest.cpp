// The earlier versions a save keeps: their names, how many, where, and the save that keeps them.
#include "book/Backups.h"

#include "book/BookFile.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace kp {
namespace {

namespace fs = std::filesystem;

const fs::path kBook = fs::path(KP_SOURCE_DIR) / "examples" / "esimerkki-2026.tlk";

// A fresh folder for the test, removed afterwards.
class BackupsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_folder = fs::temp_directory_path() /
                   ("kp-backups-" +
                    std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(m_folder);
        fs::create_directories(m_folder / "data");
        m_book = m_folder / "kirja.tlk";
        fs::copy_file(kBook, m_book);
    }
    void TearDown() override { fs::remove_all(m_folder); }

    // The book as last written on 8.12.2026 at 14.03.27 local time, plus the minutes.
    void writtenAt(int minutes) {
        std::tm local{};
        local.tm_year = 2026 - 1900, local.tm_mon = 11, local.tm_mday = 8;
        local.tm_hour = 14, local.tm_min = 3 + minutes, local.tm_sec = 27, local.tm_isdst = -1;
        const auto time = std::chrono::system_clock::from_time_t(std::mktime(&local));
        fs::last_write_time(m_book, std::chrono::file_clock::from_sys(time));
    }
    static void block(const fs::path& path) {
        fs::create_directories(path.parent_path());
        std::ofstream(path) << "ei kansio";
    }

    fs::path m_folder;
    fs::path m_book;
};

// Twelve saves at different minutes and one more within the last one's second: ten remain,
// the newest first, named by when each version was written.
TEST_F(BackupsTest, KeepsTheNewestTenNamedByTheirTime) {
    for (int minute = 0; minute < 12; ++minute) {
        writtenAt(minute);
        ASSERT_EQ(KeepBackup(m_book, m_folder / "data"), "");
    }
    ASSERT_EQ(KeepBackup(m_book, m_folder / "data"), "");
    const std::vector<BackupEntry> entries = ListBackups(m_book, m_folder / "data");
    ASSERT_EQ(entries.size(), 10u);
    const struct {
        size_t index;
        const char* name;
        const char* time;
    } rows[] = {{0, "kirja-2026-12-08-14.14.27-2.tlk", "14.14.27"},
                {1, "kirja-2026-12-08-14.14.27.tlk", "14.14.27"},
                {9, "kirja-2026-12-08-14.06.27.tlk", "14.06.27"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(entries[row.index].file, m_folder / "kirja.tlk.varmuuskopiot" / row.name);
        EXPECT_EQ(entries[row.index].dateText(), "8.12.2026");
        EXPECT_EQ(entries[row.index].timeText(), row.time);
        EXPECT_EQ(entries[row.index].size, fs::file_size(kBook));
    }
    EXPECT_GT(CountVouchers(entries[0].file), 0);
    EXPECT_EQ(CountVouchers(entries[0].file), CountVouchers(kBook));
    EXPECT_EQ(CountVouchers(m_folder / "puuttuu.tlk"), -1);
}

// Where the copy goes when the book's folder cannot take it, and a save that goes on without one.
TEST_F(BackupsTest, FallsBackToTheDataFolderAndSavesEvenWithoutACopy) {
    const fs::path beside = m_folder / "kirja.tlk.varmuuskopiot";
    const fs::path data = BackupFolderInData(m_book, m_folder / "data");
    const struct {
        const char* name;
        bool besideBlocked;
        bool dataBlocked;
        fs::path expected; // empty: no copy anywhere
    } rows[] = {{"beside the book", false, false, beside},
                {"book's folder refuses", true, false, data},
                {"neither takes it", true, true, {}}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        fs::remove_all(beside);
        fs::remove_all(m_folder / "data");
        if (row.besideBlocked)
            block(beside);
        if (row.dataBlocked)
            block(m_folder / "data" / "kirjanpito");
        writtenAt(0);
        EXPECT_EQ(KeepBackup(m_book, m_folder / "data").empty(), !row.expected.empty());
        const std::vector<BackupEntry> entries = ListBackups(m_book, m_folder / "data");
        ASSERT_EQ(entries.size(), row.expected.empty() ? 0u : 1u);
        if (!row.expected.empty()) {
            EXPECT_EQ(entries[0].file.parent_path(), row.expected);
        }
    }
    // Another book of the same name elsewhere has a data folder of its own.
    EXPECT_NE(data, BackupFolderInData(m_folder / "toinen" / "kirja.tlk", m_folder / "data"));
    // With no copy possible, the save still happens and says so.
    setenv("XDG_DATA_HOME", (m_folder / "data").c_str(), 1);
    BookTree tree;
    ASSERT_TRUE(LoadBook(tree, kBook.string()));
    const FileResult saved = SaveBookKeepingBackup(tree, m_book.string());
    unsetenv("XDG_DATA_HOME");
    EXPECT_TRUE(saved.ok);
    EXPECT_TRUE(saved.message.starts_with("Edellisest\u00e4 versiosta ei voitu tehd\u00e4 "
                                          "varmuuskopiota"))
        << saved.message;
}

// Only names of this book's versions are listed.
TEST_F(BackupsTest, ListsOnlyTheBooksVersions) {
    const struct {
        const char* name;
        bool listed;
    } rows[] = {
        {"kirja-2026-12-08-14.03.27.tlk", true},         {"kirja-2026-12-08-14.03.27-3.tlk", true},
        {"kirja-2026-12-08-14.03.27-1.tlk", false},      {"kirja-2026-12-08-14.03.27.txt", false},
        {"kirja-2026-12-8-14.03.27.tlk", false},         {"kirja2-2026-12-08-14.03.27.tlk", false},
        {".kirja-2026-12-08-14.03.28.tlk.kesken", false}};
    const fs::path beside = m_folder / "kirja.tlk.varmuuskopiot";
    fs::create_directories(beside);
    for (const auto& row : rows)
        std::ofstream(beside / row.name) << "x";
    std::vector<fs::path> listed;
    for (const BackupEntry& entry : ListBackups(m_book, {}))
        listed.push_back(entry.file.filename());
    for (const auto& row : rows)
        EXPECT_EQ(std::count(listed.begin(), listed.end(), row.name), row.listed ? 1 : 0)
            << row.name;
}

} // namespace
} // namespace kp

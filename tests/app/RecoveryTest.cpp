// Recovery copies of unsaved changes: when they are due, written, offered at start and removed;
// and a kept version of the book opened again.
#include "app/Application.h"
#include "book/NestedList.h"
#include "tests/app/ScriptedPlatform.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace kp {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const fs::path kBook = fs::path(KP_SOURCE_DIR) / "examples" / "esimerkki-2026.tlk";

TEST(RecoveryScheduler, CopiesAfterAVoucherAtOnceOtherwiseEveryThirtySeconds) {
    const struct {
        const char* step;
        std::uint64_t changes;
        bool posted;
        int second;
        bool due;
    } rows[] = {{"nothing changed", 0, false, 0, false},
                {"first change", 1, false, 1, true},
                {"change soon after", 2, false, 10, false},
                {"a voucher posted", 3, true, 11, true},
                {"change within 30 s", 4, false, 40, false},
                {"30 s after the last copy", 4, false, 41, true},
                {"nothing since", 4, false, 100, false},
                {"voucher again", 5, true, 101, true}};
    RecoveryScheduler scheduler;
    const auto start = RecoveryScheduler::Clock::now();
    for (const auto& row : rows)
        EXPECT_EQ(scheduler.due(row.changes, row.posted, start + row.second * 1s), row.due)
            << row.step;
}

class RecoveryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_folder = fs::temp_directory_path() /
                   ("kp-recovery-" +
                    std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(m_folder);
        fs::create_directories(m_folder);
        m_book = (m_folder / "kirja.tlk").string();
        fs::copy_file(kBook, m_book);
        // The book was written well before any copy of it.
        fs::last_write_time(m_book, fs::file_time_type::clock::now() - 1h);
        m_platform.existing.insert(m_book);
    }
    void TearDown() override { fs::remove_all(m_folder); }

    // A window's application on the book: copies go to the test's state folder.
    std::unique_ptr<Application> start() {
        auto app = std::make_unique<Application>(m_platform);
        app->enableRecovery(m_folder / "palautus");
        EXPECT_TRUE(app->openBook(m_book));
        return app;
    }
    void post(Application& app) {
        app.newVoucherCommand(false, nullptr);
        VoucherEditor& editor = app.voucherEditor();
        editor.dateEnter();
        for (const char c : std::string("1910\r"))
            editor.chooserType(c);
        for (const char c : std::string("10"))
            editor.gridType(c);
        m_platform.answers.push_back(Answer::Yes); // the difference is accepted
        ASSERT_EQ(app.voucherOk(), VoucherOk::Posted);
        app.hideDialogForm();
    }
    fs::path copy() const { return RecoveryFileFor(m_folder / "palautus", m_book); }

    fs::path m_folder;
    std::string m_book;
    ScriptedPlatform m_platform;
};

// A posted voucher is copied at once; the next start asks, "Ei" keeps the copy, "Kyllä" opens
// it with unsaved changes, and a save removes it.
TEST_F(RecoveryTest, APostedVoucherSurvivesUntilSaved) {
    std::string posted;
    {
        auto app = start();
        post(*app);
        posted = FormatNestedList(app->state().openBook);
        app->recoveryWriter()->wait();
        ASSERT_TRUE(fs::exists(copy()));
        // The program ends without closing, as when it is killed; the copy stays.
    }
    const std::string question = "Tallentamattomia muutoksia l\u00f6ytyi kirjasta " +
                                 fs::absolute(m_book).string() + " (" + WrittenText(copy()) +
                                 "): palautetaanko?";
    const struct {
        const char* step;
        Answer answer;
        bool restored;
    } rows[] = {{"Ei", Answer::No, false}, {"Kyll\u00e4", Answer::Yes, true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.step);
        auto app = start();
        m_platform.asked.clear();
        m_platform.answers = {row.answer};
        EXPECT_EQ(app->offerRecovery(), row.restored);
        ASSERT_EQ(m_platform.asked, std::vector<std::string>{question});
        EXPECT_EQ(FormatNestedList(app->state().openBook) == posted, row.restored);
        EXPECT_EQ(app->state().unsavedChanges, row.restored);
        EXPECT_EQ(app->fileName(), m_book);
        EXPECT_TRUE(fs::exists(copy()));
        if (row.restored) {
            ASSERT_TRUE(app->saveCommand(false));
            app->recoveryWriter()->wait();
            EXPECT_FALSE(fs::exists(copy()));
        }
    }
    // A normal close removes the copy of the run's changes, also one restored at start.
    for (const bool restored : {false, true}) {
        auto app = start();
        post(*app);
        app->recoveryWriter()->wait();
        if (restored) {
            app = start();
            m_platform.answers = {Answer::Yes};
            ASSERT_TRUE(app->offerRecovery());
        }
        ASSERT_TRUE(fs::exists(copy()));
        m_platform.answers = {Answer::No}; // "Tallennetaanko?"
        ASSERT_TRUE(app->closeRequested());
        app->recoveryWriter()->wait();
        EXPECT_FALSE(fs::exists(copy())) << restored;
    }
}

// A kept version opens as a book without a file name, named restored in the title; its save
// asks for a name and proposes the book it came from.
TEST_F(RecoveryTest, ARestoredVersionIsANewUnsavedBook) {
    auto app = start();
    const std::string before = FormatNestedList(app->state().openBook);
    post(*app);
    ASSERT_TRUE(app->saveCommand(false));
    const std::vector<BackupEntry> backups = app->backups();
    ASSERT_EQ(backups.size(), 1u);
    ASSERT_TRUE(app->restoreBackup(backups[0]));
    EXPECT_EQ(FormatNestedList(app->state().openBook), before);
    EXPECT_EQ(app->fileName(), "");
    EXPECT_TRUE(app->state().unsavedChanges);
    EXPECT_EQ(app->windowTitle(), "*" + app->title() + " (palautettu varmuuskopio " +
                                      backups[0].dateText() + " klo " + backups[0].timeText() +
                                      ")");
    m_platform.saveFiles = {std::nullopt};
    EXPECT_FALSE(app->saveCommand(false));
    ASSERT_EQ(m_platform.saveChoices.size(), 1u);
    EXPECT_EQ(m_platform.saveChoices[0].fileName, m_book);
}

} // namespace
} // namespace kp

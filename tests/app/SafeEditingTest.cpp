// Editing the chart and the book safely on the example book: sub-accounts that count, the
// questions before destructive commands, and the basic-data box's warning.
#include "app/Application.h"
#include "tests/app/ScriptedPlatform.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <map>

namespace kp {
namespace {

namespace fs = std::filesystem;

const std::string kBook = std::string(KP_SOURCE_DIR) + "/examples/esimerkki-2026.tlk";

class SafeEditingTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() /
                ("kp-safe-" +
                 std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        fs::copy_file(kBook, m_dir / "book.tlk");
        m_platform.existing.insert(path());
        ASSERT_TRUE(m_app.openBook(path()));
    }
    void TearDown() override { fs::remove_all(m_dir); }
    std::string path() const { return (m_dir / "book.tlk").string(); }

    // The chart line that begins with the text.
    BookNode* chartLine(std::string_view start) {
        m_app.activatePage(Tab::Chart);
        const BookTree& chart = m_app.chart().tree();
        for (BookNode* n = chart.first(); n; n = chart.next(n))
            if (n->text().starts_with(start))
                return n;
        return nullptr;
    }

    fs::path m_dir;
    ScriptedPlatform m_platform;
    Application m_app{m_platform};
};

// What the reports say of a book: the statements' total lines and every account's balance.
struct Figures {
    std::vector<std::string> totals;
    std::map<std::string, Cents> balances;
    bool operator==(const Figures&) const = default;
};

Figures ReadFigures(Application& app) {
    app.activatePage(Tab::Balance);
    Figures f;
    for (const ReportLines* page : {&app.statements().balance, &app.statements().income})
        for (const std::string_view line : *page)
            if (line.find("Yht.") != std::string::npos || line.find("tulos\t") != std::string::npos)
                f.totals.emplace_back(line);
    for (const AccountEntry& account : app.index().accounts())
        f.balances[account.text] = SumPostings(app.index().entries(account.node));
    return f;
}

TEST_F(SafeEditingTest, AnAccountDraggedUnderAnotherStaysInEveryReport) {
    const Figures before = ReadFigures(m_app);
    ASSERT_EQ(before.balances.size(), 80u);
    BookNode* savings = chartLine("1920 ");
    ASSERT_TRUE(m_app.moveChartLine(savings, chartLine("1910 "), DropSpot::Label));
    const Figures after = ReadFigures(m_app);
    EXPECT_EQ(after, before);
    EXPECT_EQ(m_app.index().lookupAccount("1920"), "1920 S\xE4\xE4st\xF6tili");
    // Listed two blanks deeper, under its new parent.
    const ReportLines& balance = m_app.statements().balance;
    size_t i = 0;
    while (i < balance.size() && balance[i].find("1920 S") == std::string_view::npos)
        ++i;
    ASSERT_LT(i, balance.size());
    EXPECT_EQ(balance[i].find('1'), 8u);
    EXPECT_EQ(balance[i - 1].find("1910 Pankkitili"), 6u);
}

} // namespace
} // namespace kp

// Editing the chart and the book safely on the example book: sub-accounts that count, the
// questions before destructive commands, and the basic-data box's warning.
#include "app/Application.h"
#include "book/NestedList.h"
#include "tests/app/ScriptedPlatform.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <map>

namespace kp {
namespace {

namespace fs = std::filesystem;

const std::string kBook = std::string(KP_SOURCE_DIR) + "/examples/esimerkki-2026.tlk";

class SafeEditingTest : public ::testing::Test {
  public:
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

    BookNode* fiscalYear(int i) const { return m_app.state().openBook.first()->child(0)->child(i); }
    std::string bookText() const { return FormatNestedList(m_app.state().openBook); }

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

// Each command asks once before it takes anything away; "Ei" leaves the book, the unsaved mark
// and the undo history as they were, "Kyllä" does it.
TEST_F(SafeEditingTest, DestructiveCommandsAskFirst) {
    const struct {
        const char* name;
        std::function<void(SafeEditingTest&)> run;
        const char* question; // empty: asks nothing
    } rows[] = {
        {"Tyhjenn\xE4 kaikki", [](SafeEditingTest& t) { t.m_app.clearBook(); },
         "Tyhjennet\xC3\xA4\xC3\xA4nk\xC3\xB6 koko kirja?"},
        {"Poista of a node with children",
         [](SafeEditingTest& t) { t.m_app.deleteNode(t.fiscalYear(3)->child(60)); },
         "Poistetaanko solmu \"event 60\" alasolmuineen?"},
        {"Poista of a leaf", [](SafeEditingTest& t) { t.m_app.deleteNode(t.fiscalYear(0)); }, ""},
        {"Poista viimeinen", [](SafeEditingTest& t) { t.m_app.deleteLastVoucher(); },
         "Poistetaanko tosite 60 (31.12.2026, 24364,44)?"},
        {"Poista tili",
         [](SafeEditingTest& t) { t.m_app.deleteAccountCommand(t.chartLine("1090 ")); },
         "Poistetaanko tili 1090 Muut pitk\xC3\xA4vaikutteiset menot?"},
        {"renumbering", [](SafeEditingTest& t) { t.m_app.renumberVouchers(); },
         "P\xC3\xA4ivitet\xC3\xA4\xC3\xA4nk\xC3\xB6 tositenumerot juokseviksi?"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::vector<std::string> question =
            *row.question ? std::vector<std::string>{row.question} : std::vector<std::string>{};
        for (Answer answer : {Answer::No, Answer::Yes}) {
            ASSERT_TRUE(m_app.openBook(path()));
            if (row.name == std::string("renumbering")) // from 100 on: 0..60 would change nothing
                m_app.state().openBook.setText(fiscalYear(3)->child(0), "event 100");
            m_app.state().unsavedChanges = false;
            m_platform.asked.clear();
            m_platform.answers = {answer};
            const std::string before = bookText();
            const std::string undo = m_app.undoCaption();
            row.run(*this);
            EXPECT_EQ(m_platform.asked, question);
            const bool done = answer == Answer::Yes || question.empty();
            EXPECT_EQ(bookText() != before, done);
            EXPECT_EQ(m_app.undoCaption() != undo, done);
        }
    }
}

// After "Tyhjennä kaikki" there is nothing to save: a "Kyllä" to "Tallennetaanko?" says so and
// keeps the book open.
TEST_F(SafeEditingTest, AnEmptiedBookIsNotSavedSilently) {
    m_platform.answers = {Answer::Yes, Answer::Yes};
    m_app.clearBook();
    m_app.state().unsavedChanges = true;
    EXPECT_EQ(m_app.askSaveChanges(), Answer::Cancel);
    EXPECT_EQ(
        m_platform.shown,
        std::vector<std::string>{"Kirja on tyhj\xC3\xA4, eik\xC3\xA4 sit\xC3\xA4 voi tallentaa."});
}

} // namespace
} // namespace kp

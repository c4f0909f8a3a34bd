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

// Everything a page shows, as one text: its lines, or its tree's node texts.
std::string PageText(Application& app, Tab tab) {
    app.activatePage(tab);
    if (app.chooser().visible())
        app.periodOk();
    std::string text;
    if (tab == Tab::Chart) {
        for (const BookNode* n = app.chart().tree().first(); n; n = app.chart().tree().next(n))
            text.append(n->text()).append("\n");
        return text;
    }
    const ReportLines& lines = tab == Tab::Vat       ? app.vatLines()
                               : tab == Tab::Balance ? app.statements().balance
                                                     : app.ledgerLines();
    for (const std::string_view line : lines)
        text.append(line).append("\n");
    return text;
}

// A box's OK marks the pages that show what it changed; the page then shows the change.
TEST_F(SafeEditingTest, ABoxsOkMarksThePagesThatShowIt) {
    const struct {
        const char* name;
        std::function<void(Application&)> run;
        std::uint16_t stale; // of Chart, Vat and Statements
        Tab page;
        const char* shown;
    } rows[] = {
        {"Alv-tekstit, report text",
         [](Application& app) {
             app.vatTextsCommand();
             app.vatTextsBox().setCell(2, 1, "Kotimaan myynti");
             app.vatTextsOk();
         },
         Stale::Vat, Tab::Vat, "Kotimaan myynti"},
        {"Alv-tekstit, drop-down text",
         [](Application& app) {
             app.vatTextsCommand();
             app.vatTextsBox().setCell(1, 1, "Kotimyynti");
             app.vatTextsOk();
         },
         Stale::Vat | Stale::Chart, Tab::Chart, "Kotimyynti 25,50"},
        {"Muuta perustietoja",
         [](Application& app) {
             app.basicDataCommand(BasicDataMode::ChangeBasicData);
             app.basicDataBox().setCompanyName("Toinen Oy");
             app.basicDataOk();
         },
         Stale::Vat | Stale::Chart | Stale::Statements, Tab::Balance, "Toinen Oy 01.01.2026"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(m_app.openBook(path()));
        for (Tab tab : {Tab::Chart, Tab::Vat, Tab::Balance})
            EXPECT_EQ(PageText(m_app, tab).find(row.shown), std::string::npos);
        row.run(m_app);
        const std::uint16_t mask = Stale::Chart | Stale::Vat | Stale::Statements;
        std::uint16_t stale = 0;
        for (std::uint16_t bit : {Stale::Chart, Stale::Vat, Stale::Statements})
            if (m_app.state().isStale(bit))
                stale |= bit;
        EXPECT_EQ(stale & mask, row.stale);
        EXPECT_NE(PageText(m_app, row.page).find(row.shown), std::string::npos);
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

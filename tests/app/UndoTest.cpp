// Undo and redo of every command that changes the book, the saved state, the history's bounds
// and the window's close request with boxes open.
#include "app/Application.h"
#include "book/NestedList.h"
#include "tests/app/ScriptedPlatform.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

namespace kp {
namespace {

namespace fs = std::filesystem;

const std::string kBook = std::string(KP_SOURCE_DIR) + "/examples/esimerkki-2026.tlk";

// The first line of a tree whose text begins with the prefix.
BookNode* Line(const BookTree& tree, std::string_view prefix) {
    for (BookNode* node = tree.first(); node; node = tree.next(node))
        if (node->startsWith(prefix))
            return node;
    return nullptr;
}

// The commands of the table below reach the fixture's helpers.
class UndoTest : public ::testing::Test {
  public:
    void SetUp() override {
        m_file = (fs::temp_directory_path() /
                  ("kp-undo-" +
                   std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
                   ".tlk"))
                     .string();
        fs::copy_file(kBook, m_file, fs::copy_options::overwrite_existing);
        m_platform.existing.insert(m_file);
    }
    void TearDown() override {
        fs::remove(m_file);
        fs::remove_all(m_file + ".varmuuskopiot");
    }

    std::string saved() const { return FormatNestedList(m_app->state().openBook); }
    BookNode* journalVoucher(int i) const { return m_app->journal().root()->child(i); }
    // The fiscal-year node's children: the two dates, the account map, the events.
    BookNode* fiscalYear(int i) const {
        return m_app->state().openBook.first()->child(0)->child(i);
    }
    void fresh() {
        m_app = std::make_unique<Application>(m_platform);
        ASSERT_TRUE(m_app->openBook(m_file));
    }
    // Enters a voucher of 10,00 on 1910 alone and confirms the difference.
    void typeVoucher() {
        VoucherEditor& editor = m_app->voucherEditor();
        editor.dateEnter();
        for (const char c : std::string("1910\r"))
            editor.chooserType(c);
        for (const char c : std::string("10"))
            editor.gridType(c);
        m_platform.answers.push_back(Answer::Yes);
    }
    BookNode* chartLine(std::string_view prefix) {
        m_app->activatePage(Tab::Chart);
        return Line(m_app->chart().tree(), prefix);
    }
    // The answer to the question a destructive command asks.
    void yes() { m_platform.answers.push_back(Answer::Yes); }
    void newAccount1915() {
        m_app->newSubAccountCommand(chartLine("V A S T A A V A A"));
        m_app->accountEditor().setNumberText("1915");
        m_app->accountEditor().setNameText("Uusi");
        m_app->accountOk();
    }

    std::string m_file;
    ScriptedPlatform m_platform;
    std::unique_ptr<Application> m_app;
};

struct Command {
    const char* name;
    const char* label; // what "Kumoa:" names; empty for a change no command recorded
    std::function<void(UndoTest&)> prepare;
    std::function<void(UndoTest&)> run;
};

// Each command once on the example book: undo gives the saved bytes from before it, redo those
// from after it, and undoing to the opened state clears the unsaved-changes flag.
TEST_F(UndoTest, EveryCommandUndoesAndRedoes) {
    const auto nothing = [](UndoTest&) {};
    const std::vector<Command> commands = {
        {"new voucher", "Tosite 61", nothing,
         [](UndoTest& t) {
             t.m_app->newVoucherCommand(false, nullptr);
             t.typeVoucher();
             t.m_app->voucherOk();
         }},
        {"edited voucher", "Muokkaa tositetta 3", nothing,
         [](UndoTest& t) {
             t.m_app->editVoucherCommand(t.journalVoucher(3));
             t.m_app->voucherEditor().setDescription("Muutettu");
             t.m_app->voucherOk();
         }},
        {"copied voucher", "Tosite 61", nothing,
         [](UndoTest& t) {
             t.m_app->newVoucherCommand(true, t.journalVoucher(5));
             t.m_app->voucherOk();
         }},
        {"Poista viimeinen", "Poista viimeinen", nothing,
         [](UndoTest& t) { t.yes(), t.m_app->deleteLastVoucher(); }},
        {"voucher dropped on another", "Siirr\xE4 tosite 5", nothing,
         [](UndoTest& t) { t.m_app->moveVoucher(t.journalVoucher(5), t.journalVoucher(2)); }},
        {"renumbering", "P\xE4ivit\xE4 tositenumerot",
         [](UndoTest& t) { t.m_app->moveVoucher(t.journalVoucher(60), t.journalVoucher(1)); },
         [](UndoTest& t) { t.yes(), t.m_app->renumberVouchers(); }},
        {"account edited", "Muokkaa tili\xE4 1910", nothing,
         [](UndoTest& t) {
             t.m_app->editAccountCommand(t.chartLine("1910"));
             t.m_app->accountEditor().setNameText("Pankki");
             t.m_app->accountOk();
         }},
        {"new sub-account", "Uusi alatili 1915", nothing, [](UndoTest& t) { t.newAccount1915(); }},
        {"account deleted", "Poista tili 1915", [](UndoTest& t) { t.newAccount1915(); },
         [](UndoTest& t) { t.yes(), t.m_app->deleteAccountCommand(t.chartLine("1915")); }},
        {"chart line dropped", "Siirr\xE4 tili 1910", nothing,
         [](UndoTest& t) {
             t.m_app->moveChartLine(t.chartLine("1910"), t.chartLine("V A S T A T T A V A A"),
                                    DropSpot::Label);
         }},
        {"VAT rate change", "Alv-% muutos", nothing,
         [](UndoTest& t) {
             t.m_app->vatRateCommand();
             t.m_app->vatRatePanel().editNewRate("14");
             t.m_platform.answers.push_back(Answer::Yes);
             t.m_app->vatRateOk();
         }},
        {"basic data", "Muuta perustietoja", nothing,
         [](UndoTest& t) {
             t.m_app->basicDataCommand(BasicDataMode::ChangeBasicData);
             t.m_app->basicDataBox().setCompanyName("Toinen Oy");
             t.m_app->basicDataOk();
         }},
        {"maintenance Lisää", "Lis\xE4\xE4", nothing,
         [](UndoTest& t) {
             t.m_platform.inputs.push_back("Muistiinpano");
             t.m_app->addNode(t.m_app->state().openBook.first());
         }},
        {"maintenance Poista", "Poista", nothing,
         [](UndoTest& t) { t.yes(), t.m_app->deleteNode(t.fiscalYear(3)->child(5)); }},
        {"maintenance text", "Muuta teksti", nothing,
         [](UndoTest& t) {
             t.m_platform.inputs.push_back("date 2026 1 2");
             t.m_app->editNodeText(MaintenanceTree::Book, t.fiscalYear(0));
         }},
        {"maintenance drop", "Siirr\xE4", nothing,
         [](UndoTest& t) {
             t.m_app->dropNode(MaintenanceTree::Book, DragSource::BookTree, t.fiscalYear(1),
                               t.fiscalYear(2), DropSpot::Label);
         }},
        {"Tyhjenn\xE4 kaikki", "Tyhjenn\xE4 kaikki", nothing,
         [](UndoTest& t) { t.yes(), t.m_app->clearBook(); }},
        {"any bytes, changed behind the commands' back", "", nothing,
         [](UndoTest& t) {
             t.m_app->state().openBook.setText(t.fiscalYear(1), std::string("\0(\"\xFF\r\n)", 7));
         }},
    };
    for (const Command& command : commands) {
        SCOPED_TRACE(command.name);
        fresh();
        command.prepare(*this);
        const std::string before = saved();
        command.run(*this);
        const std::string after = saved();
        ASSERT_TRUE(after != before);
        const std::string label = command.label;
        if (!label.empty()) {
            EXPECT_EQ(m_app->undoCaption(), "Kumoa: " + label);
        }

        ASSERT_TRUE(m_app->undo());
        EXPECT_TRUE(saved() == before);
        EXPECT_EQ(m_app->redoCaption(), "Tee uudelleen: " + (label.empty() ? "Muutos" : label));
        EXPECT_EQ(m_app->statusText(), "Kumottu: " + (label.empty() ? "Muutos" : label));
        // Back at the opened state unless a prepared step lies between.
        EXPECT_EQ(m_app->state().unsavedChanges, m_app->canUndo());

        ASSERT_TRUE(m_app->redo());
        EXPECT_TRUE(saved() == after);
        EXPECT_TRUE(m_app->state().unsavedChanges);
        EXPECT_FALSE(m_app->canRedo());
    }
}

// The unsaved-changes flag follows the position of the last save; the title shows it.
TEST_F(UndoTest, UndoingToTheSavedStateClearsTheUnsavedMark) {
    fresh();
    const auto post = [&] {
        m_app->newVoucherCommand(false, nullptr);
        typeVoucher();
        m_app->voucherOk();
        m_app->hideDialogForm();
    };
    post();
    EXPECT_EQ(m_app->windowTitle(), "*" + m_app->title());
    ASSERT_TRUE(m_app->saveCommand(false));
    EXPECT_EQ(m_app->statusText(), "Tallennettu klo 14.03");
    EXPECT_EQ(m_app->windowTitle(), m_app->title());
    post();
    const struct {
        const char* step;
        bool back;
        bool unsaved;
    } steps[] = {{"undo to the save", true, false},
                 {"undo past it", true, true},
                 {"redo to it", false, false},
                 {"redo past it", false, true}};
    for (const auto& row : steps) {
        SCOPED_TRACE(row.step);
        ASSERT_TRUE(row.back ? m_app->undo() : m_app->redo());
        EXPECT_EQ(m_app->state().unsavedChanges, row.unsaved);
    }
    // A change after undoing past the save leaves no way back to it.
    m_app->undo();
    m_app->undo();
    yes(), m_app->deleteLastVoucher();
    EXPECT_FALSE(m_app->canRedo());
    m_app->undo();
    EXPECT_TRUE(m_app->state().unsavedChanges);
}

TEST_F(UndoTest, AnotherBookOrANewCompanyStartsTheHistoryAfresh) {
    fresh();
    yes(), m_app->deleteLastVoucher();
    ASSERT_TRUE(m_app->canUndo());
    ASSERT_TRUE(m_app->openBook(m_file));
    EXPECT_FALSE(m_app->canUndo());
    EXPECT_EQ(m_app->undoCaption(), "Kumoa");

    yes(), m_app->deleteLastVoucher();
    m_platform.answers.push_back(Answer::No); // the changes are not saved
    m_app->basicDataCommand(BasicDataMode::NewCompany);
    BasicDataBox& box = m_app->basicDataBox();
    box.setCompanyName("Uusi Oy");
    for (auto [field, digits] :
         {std::pair{&box.firstDay(), "01012027"}, {&box.lastDay(), "31122027"}}) {
        field->click(0);
        for (const char* c = digits; *c; ++c)
            field->type(*c);
    }
    ASSERT_TRUE(m_app->basicDataOk());
    EXPECT_FALSE(m_app->canUndo());
    EXPECT_FALSE(m_app->undo());
}

// A box whose nodes went away closes; a new voucher being typed stays, proposed afresh while
// it has no lines.
TEST_F(UndoTest, BoxesAfterAnUndo) {
    fresh();
    VoucherEditor& editor = m_app->voucherEditor();
    m_app->newVoucherCommand(false, nullptr);
    typeVoucher();
    m_app->voucherOk();
    ASSERT_EQ(editor.number(), "62");
    m_app->undo();
    EXPECT_TRUE(editor.visible());
    EXPECT_EQ(editor.number(), "61");
    EXPECT_EQ(m_app->journal().root()->childCount(), 61);

    typeVoucher();
    m_app->redo();
    EXPECT_TRUE(editor.visible());
    EXPECT_EQ(editor.lineCount(), 1); // typed lines are kept

    m_app->hideDialogForm();
    m_app->activatePage(Tab::Journal);
    m_app->editVoucherCommand(journalVoucher(3));
    m_app->undo();
    EXPECT_FALSE(editor.visible());
    EXPECT_EQ(editor.editedEvent(), nullptr);
}

TEST(UndoHistory, BoundsDropTheOldestSteps) {
    const struct {
        const char* name;
        UndoHistory::Limits limits;
        size_t textSize;
        size_t steps;
    } rows[] = {
        {"step count", {3, 1u << 20}, 10, 3},
        {"bytes", {100, 1000}, 300, 1}, // each step holds 2 x 300 bytes and a label
        {"the newest stays when it alone is larger", {100, 100}, 300, 1},
        {"room for all", {100, 1u << 20}, 10, 5},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        BookTree book;
        BookNode* node = book.addLast(nullptr, "root");
        UndoHistory history(row.limits);
        history.reset(book, true);
        for (char c = 'a'; c < 'f'; ++c) {
            book.setText(node, std::string(row.textSize, c));
            ASSERT_TRUE(history.record(book, std::string(1, c)));
        }
        EXPECT_EQ(history.stepCount(), row.steps);
        EXPECT_TRUE(history.storedBytes() <= row.limits.maxBytes || row.steps == 1);
        size_t undone = 0;
        while (history.undo(book))
            ++undone;
        EXPECT_EQ(undone, row.steps);
        // The opened state is gone with the dropped steps; with all steps kept it is back.
        EXPECT_EQ(history.atSaved(), row.steps == 5);
        EXPECT_EQ(book.first()->text(),
                  row.steps == 5 ? "root" : std::string(row.textSize, char('e' - row.steps)));
    }
}

// The close request with boxes open: a voucher with lines is asked about, then the changes.
TEST_F(UndoTest, CloseRequestWithBoxesOpen) {
    const struct {
        const char* name;
        bool voucherLines;
        bool accountBox;
        bool unsaved;
        std::vector<Answer> answers;
        std::vector<std::string> asked;
        bool closes;
    } rows[] = {
        {"voucher kept",
         true,
         false,
         false,
         {Answer::No},
         {"Tosite on kesken. Hylätäänkö se?"},
         false},
        {"voucher discarded",
         true,
         false,
         false,
         {Answer::Yes},
         {"Tosite on kesken. Hylätäänkö se?"},
         true},
        {"voucher discarded, then the save cancelled",
         true,
         false,
         true,
         {Answer::Yes, Answer::Cancel},
         {"Tosite on kesken. Hylätäänkö se?", "Tallennetaanko?"},
         false},
        {"empty voucher box", false, false, false, {}, {}, true},
        {"account box", false, true, false, {}, {}, true},
        {"unsaved, not saved", false, false, true, {Answer::No}, {"Tallennetaanko?"}, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        fresh();
        m_platform.asked.clear();
        if (row.accountBox) {
            m_app->editAccountCommand(chartLine("1910"));
        } else {
            m_app->newVoucherCommand(false, nullptr);
            if (row.voucherLines)
                typeVoucher();
        }
        m_app->state().unsavedChanges = row.unsaved;
        m_platform.answers.assign(row.answers.begin(), row.answers.end());
        EXPECT_EQ(m_app->closeRequested(), row.closes);
        EXPECT_EQ(m_platform.asked, row.asked);
        EXPECT_EQ(m_app->dialogFormVisible(), !row.closes);
    }
}

} // namespace
} // namespace kp

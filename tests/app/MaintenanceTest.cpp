// The maintenance page's commands on the raw book trees, driven through a scripted platform.
#include "app/Maintenance.h"

#include "app/Application.h"
#include "book/Win1252.h"
#include "tests/app/ScriptedPlatform.h"
#include "tests/book/TreeShape.h"

#include <gtest/gtest.h>

namespace kp {
namespace {

using test::Shape;
using Messages = std::vector<std::string>;
constexpr std::string_view kBook = "r|.a|..a1|..a2|.b|.c|";

BookNode* Find(const BookTree& tree, std::string_view text) {
    for (BookNode* n = tree.first(); n; n = tree.next(n))
        if (n->text() == text)
            return n;
    return nullptr;
}

class MaintenanceTest : public ::testing::Test {
  protected:
    MaintenanceTest() { test::Build(m_state.openBook, kBook); }
    BookNode* node(std::string_view text) const { return Find(m_state.openBook, text); }

    AppState m_state;
    ScriptedPlatform m_platform;
    Maintenance m_maintenance{m_state, m_platform};
};

TEST_F(MaintenanceTest, OnlyTheAccessCodeShowsTheTabs) {
    for (const auto& answer : {std::optional<std::string>("0000"), std::optional<std::string>(),
                               std::optional<std::string>(" 8262")}) {
        m_platform.inputs = {answer};
        EXPECT_FALSE(m_maintenance.toggle(false).tabsShown);
        EXPECT_FALSE(m_maintenance.acceptsDrag(DragSource::JournalView));
    }
    EXPECT_TRUE(m_maintenance.acceptsDrag(DragSource::ChartView));
    m_platform.inputs = {std::string("8262")};
    const MaintenanceVisibility shown = m_maintenance.toggle(false);
    EXPECT_TRUE(shown.tabsShown && shown.renumberShown && m_maintenance.journalEditsUnlocked());
    const MaintenanceVisibility hidden = m_maintenance.toggle(true);
    EXPECT_FALSE(hidden.tabsShown || hidden.renumberShown);
    EXPECT_TRUE(hidden.leaveHiddenTab);
    EXPECT_EQ(m_platform.asked.size(), 4u); // hiding asks nothing
    EXPECT_TRUE(m_platform.shown.empty());
}

TEST_F(MaintenanceTest, AddingNodes) {
    m_platform.inputs = {std::string("uusi \xC3\xA4"), std::nullopt, std::string("\xE2\x86\x92")};
    const BookNode* added = m_maintenance.addNode(node("a")).reveal;
    EXPECT_EQ(added, node("uusi \xE4"));
    m_maintenance.addNode(node("c")); // cancelled: the empty text
    m_maintenance.addNode(node("b")); // refused
    const TreeCommandResult r = m_maintenance.addNode(nullptr);
    EXPECT_TRUE(r.beep);
    EXPECT_EQ(Shape(m_state.openBook), "r|.a|..uusi \xE4|..a1|..a2|.b|.c|..|");
    EXPECT_EQ(m_platform.shown,
              (Messages{UnsupportedCharacterMessage("\xE2\x86\x92"), "Select a parent node"}));
    m_state.openBook.clear();
    m_state.unsavedChanges = false;
    const BookNode* root = m_maintenance.addNode(nullptr).select;
    EXPECT_EQ(root, m_state.openBook.first());
    EXPECT_EQ(Shape(m_state.openBook), "Root|");
    EXPECT_TRUE(m_state.unsavedChanges);
}

TEST_F(MaintenanceTest, DeletingNodes) {
    const struct {
        const char* selected;
        const char* message;
        const char* after;
    } rows[] = {{"", "Nothing selected", "r|.a|..a1|..a2|.b|.c|"},
                {"r", "Cant delete the root node", "r|.a|..a1|..a2|.b|.c|"},
                {"a", "", "r|.b|.c|"}};
    for (const auto& row : rows) {
        m_state.unsavedChanges = false;
        m_platform.shown.clear();
        EXPECT_EQ(m_maintenance.deleteNode(node(row.selected)).beep, *row.message != 0);
        EXPECT_EQ(Shape(m_state.openBook), row.after) << row.selected;
        EXPECT_EQ(m_platform.shown, *row.message ? Messages{row.message} : Messages{});
        EXPECT_TRUE(m_state.unsavedChanges) << row.selected;
    }
}

TEST_F(MaintenanceTest, RenamingMarksOnlyTheOpenBook) {
    test::Build(m_state.comparisonBook, "v|");
    m_platform.inputs = {std::string("B \xC3\xA4"), std::nullopt, std::string("V")};
    m_maintenance.editNodeText(MaintenanceTree::Book, node("b"));
    m_state.unsavedChanges = false;
    m_maintenance.editNodeText(MaintenanceTree::Book, node("c")); // cancelled
    EXPECT_TRUE(m_state.unsavedChanges);
    m_state.unsavedChanges = false;
    m_maintenance.editNodeText(MaintenanceTree::Comparison, m_state.comparisonBook.first());
    m_maintenance.editNodeText(MaintenanceTree::Book, nullptr);
    EXPECT_FALSE(m_state.unsavedChanges);
    EXPECT_EQ(Shape(m_state.openBook) + Shape(m_state.comparisonBook),
              "r|.a|..a1|..a2|.B \xE4|.c|V|");
    EXPECT_EQ(m_platform.asked.size(), 3u);
}

TEST(MaintenanceDrop, DroppingNodes) {
    const struct {
        const char* name;
        DragSource source;
        const char* selected;
        const char* hit;
        DropSpot spot;
        const char* after;
        const char* expanded;
    } rows[] = {
        {"on a label", DragSource::BookTree, "c", "a", DropSpot::Label, "r|.a|..a1|..a2|..c|.b|",
         "a"},
        {"on an indent", DragSource::BookTree, "c", "a1", DropSpot::ExpandButtonOrIndent,
         "r|.a|..c|..a1|..a2|.b|", "a"},
        {"from the chart", DragSource::ChartView, "c", "b", DropSpot::Label,
         "r|.a|..a1|..a2|.b|..c|", "b"},
        // A second root would be lost on saving: a book file keeps only the first.
        {"before the root", DragSource::BookTree, "b", "r", DropSpot::ExpandButtonOrIndent,
         kBook.data(), ""},
        {"on itself", DragSource::BookTree, "a", "a", DropSpot::Label, kBook.data(), ""},
        {"into its subtree", DragSource::BookTree, "a", "a2", DropSpot::Label, kBook.data(), ""},
        {"beside a node", DragSource::BookTree, "c", "a", DropSpot::Elsewhere, kBook.data(), ""},
        {"not from a tree", DragSource::Other, "c", "a", DropSpot::Label, kBook.data(), ""},
        {"nothing selected", DragSource::BookTree, "", "a", DropSpot::Label, kBook.data(), ""},
    };
    ScriptedPlatform platform;
    for (const auto& row : rows) {
        AppState state;
        const BookTree& book = state.openBook;
        test::Build(state.openBook, kBook);
        const TreeCommandResult r =
            Maintenance(state, platform)
                .dropNode(MaintenanceTree::Book, row.source, Find(book, row.selected),
                          Find(book, row.hit), row.spot);
        EXPECT_EQ(Shape(book), row.after) << row.name;
        EXPECT_EQ(r.expand, Find(book, row.expanded)) << row.name;
        EXPECT_EQ(state.unsavedChanges, row.after != kBook) << row.name;
    }
}

// "Tyhjennä kaikki" leaves the saved state alone; the reindex its result asks for lets go of
// every node of the emptied book, and the pages then show an empty book.
TEST(MaintenanceClear, EmptiesBothBooksAndTheReindexForgetsThem) {
    ScriptedPlatform platform;
    Application app(platform);
    const std::string book = std::string(KP_SOURCE_DIR) + "/examples/esimerkki-2026.tlk";
    ASSERT_TRUE(app.openBook(book));
    ASSERT_TRUE(app.openComparison(book));
    Maintenance maintenance(app.state(), platform);
    if (maintenance.clearBook().bookEmptied)
        app.rebuildAccountIndex();
    EXPECT_TRUE(app.state().openBook.empty() && app.state().comparisonBook.empty());
    EXPECT_FALSE(app.state().unsavedChanges || app.state().comparisonLoaded);
    EXPECT_EQ(app.index().fiscalYear(), nullptr);
    EXPECT_EQ(app.index().accountMap(), nullptr);
    EXPECT_EQ(app.index().events(), nullptr);
    EXPECT_TRUE(app.index().accounts().empty());
    ASSERT_TRUE(app.activatePage(Tab::Journal));
    EXPECT_EQ(app.journal().root(), nullptr);
}

} // namespace
} // namespace kp

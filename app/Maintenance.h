// The maintenance page: the raw book trees behind an access code, edited node by node.
#pragma once

#include "app/AppState.h"
#include "app/Platform.h"
#include "book/BookTree.h"

#include <string_view>

namespace kp {

inline constexpr std::string_view kMaintenanceCode = "8262";

// The two raw tree pages: "Ylläpito" shows the open book, "Vertailukausi" the comparison book.
enum class MaintenanceTree { Book, Comparison };

// Where a drag started. The chart view may always be dragged from; anything else only while the
// maintenance tabs are shown.
enum class DragSource { ChartView, JournalView, BookTree, ComparisonTree, Other };

// What the window shows after "Näytä ylläpitosivu".
struct MaintenanceVisibility {
    bool tabsShown = false;      // tabs 6 "Ylläpito" and 7 "Vertailukausi"
    bool renumberShown = false;  // the journal menu's last separator and "Päivitä tositenumerot"
    bool leaveHiddenTab = false; // the page shown was just hidden: show the journal page
};

// What the window does after a tree command. Messages have been shown through the platform.
struct TreeCommandResult {
    bool beep = false;
    // The view of that tree must be refreshed from its book tree; nodes removed from the model
    // take their selection with them.
    bool bookTreeChanged = false;
    bool comparisonTreeChanged = false;
    const BookNode* select = nullptr; // select this node
    const BookNode* reveal = nullptr; // expand its ancestors and scroll to it
    const BookNode* expand = nullptr; // expand this node
    bool expandAll = false;           // every node of both trees
    bool collapseAll = false;
    // Both books are empty now: the application clears the comparison index and rebuilds the
    // open book's index at once, so that the current-book references and the account lists let
    // go of the deleted nodes before anything (the file menu) reads them.
    bool bookEmptied = false;
};

// Lets the user add, delete, rename and move any node, whatever the book schema says. The tree
// commands act on the open book even when the comparison tree's context menu was used; only
// renaming and moving act on the tree they happen in.
class Maintenance {
  public:
    Maintenance(AppState& state, Platform& platform) : m_state(state), m_platform(platform) {}

    bool tabsShown() const { return m_tabsShown; }
    // Renumbering and dragging vouchers in the journal come with the tabs.
    bool journalEditsUnlocked() const { return m_tabsShown; }
    // A drag over the journal view or either raw tree.
    bool acceptsDrag(DragSource source) const {
        return source == DragSource::ChartView || m_tabsShown;
    }

    // "Näytä ylläpitosivu": hides the tabs, or shows them when the right code is typed.
    // maintenanceTabActive: the page shown is one of the two tabs.
    MaintenanceVisibility toggle(bool maintenanceTabActive);

    // "Lisää" (also the Insert key, while the maintenance page is shown) with the book tree's
    // selection.
    TreeCommandResult addNode(BookNode* bookSelection);
    // "Poista" with the book tree's selection.
    TreeCommandResult deleteNode(BookNode* bookSelection);
    // "Tyhjennä kaikki": empties both books; whether the book counts as saved does not change.
    TreeCommandResult clearBook();
    // "Laajenna" and "Supista": every node of both trees.
    TreeCommandResult expandTrees() const;
    TreeCommandResult collapseTrees() const;

    // A double click in either tree: asks for the selected node's new text.
    TreeCommandResult editNodeText(MaintenanceTree tree, BookNode* selection);

    // A drop on either tree: moves the tree's selected node to the node hit, as its last child
    // (dropped on the label) or as the sibling before it (dropped on the expand button or indent).
    TreeCommandResult dropNode(MaintenanceTree tree, DragSource source, BookNode* selection,
                               BookNode* hitNode, DropSpot spot);

  private:
    BookTree& treeOf(MaintenanceTree tree) {
        return tree == MaintenanceTree::Book ? m_state.openBook : m_state.comparisonBook;
    }
    // A typed text in the book's code page; false (after the message) when it cannot be held.
    bool toBookText(const std::string& utf8, std::string& out);
    TreeCommandResult refuse(const char* message);

    AppState& m_state;
    Platform& m_platform;
    bool m_tabsShown = false;
};

} // namespace kp

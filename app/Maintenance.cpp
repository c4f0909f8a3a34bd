// The maintenance page: the raw book trees behind an access code, edited node by node.
#include "app/Maintenance.h"

#include "book/Win1252.h"

namespace kp {

MaintenanceVisibility Maintenance::toggle(bool maintenanceTabActive) {
    if (m_tabsShown) {
        m_tabsShown = false;
    } else {
        // A wrong code, or the preset "0000" confirmed, leaves the tabs hidden without a word.
        const auto answer = m_platform.inputBox("Yll\xC3\xA4pitosivu", "Anna tunnus", "0000");
        m_tabsShown = answer && *answer == kMaintenanceCode;
    }
    return {m_tabsShown, m_tabsShown, !m_tabsShown && maintenanceTabActive};
}

TreeCommandResult Maintenance::addNode(BookNode* bookSelection) {
    m_state.markBookChanged();
    BookTree& book = m_state.openBook;
    TreeCommandResult result;
    if (book.empty()) {
        result.select = book.addLast(nullptr, "Root");
        result.bookTreeChanged = true;
        return result;
    }
    if (!bookSelection)
        return refuse("Select a parent node");
    // A cancelled question still adds the node, with the empty text.
    std::string text;
    if (const auto answer = m_platform.inputBox("New Node", "Caption ?", "");
        answer && !toBookText(*answer, text))
        return result;
    result.reveal = book.addFirst(bookSelection, text);
    result.bookTreeChanged = true;
    return result;
}

TreeCommandResult Maintenance::deleteNode(BookNode* bookSelection) {
    m_state.markBookChanged();
    if (!bookSelection)
        return refuse("Nothing selected");
    if (bookSelection->level() == 0)
        return refuse("Cant delete the root node");
    m_state.openBook.remove(bookSelection);
    TreeCommandResult result;
    result.bookTreeChanged = true;
    return result;
}

TreeCommandResult Maintenance::clearBook() {
    m_state.openBook.clear();
    m_state.comparisonBook.clear();
    m_state.comparisonLoaded = false;
    // Every view still shows the book that was; marked stale, each is rebuilt empty when next
    // shown. The unsaved-changes flag stays as it was.
    m_state.markAllStale();
    TreeCommandResult result;
    result.bookTreeChanged = true;
    result.comparisonTreeChanged = true;
    result.bookEmptied = true;
    return result;
}

TreeCommandResult Maintenance::expandTrees() const {
    TreeCommandResult result;
    result.expandAll = true;
    return result;
}

TreeCommandResult Maintenance::collapseTrees() const {
    TreeCommandResult result;
    result.collapseAll = true;
    return result;
}

TreeCommandResult Maintenance::editNodeText(MaintenanceTree tree, BookNode* selection) {
    TreeCommandResult result;
    if (!selection)
        return result;
    const auto answer =
        m_platform.inputBox("Muuta", "Teksti", Win1252ToUtf8(std::string(selection->text())));
    std::string text;
    if (answer && toBookText(*answer, text)) {
        treeOf(tree).setText(selection, text);
        (tree == MaintenanceTree::Book ? result.bookTreeChanged : result.comparisonTreeChanged) =
            true;
    }
    // The open book counts as changed even when the question was cancelled.
    if (tree == MaintenanceTree::Book)
        m_state.markBookChanged();
    return result;
}

TreeCommandResult Maintenance::dropNode(MaintenanceTree tree, DragSource source,
                                        BookNode* selection, BookNode* hitNode, DropSpot spot) {
    TreeCommandResult result;
    if (source == DragSource::Other || !selection || !hitNode || spot == DropSpot::Elsewhere ||
        hitNode == selection)
        return result;
    BookTree& target = treeOf(tree);
    // A node cannot go into its own subtree; then nothing has happened and nothing is marked.
    if (target.isInSubtree(hitNode, selection))
        return result;
    // Nothing goes beside a root: a book file keeps only its first root, so a node placed
    // before it would be all that a save kept.
    if (spot != DropSpot::Label && !hitNode->parent())
        return result;
    if (spot == DropSpot::Label)
        target.moveToLastChild(selection, hitNode);
    else
        target.moveBefore(selection, hitNode);
    result.expand = selection->parent();
    (tree == MaintenanceTree::Book ? result.bookTreeChanged : result.comparisonTreeChanged) = true;
    if (tree == MaintenanceTree::Book)
        m_state.markBookChanged();
    return result;
}

bool Maintenance::toBookText(const std::string& utf8, std::string& out) {
    std::string offending;
    if (Utf8ToWin1252(utf8, out, &offending))
        return true;
    m_platform.showMessage(UnsupportedCharacterMessage(offending));
    return false;
}

TreeCommandResult Maintenance::refuse(const char* message) {
    m_platform.showMessage(message);
    TreeCommandResult result;
    result.beep = true;
    return result;
}

} // namespace kp

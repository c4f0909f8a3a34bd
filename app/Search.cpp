// "Etsi" and "Etsi seuraava": finding the next node of a tree or the next line of a report page.
#include "app/Search.h"

#include "book/TextHelpers.h"
#include "book/Win1252.h"

#include <algorithm>
#include <variant>

namespace kp {
namespace {

// The first node after the subtree of a child of the first root, where its pre-order walk ends.
const BookNode* AfterSubtree(const BookTree& tree, const BookNode* top) {
    for (const BookNode* p = top; p; p = p->parent())
        if (const BookNode* sibling = tree.nextSibling(p))
            return sibling;
    return nullptr;
}

} // namespace

std::string LowerAscii(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), [](char c) { return LowerAscii(c); });
    return out;
}

bool ContainsLowered(std::string_view text, std::string_view loweredPattern) {
    if (loweredPattern.empty())
        return false;
    // Compared byte by byte so that a ledger of many thousand lines is searched without a
    // lower-cased copy of every line.
    return std::search(text.begin(), text.end(), loweredPattern.begin(), loweredPattern.end(),
                       [](char a, char b) { return LowerAscii(a) == b; }) != text.end();
}

SearchResult Search::find(const SearchSelection& current) {
    m_state.searchStartBranch = 0;
    if (std::holds_alternative<std::monostate>(m_state.searchTarget))
        return {};
    const auto answer = m_platform.inputBox("Etsi", "", Win1252ToUtf8(m_state.searchText));
    if (!answer)
        return {};
    if (answer->empty()) {
        m_state.searchText.clear();
        return {};
    }
    std::string text;
    std::string offending;
    if (!Utf8ToWin1252(*answer, text, &offending)) {
        // No node text can hold such a character; the old search text stays.
        m_platform.showMessage(UnsupportedCharacterMessage(offending));
        return {};
    }
    m_state.searchText = LowerAscii(text);
    SearchResult result = findNext(current);
    result.focusTarget = true;
    return result;
}

SearchResult Search::findNext(const SearchSelection& current) {
    if (const auto* tree = std::get_if<const BookTree*>(&m_state.searchTarget); tree && *tree)
        return searchTree(**tree, current.node);
    if (const auto* lines = std::get_if<const ReportLines*>(&m_state.searchTarget); lines && *lines)
        return searchLines(**lines, current.line);
    return {};
}

SearchResult Search::findNextIfActive(const SearchSelection& current) {
    if (!m_state.searchActive)
        return {};
    return findNext(current);
}

SearchResult Search::searchTree(const BookTree& tree, const BookNode* selected) {
    m_state.searchActive = true;
    const BookNode* root = tree.first();
    if (!root) {
        reportNotFound();
        return {};
    }
    // Only nodes after the selection in the pre-order of the whole tree can match. The walk
    // below follows that order, so a node qualifies once the selection has been passed; a
    // selection under a later root is never passed.
    bool passed = selected == nullptr;
    const int firstBranch = std::max(0, m_state.searchStartBranch);
    for (int branch = 0; branch < root->childCount(); ++branch) {
        const BookNode* top = root->child(branch);
        if (branch < firstBranch) {
            passed = passed || tree.isInSubtree(selected, top);
            continue;
        }
        const BookNode* end = AfterSubtree(tree, top);
        for (const BookNode* node = top; node && node != end; node = tree.next(node)) {
            if (!passed) {
                passed = node == selected;
                continue;
            }
            if (ContainsLowered(node->text(), m_state.searchText)) {
                m_state.searchStartBranch = branch;
                return {node, std::nullopt, false};
            }
        }
    }
    reportNotFound();
    return {};
}

SearchResult Search::searchLines(const ReportLines& lines, std::optional<std::size_t> selected) {
    m_state.searchActive = true;
    for (std::size_t i = selected ? *selected + 1 : 0; i < lines.size(); ++i)
        if (ContainsLowered(lines[i], m_state.searchText))
            return {nullptr, i, false};
    reportNotFound();
    return {};
}

void Search::reportNotFound() {
    m_platform.showMessage(Win1252ToUtf8(m_state.searchText) + " ei l\xC3\xB6ydy!");
}

} // namespace kp

// "Etsi" and "Etsi seuraava": finding the next node of a tree or the next line of a report page.
#include "app/Search.h"

#include "book/TextHelpers.h"
#include "book/Win1252.h"

#include <algorithm>
#include <variant>

namespace kp {
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
    if (const auto* tree = std::get_if<const BookTree*>(&m_state.searchTarget); tree && *tree) {
        if (m_beforeTreeSearch)
            m_beforeTreeSearch(**tree);
        return searchTree(**tree, current.node);
    }
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
    // Only the first root's descendants are searched, the root itself never: it is the page's
    // title. A selection elsewhere counts as none.
    const BookNode* end = root ? tree.nextSibling(root) : nullptr;
    if (selected && (!root || selected == root || !tree.isInSubtree(selected, root)))
        selected = nullptr;
    const BookNode* first = root ? tree.next(root) : nullptr;
    const BookNode* from = selected ? tree.next(selected) : first;
    // From the selection to the end, then from the start up to the selection itself.
    for (int pass = 0; pass < 2; ++pass) {
        const BookNode* stop = pass == 0 ? end : (selected ? tree.next(selected) : end);
        for (const BookNode* node = pass == 0 ? from : first; node && node != stop;
             node = tree.next(node)) {
            if (ContainsLowered(node->text(), m_state.searchText)) {
                const BookNode* branch = node;
                while (branch->parent() != root)
                    branch = branch->parent();
                m_state.searchStartBranch = branch->index();
                return found({node, std::nullopt, false, pass == 1});
            }
        }
        if (!selected)
            break;
    }
    reportNotFound();
    return {};
}

SearchResult Search::searchLines(const ReportLines& lines, std::optional<std::size_t> selected) {
    m_state.searchActive = true;
    if (selected && *selected >= lines.size())
        selected.reset();
    const std::size_t from = selected ? *selected + 1 : 0;
    for (std::size_t i = from; i < lines.size(); ++i)
        if (ContainsLowered(lines[i], m_state.searchText))
            return found({nullptr, i, false, false});
    for (std::size_t i = 0; i < from && i < lines.size(); ++i)
        if (ContainsLowered(lines[i], m_state.searchText))
            return found({nullptr, i, false, true});
    reportNotFound();
    return {};
}

SearchResult Search::found(SearchResult result) {
    if (m_status)
        m_status->assign(result.wrapped ? kSearchWrapped : "");
    return result;
}

void Search::reportNotFound() {
    if (m_status)
        m_status->clear();
    m_platform.showMessage(Win1252ToUtf8(m_state.searchText) + " ei l\xC3\xB6ydy!");
}

} // namespace kp

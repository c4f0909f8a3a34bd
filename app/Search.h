// "Etsi" and "Etsi seuraava": finding the next node of a tree or the next line of a report page.
#pragma once

#include "app/AppState.h"
#include "app/Platform.h"
#include "book/BookTree.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace kp {

// The selection of the view searched, when the search starts: a node for a tree target, a line
// index for a line target.
struct SearchSelection {
    const BookNode* node = nullptr;
    std::optional<std::size_t> line;
};

// What the window does afterwards: select the node or line found and scroll to it, and after
// "Etsi" give the searched view the input focus whether or not anything was found.
struct SearchResult {
    const BookNode* node = nullptr;
    std::optional<std::size_t> line;
    bool focusTarget = false;
    // The match lies before the selection: the search went past the end and began again.
    bool wrapped = false;

    bool found() const { return node != nullptr || line.has_value(); }
};

inline constexpr std::string_view kSearchWrapped = "Haku jatkui alusta";

// Searches the target that the page change put into the application state. The search text is
// kept lower-cased in the book's code page; only A..Z are folded, so "ä" does not find "Ä".
// The search runs from the selection to the end of the page and then on from its start up to
// the selection itself, saying so in the status text; "ei löydy!" means nothing on the page
// matches. A selection that is not the target's (left from another page or an earlier build) is
// taken as none, so that nothing from elsewhere stops the search.
class Search {
  public:
    Search(AppState& state, Platform& platform, std::string* status = nullptr)
        : m_state(state), m_platform(platform), m_status(status) {}

    // "Etsi" (Ctrl+F): asks for the text, offering the last one, then searches from the
    // selection.
    SearchResult find(const SearchSelection& current);
    // "Etsi seuraava" (Ctrl+G): searches on with the text there is.
    SearchResult findNext(const SearchSelection& current);
    // Ctrl+L: "Etsi seuraava", but only while a search has run since the last page change.
    SearchResult findNextIfActive(const SearchSelection& current);
    // Called before a tree is searched: a view makes the nodes it keeps for later.
    void setBeforeTreeSearch(std::function<void(const BookTree&)> before) {
        m_beforeTreeSearch = std::move(before);
    }

  private:
    SearchResult searchTree(const BookTree& tree, const BookNode* selected);
    SearchResult searchLines(const ReportLines& lines, std::optional<std::size_t> selected);
    SearchResult found(SearchResult result);
    void reportNotFound();

    AppState& m_state;
    Platform& m_platform;
    std::string* m_status;
    std::function<void(const BookTree&)> m_beforeTreeSearch;
};

// Folds A..Z to a..z and leaves every other byte, the Finnish letters included, as it is.
std::string LowerAscii(std::string_view text);

// Whether the text, lower-cased, holds the (already lower-cased) pattern. An empty pattern is
// found nowhere, so that "Etsi seuraava" before any "Etsi" finds nothing.
bool ContainsLowered(std::string_view text, std::string_view loweredPattern);

} // namespace kp

// "Etsi" and "Etsi seuraava": finding the next node of a tree or the next line of a report page.
#pragma once

#include "app/AppState.h"
#include "app/Platform.h"
#include "book/BookTree.h"

#include <cstddef>
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

    bool found() const { return node != nullptr || line.has_value(); }
};

// Searches the target that the page change put into the application state. The search text is
// kept lower-cased in the book's code page; only A..Z are folded, so "ä" does not find "Ä".
// A match must lie after the current selection: there is no wrap-around.
class Search {
  public:
    Search(AppState& state, Platform& platform) : m_state(state), m_platform(platform) {}

    // "Etsi" (Ctrl+F): asks for the text, offering the last one, then searches from the
    // selection.
    SearchResult find(const SearchSelection& current);
    // "Etsi seuraava" (Ctrl+G): searches on with the text there is.
    SearchResult findNext(const SearchSelection& current);
    // Ctrl+L: "Etsi seuraava", but only while a search has run since the last page change.
    SearchResult findNextIfActive(const SearchSelection& current);

  private:
    SearchResult searchTree(const BookTree& tree, const BookNode* selected);
    SearchResult searchLines(const ReportLines& lines, std::optional<std::size_t> selected);
    void reportNotFound();

    AppState& m_state;
    Platform& m_platform;
};

// Folds A..Z to a..z and leaves every other byte, the Finnish letters included, as it is.
std::string LowerAscii(std::string_view text);

// Whether the text, lower-cased, holds the (already lower-cased) pattern. An empty pattern is
// found nowhere, so that "Etsi seuraava" before any "Etsi" finds nothing.
bool ContainsLowered(std::string_view text, std::string_view loweredPattern);

} // namespace kp

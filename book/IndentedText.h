// The indented text book format: one line per node, TABs for the level, CR LF line ends.
#pragma once

#include "book/BookTree.h"
#include "book/FileResult.h"

#include <optional>
#include <string>
#include <string_view>

namespace kp {

// Parses the content into the tree (appending) and returns the first damage found: a NUL byte
// (the content ends there), a line that jumps more than one level deeper or lies deeper than
// kMaxIndentedDepth (reading stops there; the lines before it stay in the tree).
std::optional<BookDamage> ParseIndentedText(BookTree& tree, std::string_view data);

// One line per node. A text holding a line break or a NUL byte, or beginning with a TAB or a
// blank, would not read back, nor would a tree deeper than kMaxIndentedDepth: the first such
// node is described in problem when it is given (the text is then not a faithful copy).
std::string FormatIndentedText(const BookTree& tree, std::string* problem = nullptr);

} // namespace kp

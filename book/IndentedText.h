// The indented text book format: one line per node, TABs for the level, CR LF line ends.
#pragma once

#include "book/BookTree.h"
#include "book/FileResult.h"

#include <string>
#include <string_view>

namespace kp {

// Parses the content into the tree (appending). Fails only on a line that jumps more than one
// level deeper; the lines before it stay in the tree.
FileResult ParseIndentedText(BookTree& tree, std::string_view data);
std::string FormatIndentedText(const BookTree& tree);

FileResult ReadIndentedText(BookTree& tree, const std::string& fileName);
FileResult WriteIndentedText(const BookTree& tree, const std::string& fileName);

} // namespace kp

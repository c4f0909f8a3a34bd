// The nested-list book format (.tlk): the first root and its subtree as one parenthesised line.
#pragma once

#include "book/BookTree.h"
#include "book/FileResult.h"

#include <optional>
#include <string>
#include <string_view>

namespace kp {

// Parses the bytes into the tree (appending roots) as far as they describe nodes, and returns the
// first damage found: a file that does not start with "(" (blanks and line ends before it are
// skipped), a list or a quote left open at the end, NUL bytes, an item that starts with neither
// "(" nor a quote, anything but blanks after the first root. NUL bytes are left out of the texts,
// and a quote left open at the end is closed. Data that are the tree's source bytes
// (BookTree::takeSourceBytes) keep the texts that stand in them, moved together, and the rest
// of their bytes are overwritten or given back: describe a damage from the bytes as they were.
std::optional<BookDamage> ParseNestedList(BookTree& tree, std::string_view data);

// The nested-list text of the first root and its subtree. Every node is written so that it reads
// back as it is; a node that the format cannot hold (a text with blanks or control bytes at its
// ends, NUL bytes, a parenthesis or an odd quote it cannot put inside quotes, a whole quoted text
// with children or as a first child) is written as well as it goes and, when problem is given,
// the first one is described there.
std::string FormatNestedList(const BookTree& tree, std::string* problem = nullptr);

} // namespace kp

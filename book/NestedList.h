// The nested-list book format (.tlk): the first root and its subtree as one parenthesised line.
#pragma once

#include "book/BookTree.h"
#include "book/FileResult.h"

#include <string>
#include <string_view>

namespace kp {

// Parses the bytes into the tree (appending roots). Never fails: malformed bytes give whatever
// nodes they describe.
void ParseNestedList(BookTree& tree, std::string_view data);

// The nested-list text of the first root and its subtree.
std::string FormatNestedList(const BookTree& tree);

FileResult ReadNestedList(BookTree& tree, const std::string& fileName);
FileResult WriteNestedList(const BookTree& tree, const std::string& fileName);

} // namespace kp

// Loading and saving a book in the format its file name's extension selects.
#pragma once

#include "book/BookTree.h"
#include "book/FileResult.h"

#include <string>
#include <string_view>

namespace kp {

enum class BookFormat { NestedList, IndentedText };

// ".tlk" in any letter case selects the nested-list format; every other extension, none
// included, the indented text format.
BookFormat FormatForFileName(std::string_view fileName);

// Strict loading refuses a damaged file and leaves the tree empty; salvaging reads it as far as it
// goes and reports the damage in a successful result (damaged set, message the warning).
enum class LoadMode { Strict, Salvage };

// The sentence that ends the message of a strict load that refused a damaged file.
inline constexpr std::string_view kDamagedNotOpened = " Tiedostoa ei avattu.";

FileResult LoadBook(BookTree& tree, const std::string& fileName, LoadMode mode = LoadMode::Strict);
// Whether two forests hold the same texts in the same shape; for the nested-list format only the
// first roots, the part that format stores.
bool SameBook(const BookTree& a, const BookTree& b, BookFormat format);

FileResult SaveBook(const BookTree& tree, const std::string& fileName);
// The same for a book given as the bytes of its file, in the format the name selects (a
// generated book too large to build as a tree first): the copy on disk is checked byte for byte.
FileResult SaveBookText(const std::string& text, const std::string& fileName);

} // namespace kp

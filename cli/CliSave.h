// How every kirjanpito-cli command writes a book.
#pragma once

#include "book/BookTree.h"

#include <ostream>
#include <string>

namespace kp {

// Saves the book, keeping the version it replaces; a version that could not be kept is said on
// err without failing the command. The command's exit status: 0 when saved, 1 when not.
int SaveCommandBook(const BookTree& tree, const std::string& fileName, std::ostream& err);
// The same for a book made as file text (a generated book too large to build as a tree first):
// the copy on disk is checked byte for byte before it replaces the file.
int SaveCommandText(const std::string& text, const std::string& fileName, std::ostream& err);

} // namespace kp

// The book check ("Tarkista kirjanpito", `kirjanpito-cli check`): everything in a book that a
// bookkeeper must look at, one Finnish line each.
#pragma once

#include "book/BookTree.h"
#include "book/FileResult.h"

#include <string>
#include <string_view>
#include <vector>

namespace kp {

class Application;

// What the check says when it finds nothing (UTF-8, as every finding).
inline constexpr std::string_view kBookInOrder = "Kirjanpidosta ei löytynyt huomautettavaa.";

// The findings in a book tree, in the order a bookkeeper would go through the book: its fiscal
// year, its chart of accounts, then voucher by voucher. Nothing in the tree is changed.
std::vector<std::string> CheckBook(const BookTree& book);

// The findings for a book read with a salvaging load: the file's damage, as the load describes
// it, comes first.
std::vector<std::string> CheckLoadedBook(const FileResult& load, const BookTree& book);

// The window's check: the open book as it stands in memory, and the damage of the file it was
// read from, when that file is there to read.
std::vector<std::string> CheckOpenBook(const Application& app);

} // namespace kp

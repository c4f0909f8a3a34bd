// The window program's command line: kirjanpito [PROFILE] [--open BOOK | BOOK] [--screenshots DIR].
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kp {

struct StartArguments {
    std::optional<std::string> profile;     // the settings profile (PROFILE.ini)
    std::optional<std::string> book;        // the book to open
    std::optional<std::string> screenshots; // the folder for pictures of the pages
};

// The arguments after the program's name. A plain argument that names an existing file ending
// in .tlk or .txt is the book (a file manager passes a double-clicked book so); the first other
// plain argument names the profile. --open names the book whatever its name; it wins over a
// plain book argument.
StartArguments ParseStartArguments(const std::vector<std::string>& arguments);

} // namespace kp

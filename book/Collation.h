// The one comparison by which account lists are sorted and searched: case-insensitive Finnish
// alphabetical order over Windows-1252 bytes, independent of the machine's locale.
#pragma once

#include <string_view>

namespace kp {

// Negative, zero or positive. Upper and lower case compare equal, accented letters compare as
// their base letter (é as e, ü as y), and Å, Ä, Ö come after Z. Blanks and punctuation sort
// before digits, digits before letters, so "100 X" comes before "1000 Y".
int CollateCompare(std::string_view a, std::string_view b);

// Compares the first key.size() characters of item with the key; an item shorter than the key
// compares as its whole text (and so sorts first when it is a prefix of the key).
int ComparePrefix(std::string_view item, std::string_view key);

// A strict weak order for sorting with the same comparison.
struct CollateLess {
    bool operator()(std::string_view a, std::string_view b) const {
        return CollateCompare(a, b) < 0;
    }
};

} // namespace kp

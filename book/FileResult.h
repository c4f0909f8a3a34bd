// What a file operation reports: success, or the message to show; and what a reader found damaged.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

namespace kp {

struct FileResult {
    bool ok = true;
    std::string message; // UTF-8, shown as it stands
    // A book file whose structure is damaged (cut off, not a book, stray bytes): on a strict load
    // the message says what and where and nothing was loaded; on a salvaging load the book was
    // read as far as it goes and the message is the warning to show.
    bool damaged = false;

    static FileResult success() { return {}; }
    static FileResult failure(std::string text) { return {false, std::move(text)}; }
    explicit operator bool() const { return ok; }
};

// The first thing a reader found wrong with a book file: what (Finnish, UTF-8) and the byte
// offset where it is.
struct BookDamage {
    std::string what;
    std::size_t offset = 0;
};

// "tiedosto loppuu kesken (kohta 13000)", or with the line and column when the damage lies past
// the first line of the file.
std::string DescribeDamage(const BookDamage& damage, std::string_view data);

// How deep a book may be nested in the indented text format, whose indentation grows with the
// square of the depth; real books use fewer than 15 levels.
inline constexpr int kMaxIndentedDepth = 1000;

} // namespace kp

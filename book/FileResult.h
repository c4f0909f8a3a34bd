// What a file operation reports: success, or the message to show.
#pragma once

#include <string>
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

} // namespace kp

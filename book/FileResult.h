// What a file operation reports: success, or the message to show.
#pragma once

#include <string>
#include <utility>

namespace kp {

struct FileResult {
    bool ok = true;
    std::string message; // UTF-8, shown as it stands

    static FileResult success() { return {}; }
    static FileResult failure(std::string text) { return {false, std::move(text)}; }
    explicit operator bool() const { return ok; }
};

} // namespace kp

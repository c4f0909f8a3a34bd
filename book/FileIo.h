// Whole-file reading and crash-safe replacing writes.
#pragma once

#include "book/FileResult.h"

#include <functional>
#include <string>
#include <string_view>

namespace kp {

bool ReadWholeFile(const std::string& fileName, std::string& data);

// Checks a written copy before it replaces the target: given the copy's file name, an empty
// result lets the save go on, anything else is the reason it stops.
using WriteCheck = std::function<std::string(const std::string& copyName)>;

// Writes the bytes to a temporary file in the target's folder, checks it and renames it over the
// target, so that a failed or interrupted save never leaves a truncated book; on failure the old
// file stays as it was and the temporary file is removed. A symbolic link is followed and its
// target replaced; a file with other hard links is rewritten in place after the check, so that
// every name keeps showing the same content; a read-only file is refused. Targets that are not
// regular files (/dev/null, a pipe, /dev/stdout) are written directly, without a check. On
// failure the message says why, in Finnish, with the system's own words where it gave them.
FileResult WriteFileReplacing(const std::string& fileName, std::string_view data,
                              const WriteCheck& check = {});

} // namespace kp

// Whole-file reading and crash-safe replacing writes.
#pragma once

#include <string>
#include <string_view>

namespace kp {

bool ReadWholeFile(const std::string& fileName, std::string& data);

// Writes the bytes to a temporary file in the target's folder and renames it over the target,
// so that a failed or interrupted save never leaves a truncated book; on failure the old file
// stays as it was. A symbolic link is followed and its target replaced.
bool WriteFileReplacing(const std::string& fileName, std::string_view data);

} // namespace kp

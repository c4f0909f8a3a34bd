// Whole-file reading and crash-safe replacing writes.
#pragma once

#include <string>
#include <string_view>

namespace kp {

// On failure these leave errno saying why (EISDIR for a folder), for FileErrorMessage.
bool ReadWholeFile(const std::string& fileName, std::string& data);

// Writes the bytes to a temporary file in the target's folder and renames it over the target,
// so that a failed or interrupted save never leaves a truncated book; on failure the old file
// stays as it was. A symbolic link is followed and its target replaced.
bool WriteFileReplacing(const std::string& fileName, std::string_view data);

enum class FileAction { Open, Save };

// What went wrong with a file, in Finnish, followed by the system's own message for the error
// number: "Tiedostoa ei voitu avata: NAME" and on the next line the reason.
std::string FileErrorMessage(FileAction action, const std::string& fileName, int error);

} // namespace kp

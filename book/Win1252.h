// Conversion between the Windows-1252 bytes of node texts and UTF-8 at the program's edges.
#pragma once

#include <string>
#include <string_view>

namespace kp {

std::string Win1252ToUtf8(std::string_view bytes);

// Converts UTF-8 text to Windows-1252. Returns false when the text holds a character that
// Windows-1252 cannot hold (or is not valid UTF-8); `offending` then names that character in
// UTF-8 so that the caller can say which one it refused.
bool Utf8ToWin1252(std::string_view utf8, std::string& out, std::string* offending = nullptr);

// The message shown when a typed text holds such a character.
std::string UnsupportedCharacterMessage(std::string_view offendingUtf8);

} // namespace kp

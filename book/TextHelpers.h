// Scanners and formatters that take numbers, dates and amounts out of node texts and cells.
#pragma once

#include "book/Collation.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kp {

// Money cents: one line of a book holds a signed 32-bit count; totals are summed in 64 bits so
// that a report over many lines never wraps around.
using Cents = std::int64_t;

inline constexpr Cents kMaxLineCents = 2147483647;
inline constexpr Cents kMinLineCents = -2147483647 - 1;
inline bool FitsLineCents(Cents c) {
    return c >= kMinLineCents && c <= kMaxLineCents;
}

// A digit or the minus sign.
inline bool IsNumberChar(char c) {
    return (c >= '0' && c <= '9') || c == '-';
}

// Converts a run of number characters: an optional leading minus and digits only, fitting a
// signed 32-bit integer. Anything else converts to 0.
std::int32_t ConvertRun(std::string_view run);

// All positions are 1-based; the cursor is read and written back.
std::int32_t ScanNumber(std::string_view text, int& cursor);
std::int32_t ScanNumberBack(std::string_view text, int& cursor);
std::int32_t NumberAt(std::string_view text, int position);
std::int32_t ScanDecimals(std::string_view text, int& cursor);

// Typed amount text to cents. The result may lie outside the 32-bit range of one book line (a
// typed 30000000 is 3000000000 cents); callers that store it check FitsLineCents.
Cents MoneyToCents(std::string_view text);
// Two decimals, decimal comma, leading minus, no grouping: 123455 -> "1234,55".
std::string CentsToText(Cents cents);
// The same text appended to out.
void AppendCents(std::string& out, Cents cents);
// The same text in a buffer of its own, for callers that write it elsewhere.
class CentsText {
  public:
    explicit CentsText(Cents cents);
    operator std::string_view() const { return {m_chars, m_size}; }

  private:
    char m_chars[24];
    std::size_t m_size;
};

// From the cursor (1-based): past the next open byte (when open is not NUL), then up to the next
// close byte (to the end when close is NUL); the cursor is left on the close byte.
std::string ExtractField(std::string_view text, char open, char close, int& cursor);
// The same field as a view of text.
std::string_view ExtractFieldView(std::string_view text, char open, char close, int& cursor);
std::string FillString(int count, char c);
int LeadingDigits(std::string_view text);
std::string ScaledToText(std::int64_t value, int decimals);
std::int32_t TextToScaled(std::string_view text, int decimals);

// Binary search by prefix over a list sorted with CollateCompare. Returns the index of some item
// whose first key.size() characters match the key, or -1. textOf(i) gives the text of item i.
template <class TextOf> int FindByPrefix(int count, std::string_view key, TextOf textOf) {
    if (key.empty() || count <= 0)
        return -1;
    int low = 0;
    int high = count - 1;
    while (low <= high) {
        const int mid = low + (high - low) / 2;
        const int c = ComparePrefix(textOf(mid), key);
        if (c < 0)
            low = mid + 1;
        else if (c > 0)
            high = mid - 1;
        else
            return mid;
    }
    return -1;
}

inline int FindByPrefix(const std::vector<std::string>& list, std::string_view key) {
    return FindByPrefix(static_cast<int>(list.size()), key,
                        [&](int i) -> std::string_view { return list[static_cast<size_t>(i)]; });
}

// Case-insensitive over A..Z only, as keys and codes are compared.
inline char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

// Trims bytes up to 32 (blanks and control characters) from both ends.
std::string_view TrimControl(std::string_view text);

} // namespace kp

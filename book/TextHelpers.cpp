// Scanners and formatters that take numbers, dates and amounts out of node texts and cells.
#include "book/TextHelpers.h"

#include <algorithm>
#include <charconv>

namespace kp {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Byte at a 1-based position, or 0 outside the text.
char At(std::string_view text, int pos) {
    if (pos < 1 || pos > static_cast<int>(text.size()))
        return '\0';
    return text[static_cast<size_t>(pos - 1)];
}

bool Within(std::string_view text, int pos) {
    return pos >= 1 && pos <= static_cast<int>(text.size());
}

std::string_view Slice(std::string_view text, int from, int to) { // [from, to), 1-based
    const int len = static_cast<int>(text.size());
    from = std::max(from, 1);
    to = std::min(to, len + 1);
    if (to <= from)
        return {};
    return text.substr(static_cast<size_t>(from - 1), static_cast<size_t>(to - from));
}

} // namespace

std::int32_t ConvertRun(std::string_view run) {
    const char* p = run.data();
    const char* const end = p + run.size();
    const bool negative = p != end && *p == '-';
    p += negative ? 1 : 0;
    if (p == end)
        return 0;
    std::int64_t value = 0;
    for (; p != end; ++p) {
        const unsigned digit = static_cast<unsigned char>(*p) - '0';
        if (digit > 9)
            return 0;
        value = value * 10 + digit;
        if (value > 2147483648LL)
            return 0;
    }
    if (negative)
        value = -value;
    if (value > 2147483647LL)
        return 0;
    return static_cast<std::int32_t>(value);
}

std::int32_t ScanNumber(std::string_view text, int& cursor) {
    cursor = std::max(cursor, 1);
    const auto from = static_cast<size_t>(cursor - 1); // 0-based
    if (from >= text.size())
        return 0;
    const char* const data = text.data();
    const char* const end = data + text.size();
    const char* p = data + from;
    while (p != end && !IsNumberChar(*p))
        ++p;
    const char* const start = p;
    // The usual run, digits after at most one leading minus, is read as it is scanned; a run
    // with a minus further in, or longer than any number that fits, goes to ConvertRun whole.
    const bool negative = p != end && *p == '-';
    p += negative ? 1 : 0;
    const char* const digits = p;
    constexpr std::ptrdiff_t kMostDigits = 10;
    const char* const last = end - p > kMostDigits ? p + kMostDigits : end;
    std::int64_t value = 0;
    for (; p != last; ++p) {
        const unsigned digit = static_cast<unsigned char>(*p) - '0';
        if (digit > 9)
            break;
        value = value * 10 + digit;
    }
    if (p != end && IsNumberChar(*p)) {
        while (p != end && IsNumberChar(*p))
            ++p;
        cursor = static_cast<int>(p - data) + 1;
        return ConvertRun(std::string_view(start, static_cast<size_t>(p - start)));
    }
    cursor = static_cast<int>(p - data) + 1;
    if (negative)
        value = -value;
    if (p == digits || value > 2147483647LL || value < -2147483648LL)
        return 0;
    return static_cast<std::int32_t>(value);
}

std::int32_t ScanNumberBack(std::string_view text, int& cursor) {
    const int len = static_cast<int>(text.size());
    if (cursor > len)
        cursor = len;
    while (cursor > 0 && !IsNumberChar(At(text, cursor)))
        --cursor;
    const int end = cursor;
    while (cursor > 0 && IsNumberChar(At(text, cursor)))
        --cursor;
    if (end > cursor)
        return ConvertRun(Slice(text, cursor + 1, end + 1));
    return 0;
}

std::int32_t NumberAt(std::string_view text, int position) {
    int end = position;
    while (Within(text, end) && IsNumberChar(At(text, end)))
        ++end;
    if (end == position)
        return 0;
    return ConvertRun(Slice(text, position, end));
}

std::int32_t ScanDecimals(std::string_view text, int& cursor) {
    cursor = std::max(cursor, 1);
    while (Within(text, cursor) && !IsDigit(At(text, cursor)))
        ++cursor;
    const int start = cursor;
    for (int taken = 0; taken < 2 && Within(text, cursor) && IsNumberChar(At(text, cursor));
         ++taken)
        ++cursor;
    if (!Within(text, start) || cursor == start)
        return 0;
    std::int32_t value = ConvertRun(Slice(text, start, cursor));
    if (cursor - start == 1)
        value *= 10; // one decimal 5 means 50 cents
    return value;
}

Cents MoneyToCents(std::string_view text) {
    // The form amounts are written in (an optional minus, up to nine digits, a comma and two
    // decimals) is read at once; the general reading below gives the same for it.
    const size_t sign = !text.empty() && text.front() == '-' ? 1 : 0;
    const size_t comma = text.size() - 3;
    if (text.size() >= sign + 4 && text.size() <= sign + 12 && text[comma] == ',' &&
        IsDigit(text[comma + 1]) && IsDigit(text[comma + 2])) {
        Cents value = 0;
        size_t i = sign;
        while (i < comma && IsDigit(text[i]))
            value = value * 10 + (text[i++] - '0');
        if (i == comma) {
            value = value * 100 + (text[comma + 1] - '0') * 10 + (text[comma + 2] - '0');
            return sign ? -value : value;
        }
    }
    int cursor = 1;
    const Cents whole = static_cast<Cents>(ScanNumber(text, cursor)) * 100;
    const Cents decimals = ScanDecimals(text, cursor);
    const size_t minus = text.find('-');
    if (minus != std::string_view::npos && static_cast<int>(minus) + 1 < cursor)
        return whole - decimals;
    return whole + decimals;
}

CentsText::CentsText(Cents cents) {
    const bool negative = cents < 0;
    const std::uint64_t magnitude =
        negative ? static_cast<std::uint64_t>(-(cents + 1)) + 1 : static_cast<std::uint64_t>(cents);
    char* end = m_chars;
    if (negative)
        *end++ = '-';
    // At most 18 digits before the comma: the minus, the comma and two decimals fit in 24.
    end = std::to_chars(end, m_chars + sizeof m_chars, magnitude / 100).ptr;
    const auto hundredths = static_cast<unsigned>(magnitude % 100);
    *end++ = ',';
    *end++ = static_cast<char>('0' + hundredths / 10);
    *end++ = static_cast<char>('0' + hundredths % 10);
    m_size = static_cast<std::size_t>(end - m_chars);
}

void AppendCents(std::string& out, Cents cents) {
    out.append(CentsText(cents));
}

std::string CentsToText(Cents cents) {
    std::string text;
    AppendCents(text, cents);
    return text;
}

std::string ExtractField(std::string_view text, char open, char close, int& cursor) {
    return std::string(ExtractFieldView(text, open, close, cursor));
}

std::string_view ExtractFieldView(std::string_view text, char open, char close, int& cursor) {
    const int len = static_cast<int>(text.size());
    // The 1-based position of the next byte c at or after the cursor; past the end without one.
    auto next = [&](char c) {
        if (cursor > len)
            return cursor;
        const size_t at = text.find(c, static_cast<size_t>(cursor - 1));
        return at == std::string_view::npos ? len + 1 : static_cast<int>(at) + 1;
    };
    cursor = std::max(cursor, 1);
    if (open != '\0')
        cursor = next(open) + 1;
    const int start = cursor;
    cursor = close == '\0' ? len + 1 : next(close);
    return Slice(text, start, cursor);
}

std::string FillString(int count, char c) {
    if (count <= 0)
        return {};
    return std::string(static_cast<size_t>(count), c);
}

int LeadingDigits(std::string_view text) {
    int n = 0;
    while (n < static_cast<int>(text.size()) && IsDigit(text[static_cast<size_t>(n)]))
        ++n;
    return n;
}

std::string ScaledToText(std::int64_t value, int decimals) {
    const bool negative = value < 0;
    std::string digits = std::to_string(negative ? -value : value);
    while (decimals >= static_cast<int>(digits.size()))
        digits.insert(digits.begin(), '0');
    if (decimals > 0)
        digits.insert(digits.size() - static_cast<size_t>(decimals), 1, ',');
    return negative ? "-" + digits : digits;
}

std::int32_t TextToScaled(std::string_view text, int decimals) {
    std::string copy(text);
    size_t sep = copy.find('.');
    if (sep == std::string::npos)
        sep = copy.find(',');
    size_t whole = copy.size();
    if (sep != std::string::npos) {
        copy.erase(sep, 1);
        whole = sep;
    }
    const size_t keep = whole + static_cast<size_t>(std::max(decimals, 0));
    bool roundUp = false;
    if (copy.size() > keep) {
        roundUp = static_cast<unsigned char>(copy[keep]) > '4';
        copy.resize(keep);
    } else {
        copy.append(keep - copy.size(), '0');
    }
    const std::int32_t value = ConvertRun(copy);
    if (value == 0 && copy.find_first_not_of("-0") != std::string::npos)
        return 0; // a text that does not convert gives 0, rounding or not
    if (roundUp && value < 2147483647)
        return value + 1;
    return value;
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (LowerAscii(a[i]) != LowerAscii(b[i]))
            return false;
    return true;
}

std::string_view TrimControl(std::string_view text) {
    size_t b = 0;
    size_t e = text.size();
    while (b < e && static_cast<unsigned char>(text[b]) <= 32)
        ++b;
    while (e > b && static_cast<unsigned char>(text[e - 1]) <= 32)
        --e;
    return text.substr(b, e - b);
}

} // namespace kp

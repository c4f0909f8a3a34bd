// Values typed on the command line: counts, VAT rates and dates, read strictly so that a typing
// error is refused instead of being read as 0 or as the digits it starts with.
#include "app/CommandLineValues.h"

#include "book/BookQueries.h"

namespace kp {
namespace {

bool AllDigits(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

} // namespace

bool ParseCount(std::string_view text, std::uint64_t max, std::uint64_t& value) {
    if (!AllDigits(text) || text.size() > 19)
        return false;
    value = 0;
    for (char c : text)
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    return value <= max;
}

namespace {

// Whole units and at most two decimals after one of the separators, in hundredths ("25,5" is
// 2550); the whole units at most maxUnits.
bool ParseHundredths(std::string_view text, std::string_view separators, std::uint64_t maxUnits,
                     std::uint64_t& value) {
    const size_t separator = text.find_first_of(separators);
    const std::string_view whole = text.substr(0, separator);
    const std::string_view decimals =
        separator == std::string_view::npos ? std::string_view() : text.substr(separator + 1);
    std::uint64_t units = 0;
    std::uint64_t fraction = 0;
    if (!ParseCount(whole, maxUnits, units))
        return false;
    if (separator != std::string_view::npos &&
        (decimals.size() > 2 || !ParseCount(decimals, 99, fraction)))
        return false;
    if (decimals.size() == 1)
        fraction *= 10; // 25,5 is 25,50
    value = units * 100 + fraction;
    return true;
}

} // namespace

bool ParseRate(std::string_view text, std::int32_t& hundredths) {
    std::uint64_t value = 0;
    if (!ParseHundredths(text, ",.", 100, value) || value > 10000)
        return false;
    hundredths = static_cast<std::int32_t>(value);
    return true;
}

bool ParseEuros(std::string_view text, std::int64_t& cents) {
    const bool negative = !text.empty() && text.front() == '-';
    if (negative)
        text.remove_prefix(1);
    constexpr std::uint64_t kLimit = 2147483648u; // the smallest line, -21474836,48
    std::uint64_t value = 0;
    if (!ParseHundredths(text, ",", kLimit / 100, value) ||
        value > (negative ? kLimit : kLimit - 1))
        return false;
    cents = negative ? -static_cast<std::int64_t>(value) : static_cast<std::int64_t>(value);
    return true;
}

bool IsDisplayDate(std::string_view text) {
    std::uint64_t parts[3] = {};
    const size_t widths[3] = {2, 2, 4};
    for (int i = 0; i < 3; ++i) {
        const size_t dot = i < 2 ? text.find('.') : std::string_view::npos;
        if (i < 2 && dot == std::string_view::npos)
            return false;
        const std::string_view part = text.substr(0, dot);
        if (part.size() > widths[i] || (i == 2 && part.size() != 4) ||
            !ParseCount(part, 9999, parts[i]))
            return false;
        text = dot == std::string_view::npos ? std::string_view() : text.substr(dot + 1);
    }
    return IsCalendarDate(static_cast<std::int64_t>(parts[2]), static_cast<std::int64_t>(parts[1]),
                          static_cast<std::int64_t>(parts[0]));
}

} // namespace kp

// Values typed on the command line: counts, VAT rates and dates, read strictly so that a typing
// error is refused instead of being read as 0 or as the digits it starts with.
#pragma once

#include <cstdint>
#include <string_view>

namespace kp {

// Digits only, no sign or blanks, at most `max`.
bool ParseCount(std::string_view text, std::uint64_t max, std::uint64_t& value);

// A VAT percentage from 0 to 100 with at most two decimals after "," or ".", in hundredths
// (25,5 -> 2550).
bool ParseRate(std::string_view text, std::int32_t& hundredths);

// An amount in euros with a decimal comma and at most two decimals, a leading minus for a
// credit ("-125,50", "40", "0,5"), in cents. Only amounts one book line holds are taken.
bool ParseEuros(std::string_view text, std::int64_t& cents);

// A calendar day written D.M.YYYY (day and month of one or two digits, a four-digit year).
bool IsDisplayDate(std::string_view text);

} // namespace kp

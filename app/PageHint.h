// The one line an empty statement page shows while it waits for its period.
#pragma once

#include <string_view>

namespace kp {

class Application;

// UTF-8: the arrow has no place in the book's code page, and the hint never reaches a book.
inline constexpr std::string_view kChoosePeriodHint =
    "Valitse jakso: Muokkaa \xE2\x86\x92 P\xC3\xA4ivit\xC3\xA4 sivut";

// The ledger and the VAT page are built only on the period chooser's OK. Once the chooser has
// been cancelled the page would stay blank with nothing to tell how to get its lines; it then
// shows this hint. Empty for every other page and state.
std::string_view EmptyPageHint(const Application& app);

} // namespace kp

// The voucher filter as the reports see it: switch, description prefix and the title word.
#pragma once

#include "ledger/AccountIndex.h"

#include <string>

namespace kp {

// Only vouchers whose description begins with the text count in the account index, and so in
// every report; the report titles then name the heading and the text.
struct ReportFilter {
    bool on = false;
    std::string text;                 // trimmed; never empty while the switch is on
    std::string heading = "PROJEKTI"; // the word put before the text in titles

    VoucherFilter voucherFilter() const { return {on, text}; }
    // " " + heading + " " + text while the filter is on, else nothing.
    std::string titleSuffix() const { return on ? " " + heading + " " + text : std::string(); }
};

} // namespace kp

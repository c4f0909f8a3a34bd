// Report lines: the text lines of a statement page, fields separated by TAB.
#pragma once

#include <string>
#include <vector>

namespace kp {

// On the ledger page and the journal printout the first character may be a style marker; on the
// statement and VAT pages leading blanks indent a line (drawn by the renderers).
inline constexpr char kBoldMarker = '\x02';
inline constexpr char kBoldUnderlineMarker = '\x1F';

using ReportLines = std::vector<std::string>;

} // namespace kp

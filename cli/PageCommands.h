// The page commands of kirjanpito-cli: export, report and view.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace kp {

// "export" writes the page's bytes (to -o FILE or stdout), with --format xlsx|csv as a file a
// spreadsheet opens; "report" the same lines for a terminal.
int PageCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// "export plaintext BOOK [-o FILE]": the vouchers as a journal for ledger-cli and hledger; the
// vouchers left out are named on err and the exit is 1.
int PlainTextCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int ViewCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace kp

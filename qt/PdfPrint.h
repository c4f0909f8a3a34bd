// The PDF command: a page's lines printed by the print job onto an A4 PDF.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace kp {

// args[0] is the command's name; the rest as the page commands take them, with -o naming the
// PDF and --statement giving the account statement's accounts (ledger page only). Needs a
// QGuiApplication. 0 when the file was written.
int PdfCommand(const std::vector<std::string>& args, std::ostream& err);

} // namespace kp

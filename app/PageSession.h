// A page session: options of a page command, and a fresh session that opens the book, applies
// the filter and the comparison book, shows the page and takes its lines.
#pragma once

#include "book/ReportLines.h"
#include "output/PrintJob.h"

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace kp {

// How the page commands are called, for a refused command line.
extern const char* const kPageUsage;

// The options of a page command: SIVU KIRJA [--period N] [--year VUOSI] [--balances]
// [--compare KIRJA2] [--filter TEKSTI] [--filter-heading TEKSTI] [--settings INI] [-o TIEDOSTO].
struct PageOptions {
    std::string page;
    std::string book;
    int period = 0;
    std::optional<std::string> year;
    bool balances = false;
    std::optional<std::string> compare;
    std::optional<std::string> filter;
    std::optional<std::string> filterHeading;
    std::optional<std::string> settings;
    std::optional<std::string> output;
    std::optional<std::string> statement; // --statement, when allowed: the accounts typed
    std::optional<std::string> format;    // --format, when allowed: "xlsx" or "csv"
};

// args[0] is the command's name. With statement, "--statement TILIT" is taken too; with format,
// "--format xlsx|csv".
bool ParsePageOptions(const std::vector<std::string>& args, PageOptions& o, std::ostream& err,
                      bool statement = false, bool format = false);
// Opens the book in a fresh session and shows the page; fills the page's lines and, when asked,
// what printing the page needs. 0, or the exit status of a failure reported on err.
// With a sink the page is written to it as text instead, lines staying empty: the ledger and
// the journal line by line as they are made, so that a long one is never held whole.
int PageLines(const PageOptions& o, std::ostream& err, ReportLines& lines,
              PrintPage* print = nullptr, ByteSink* sink = nullptr);

} // namespace kp

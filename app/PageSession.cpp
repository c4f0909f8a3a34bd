// A page session: a fresh session opens the book as the window's Open does, applies the filter
// and the comparison book, shows the page and takes its lines. Shared by kirjanpito-cli, the PDF
// program and the spreadsheet export.
#include "app/PageSession.h"

#include "app/Application.h"
#include "app/CommandLineValues.h"
#include "app/HeadlessPlatform.h"
#include "book/FileIo.h"
#include "book/Win1252.h"
#include "output/LineExport.h"

#include <optional>

namespace kp {

const char* const kPageUsage =
    "K\xC3\xA4ytt\xC3\xB6: kirjanpito-cli export|report SIVU KIRJA [--period N] [--year VUOSI] "
    "[--balances]\n"
    "         [--compare KIRJA2] [--filter TEKSTI] [--filter-heading TEKSTI] [--settings INI]\n"
    "         [--format xlsx|csv] [-o TIEDOSTO]\n"
    "  SIVU: chart, chart-tree, journal, ledger, income, balance, vat\n"
    "       kirjanpito-cli export plaintext KIRJA [-o TIEDOSTO]\n"
    "       kirjanpito-cli view journal|chart KIRJA\n";

namespace {

// Typed texts come as UTF-8 and go into the book's code page; what it cannot hold is refused.
bool ToBookText(const std::string& utf8, std::string& out, std::ostream& err) {
    std::string bad;
    if (Utf8ToWin1252(utf8, out, &bad))
        return true;
    err << UnsupportedCharacterMessage(bad) << '\n';
    return false;
}

} // namespace

bool ParsePageOptions(const std::vector<std::string>& args, PageOptions& o, std::ostream& err,
                      bool statement, bool format) {
    std::vector<std::string> positional;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= args.size()) {
                err << "Valitsimelta " << a << " puuttuu arvo\n";
                return false;
            }
            into = args[++i];
            return true;
        };
        std::string v;
        if (a == "--period") {
            if (!value(v))
                return false;
            std::uint64_t n = 0;
            if (!ParseCount(v, 16, n)) {
                err << "Virheellinen jakso: " << v << " (0..16)\n";
                return false;
            }
            o.period = static_cast<int>(n);
        } else if (a == "--year") {
            if (!value(v))
                return false;
            o.year = v;
        } else if (a == "--balances") {
            o.balances = true;
        } else if (a == "--compare") {
            if (!value(v))
                return false;
            o.compare = v;
        } else if (a == "--filter") {
            std::string text;
            if (!value(v) || !ToBookText(v, text, err))
                return false;
            o.filter = text;
        } else if (a == "--filter-heading") {
            std::string text;
            if (!value(v) || !ToBookText(v, text, err))
                return false;
            o.filterHeading = text;
        } else if (a == "--settings") {
            if (!value(v))
                return false;
            o.settings = v;
        } else if (statement && a == "--statement") {
            if (!value(v))
                return false;
            o.statement = v;
        } else if (format && a == "--format") {
            if (!value(v))
                return false;
            if (v != "xlsx" && v != "csv") {
                err << "Tuntematon muoto: " << v << " (xlsx tai csv)\n";
                return false;
            }
            o.format = v;
        } else if (a == "-o") {
            if (!value(v))
                return false;
            o.output = v;
        } else if (!a.empty() && a[0] == '-') {
            err << "Tuntematon valitsin: " << a << '\n' << kPageUsage;
            return false;
        } else {
            positional.push_back(a);
        }
    }
    if (positional.size() != 2) {
        err << kPageUsage;
        return false;
    }
    o.page = positional[0];
    o.book = positional[1];
    return true;
}

int PageLines(const PageOptions& o, std::ostream& err, ReportLines& lines, PrintPage* print,
              ByteSink* sink) {
    static const char* const kPages[] = {"chart",  "chart-tree", "journal", "ledger",
                                         "income", "balance",    "vat"};
    bool known = false;
    for (const char* p : kPages)
        known = known || o.page == p;
    if (!known) {
        err << "Tuntematon sivu: " << o.page << '\n' << kPageUsage;
        return 2;
    }
    HeadlessPlatform platform(err);
    Application app(platform);
    app.setOneShot();
    app.passLinesTo(sink);
    if (o.settings) {
        std::string bytes;
        if (!ReadWholeFile(*o.settings, bytes)) {
            err << "Cannot open file " << *o.settings << '\n';
            return 1;
        }
        app.applySettings(ParseSettings(bytes));
    }
    if (o.filterHeading)
        app.state().filter.heading = *o.filterHeading;
    if (!app.openBook(o.book))
        return 1;
    if (o.filter) {
        FilterBox box{true, *o.filter, app.state().filter.heading};
        app.applyFilter(box);
    }
    if (o.compare && !app.openComparison(*o.compare))
        return 1;
    app.setIntermediateBalances(o.balances);

    // The chooser's choice: the given month; the named year item, or item 0 when the year list
    // is shown.
    // A year that is not in the list is refused, also when the list is hidden (a fiscal year
    // within one calendar year has no list): it would otherwise be silently ignored.
    int yearItem = -1;
    const PeriodChooser& chooser = app.chooser();
    if (chooser.yearVisible())
        yearItem = 0;
    if (o.year) {
        yearItem = -1;
        const std::vector<std::string>& items =
            chooser.yearVisible() ? chooser.yearItems() : std::vector<std::string>();
        std::string choices;
        for (size_t i = 0; i < items.size(); ++i) {
            if (items[i] == *o.year)
                yearItem = static_cast<int>(i);
            choices += (i ? ", " : "") + items[i];
        }
        if (yearItem < 0) {
            err << "Vuotta " << *o.year << " ei ole tilikauden vuosiluettelossa ("
                << (items.empty()
                        ? std::string("tilikausi on yhden kalenterivuoden sis\u00e4ll\u00e4, "
                                      "--year ei ole k\u00e4yt\u00f6ss\u00e4")
                        : "vaihtoehdot: " + choices)
                << ")\n";
            return 2;
        }
    }

    if (o.page == "chart" || o.page == "chart-tree") {
        app.activatePage(Tab::Chart);
        lines = o.page == "chart" ? app.accountListLines() : ChartMapLines(app.chart());
    } else if (o.page == "journal") {
        app.activatePage(Tab::Journal);
        app.chooser().show({"P\xE4iv\xE4kirjan tulostus", 130, 1});
        app.chooser().setChoice(o.period, yearItem);
        app.chooser().ok(app.state().filter);
        lines = app.journalListing(o.period, app.chooser().periodText());
    } else if (o.page == "ledger" || o.page == "vat") {
        app.activatePage(o.page == "ledger" ? Tab::Ledger : Tab::Vat);
        app.chooser().setChoice(o.period, yearItem);
        app.periodOk();
        const bool ledger = o.page == "ledger";
        if (print) // printing the page reads its lines
            lines = ledger ? app.ledgerLines() : app.vatLines();
        else
            lines = ledger ? app.takeLedgerLines() : app.takeVatLines();
    } else {
        app.activatePage(o.page == "income" ? Tab::Income : Tab::Balance);
        lines = app.pageLines();
    }
    if (print) {
        *print = app.printPage(static_cast<int>(app.state().currentPage));
        print->chart = o.page == "chart-tree" ? ChartPrintout::Map : ChartPrintout::List;
    }
    lines.passTo(nullptr); // a ledger taken from the session brings its sink along
    if (sink) {
        WriteLinesText(lines, *sink); // the pages that were not passed on as they were made
        lines.clear();
    }
    return 0;
}

} // namespace kp

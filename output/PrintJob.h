// Printing a statement page: the questions asked, the sheet geometry, page breaks and headers.
#pragma once

#include "book/ReportLines.h"
#include "output/LineRenderer.h"
#include "output/Settings.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace kp {

// The printer side of a job. Width, height and resolution are read after the print dialog and
// before beginDocument, as the printer the user chose reports them.
class PrintDevice {
  public:
    virtual ~PrintDevice() = default;
    // Starts the document with the print font (UTF-8 name, size in points) set on the canvas, in
    // black. False when the printer cannot be opened.
    virtual bool beginDocument(const std::string& fontName, int pointSize) = 0;
    virtual void newPage() = 0;
    virtual void endDocument() = 0;
    // Drops the document begun: nothing of it reaches the printer or stays in a file.
    virtual void abortDocument() { endDocument(); }
    // The printable area in device pixels.
    virtual int pageWidth() const = 0;
    virtual int pageHeight() const = 0;
    // The vertical resolution; the job uses it for horizontal lengths too.
    virtual int dpiY() const = 0;
    virtual Canvas& canvas() = 0;
};

// What a print job asks the user.
class PrintQuestions {
  public:
    virtual ~PrintQuestions() = default;
    // An input box; none when cancelled. UTF-8.
    virtual std::optional<std::string> askText(const InputRequest& request) = 0;
    // The print dialog with its copy count reset; false when cancelled.
    virtual bool choosePrinter() = 0;
    // Called as the lines go to the device: how many of them are done. False when the user
    // wants the job stopped; the document is then dropped.
    virtual bool goOn(size_t /*done*/, size_t /*total*/) { return true; }
};

// The page-switch block of the application: a job raises it as it starts and lowers it on every
// way out, so that the page whose lines are being printed stays the page shown.
struct PageSwitchHooks {
    std::function<void()> raise;
    std::function<void()> lower;
};

// Holds the block for as long as it lives.
class HeldPageSwitch {
  public:
    explicit HeldPageSwitch(const PageSwitchHooks& hooks);
    ~HeldPageSwitch();
    HeldPageSwitch(const HeldPageSwitch&) = delete;
    HeldPageSwitch& operator=(const HeldPageSwitch&) = delete;

  private:
    const PageSwitchHooks& m_hooks;
};

// The chart page prints either the account list in two columns ("Luettelo") or the chart tree
// one node a line ("Kartta").
enum class ChartPrintout { List, Map };

// The page being printed, with what its header and renderer need.
struct PrintPage {
    int page = 2; // 0..5, the current page; the raw tree pages count as 3
    ChartPrintout chart = ChartPrintout::List; // page 0 only
    bool accountStatement = false;             // "Tiliote..": the ledger page's tag 1
    PrintSettings settings;                    // the page's own
    TabStops stops = kDefaultTabStops;         // the journal's or the ledger's, for pages 1 and 2
    bool comparisonLoaded = false;
    std::string companyName; // Windows-1252; the chart printout's header
    std::string yearEnd;     // last day of the fiscal year, dd.mm.yyyy; the same
};

enum class PrintStatus {
    Printed,
    NothingToPrint, // the page has no lines
    NoAccounts,     // the account statement's question was left empty or cancelled
    Cancelled,      // at the print dialog
    DeviceFailed,   // the printer could not start the document
    NoRoom,         // the margins leave no room for a header and one line
    Stopped,        // by the user while printing; nothing was printed
};

struct PrintOutcome {
    PrintStatus status = PrintStatus::NothingToPrint;
    int sheets = 0;

    friend bool operator==(const PrintOutcome&, const PrintOutcome&) = default;
};

// Called with every line as it is drawn: the sheet's page number (1 for the first), the line's
// rectangle and its text.
using PrintTrace = std::function<void(int sheet, const Rect& rect, std::string_view line)>;

inline constexpr std::string_view kStatementCaption = "Tiliote";
inline constexpr std::string_view kStatementPrompt = "Anna tilinumero(t)";

// Prints the lines of a page: the ledger, a statement, the journal listing, the account list
// ("Luettelo") or the chart tree's lines ("Kartta"). On pages above 0 the first heading-row lines
// are repeated on every further sheet. The block is held from start to end.
PrintOutcome RunPrintJob(const ReportLines& lines, const PrintPage& page, PrintDevice& device,
                         PrintQuestions& questions, const PageSwitchHooks& block,
                         const PrintTrace& trace = {});

// The journal printout: the listing is built (from the period chooser's choice) and printed as
// page 1, with the block held a second time around building, printing and freeing it.
PrintOutcome PrintJournal(const std::function<ReportLines()>& buildListing, PrintPage page,
                          PrintDevice& device, PrintQuestions& questions,
                          const PageSwitchHooks& block, const PrintTrace& trace = {});

} // namespace kp

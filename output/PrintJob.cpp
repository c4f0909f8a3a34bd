// Printing a statement page: the questions asked, the sheet geometry, page breaks and headers.
#include "output/PrintJob.h"

#include "book/TextHelpers.h"
#include "book/Win1252.h"

#include <algorithm>
#include <cstdint>

namespace kp {
namespace {

// Margins are typed in millimetres and converted with 25 to the inch, as users' settings files
// have always been read.
constexpr int kMillimetresPerInch = 25;
constexpr int kPointsPerInch = 72;
constexpr int kRowSpacePerInch = 100;
// The chart header (page number, company, date) and its empty row: the second column of the
// account list starts this many rows down.
constexpr int kChartHeaderRows = 4;
// Every other page's header: the page number and an empty row.
constexpr int kHeaderRows = 2;
// No printer has sheets this large; keeping the sizes below it keeps every y sum inside int.
constexpr int kMaxDevicePixels = 1 << 24;

int Clamp(std::int64_t value, int low, int high) {
    return static_cast<int>(std::clamp<std::int64_t>(value, low, high));
}

// The account statement prints an account block when the account number on its opening-balance
// line occurs in the typed text, so "1910" takes 1910, 191 and 19 alike.
bool AccountTyped(std::string_view line, std::string_view typed) {
    return typed.find(std::to_string(NumberAt(line, 2))) != std::string_view::npos;
}

// How often a job asks whether to go on: often enough to keep the window answering, seldom
// enough to cost nothing.
constexpr size_t kLinesBetweenQuestions = 64;

class Job {
  public:
    Job(const ReportLines& lines, const PrintPage& page, PrintDevice& device,
        const PrintTrace& trace)
        : m_lines(lines), m_page(page), m_device(device), m_trace(trace),
          m_renderer(page.page, page.stops, page.comparisonLoaded) {}

    // False when the margins leave no room on a sheet for its header and one line.
    bool layOut() {
        const PrintSettings& s = m_page.settings;
        const int dpi = Clamp(m_device.dpiY(), 0, kMaxDevicePixels);
        const int width = Clamp(m_device.pageWidth(), 0, kMaxDevicePixels);
        const int height = Clamp(m_device.pageHeight(), 0, kMaxDevicePixels);
        const std::int64_t pitch = std::int64_t{MulDiv(s.fontSize, dpi, kPointsPerInch)} +
                                   MulDiv(s.rowSpace, dpi, kRowSpacePerInch);
        // A pitch of 0 or less would never reach the bottom of the sheet.
        m_pitch = Clamp(pitch, 1, std::max(height, 1));
        // Margins are taken as stored, but the lines stay on the sheet.
        auto toPixels = [dpi](int mm, int limit) {
            return Clamp(MulDiv(mm, dpi, kMillimetresPerInch), 0, limit);
        };
        m_top = toPixels(s.topMargin, height);
        m_bottomLimit = height - toPixels(s.bottomMargin, height) - m_pitch;
        m_marginX = toPixels(s.leftMargin, width);
        m_left = m_marginX;
        m_right = std::max(width - toPixels(s.rightMargin, width), m_left);
        const int headerRows = m_page.page == 0 ? kChartHeaderRows : kHeaderRows;
        const int afterHeader = m_top + headerRows * m_pitch;
        if (dpi <= 0 || m_right <= m_left || afterHeader > m_bottomLimit)
            return false;
        // Heading rows beyond what a sheet holds above one line of its own would fill every
        // further sheet with headings alone.
        const int headings = m_page.page > 0 ? std::max(m_page.settings.headingRows, 0) : 0;
        m_headings = std::min({static_cast<std::int64_t>(headings),
                               static_cast<std::int64_t>(m_lines.size()),
                               std::int64_t{(m_bottomLimit - afterHeader) / m_pitch}});
        return true;
    }

    // The number of sheets; none when the user stopped the job.
    std::optional<int> print(std::string_view typed, PrintQuestions& questions) {
        const bool statement = !typed.empty();
        const bool chartList = m_page.page == 0 && m_page.chart == ChartPrintout::List;
        bool printFlag = true;
        m_y = m_top;
        printHeader();
        for (size_t i = 0; i < m_lines.size(); ++i) {
            if (i % kLinesBetweenQuestions == 0 && !questions.goOn(i, m_lines.size()))
                return std::nullopt;
            if (statement && i == 2)
                printBodyLine(std::string(1, kBoldMarker) +
                              "TILIOTE, Tilinro: " + std::string(typed));
            const std::string_view line = m_lines[i];
            if (statement && line.find("Alkusaldo") != std::string_view::npos)
                printFlag = AccountTyped(line, typed);
            if (printFlag)
                printBodyLine(line);
            if (m_sheetDue || m_y <= m_bottomLimit)
                continue;
            if (chartList && m_left == m_marginX) {
                m_left = (m_left + m_right) / 2;
                m_y = m_top + kChartHeaderRows * m_pitch;
                continue;
            }
            m_left = m_marginX;
            m_sheetDue = true;
        }
        return m_sheet;
    }

  private:
    void printLine(std::string_view line) {
        const Rect rect{m_left, m_y, m_right, m_y + m_pitch};
        m_renderer.draw(m_device.canvas(), line, rect);
        if (m_trace)
            m_trace(m_sheet, rect, line);
        m_y = rect.bottom;
    }

    // A full sheet is followed by the next one only when a line is printed on it, so that a
    // page ending with its sheet, or an account statement whose last blocks are not chosen, does
    // not end with a sheet of headers alone.
    void printBodyLine(std::string_view line) {
        if (m_sheetDue) {
            m_sheetDue = false;
            newSheet();
        }
        printLine(line);
    }

    void printHeader() {
        ++m_sheet;
        printLine(" \t\t\tSivu " + std::to_string(m_sheet));
        if (m_page.page == 0) {
            printLine(m_page.companyName);
            printLine("Tilikartta " + m_page.yearEnd);
        }
        m_y += m_pitch;
    }

    void newSheet() {
        m_y = m_top;
        m_device.newPage();
        printHeader();
        for (std::int64_t i = 0; i < m_headings; ++i)
            printLine(m_lines[static_cast<size_t>(i)]);
    }

    const ReportLines& m_lines;
    const PrintPage& m_page;
    PrintDevice& m_device;
    const PrintTrace& m_trace;
    LineRenderer m_renderer;
    int m_pitch = 1;
    int m_top = 0;
    int m_bottomLimit = 0;
    int m_marginX = 0;
    int m_left = 0;
    int m_right = 0;
    std::int64_t m_headings = 0;
    int m_y = 0;
    int m_sheet = 0;
    bool m_sheetDue = false;
};

} // namespace

HeldPageSwitch::HeldPageSwitch(const PageSwitchHooks& hooks) : m_hooks(hooks) {
    if (m_hooks.raise)
        m_hooks.raise();
}

HeldPageSwitch::~HeldPageSwitch() {
    if (m_hooks.lower)
        m_hooks.lower();
}

PrintOutcome RunPrintJob(const ReportLines& lines, const PrintPage& page, PrintDevice& device,
                         PrintQuestions& questions, const PageSwitchHooks& block,
                         const PrintTrace& trace) {
    const HeldPageSwitch held(block);
    if (lines.empty())
        return {PrintStatus::NothingToPrint, 0};

    std::string typed;
    if (page.accountStatement && page.page == 2) {
        const std::optional<std::string> answer = questions.askText(
            {std::string(kStatementCaption), std::string(kStatementPrompt), std::string()});
        if (!answer || answer->empty())
            return {PrintStatus::NoAccounts, 0};
        // The typed text goes into a printed line; what Windows-1252 cannot hold is printed as
        // typed, since only its digits select accounts.
        if (!Utf8ToWin1252(*answer, typed))
            typed = *answer;
    }

    if (!questions.choosePrinter())
        return {PrintStatus::Cancelled, 0};

    Job job(lines, page, device, trace);
    if (!job.layOut())
        return {PrintStatus::NoRoom, 0};
    if (!device.beginDocument(page.settings.fontName, page.settings.fontSize))
        return {PrintStatus::DeviceFailed, 0};
    const std::optional<int> sheets = job.print(typed, questions);
    if (!sheets) {
        device.abortDocument();
        return {PrintStatus::Stopped, 0};
    }
    device.endDocument();
    return {PrintStatus::Printed, *sheets};
}

PrintOutcome PrintJournal(const std::function<ReportLines()>& buildListing, PrintPage page,
                          PrintDevice& device, PrintQuestions& questions,
                          const PageSwitchHooks& block, const PrintTrace& trace) {
    const HeldPageSwitch held(block);
    const ReportLines listing = buildListing();
    page.page = 1;
    page.accountStatement = false;
    return RunPrintJob(listing, page, device, questions, block, trace);
}

} // namespace kp

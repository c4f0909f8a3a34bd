// Print jobs on a scripted printer: page breaks, heading rows, the chart printouts, the account
// statement, every way out of a job, and sheets whose settings leave little or no room.
#include "output/PrintJob.h"

#include <algorithm>
#include <climits>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kp {
namespace {

// Every character is 6 wide; what is drawn is only counted, the trace tells where.
class CountingCanvas : public Canvas {
  public:
    int draws = 0;

    int textWidth(std::string_view text) override { return 6 * static_cast<int>(text.size()); }
    int textHeight() override { return 14; }
    void setStyle(TextStyle) override {}
    void drawText(int, int, std::string_view) override { ++draws; }
    void drawTextClipped(const Rect&, int, int, std::string_view) override { ++draws; }
};

// 100 dpi on a sheet of 1000 x 400 pixels: with 10 mm margins, 10 pt and a row gap of 6 the
// margins are 40 pixels and the line pitch 14 + 6 = 20, so the bottom limit is 400 - 40 - 20.
class FakeDevice : public PrintDevice {
  public:
    bool opens = true;
    int width = 1000;
    int height = 400;
    int dpi = 100;
    int begun = 0;
    int newPages = 0;
    int ended = 0;
    std::string fontName;
    int pointSize = 0;
    CountingCanvas paper;

    bool beginDocument(const std::string& name, int size) override {
        ++begun;
        fontName = name;
        pointSize = size;
        return opens;
    }
    void newPage() override { ++newPages; }
    void endDocument() override { ++ended; }
    void abortDocument() override { ++aborted; }
    int aborted = 0;
    int pageWidth() const override { return width; }
    int pageHeight() const override { return height; }
    int dpiY() const override { return dpi; }
    Canvas& canvas() override { return paper; }
};

class ScriptedQuestions : public PrintQuestions {
  public:
    std::optional<std::string> answer;
    bool printerChosen = true;
    std::vector<InputRequest> asked;
    int dialogs = 0;

    std::optional<std::string> askText(const InputRequest& request) override {
        asked.push_back(request);
        return answer;
    }
    bool choosePrinter() override {
        ++dialogs;
        return printerChosen;
    }
    // The user stops the job once this many lines are done.
    size_t stopAt = SIZE_MAX;
    bool goOn(size_t done, size_t) override { return done < stopAt; }
};

// The application's counter, with the highest value it reached.
struct Block {
    int count = 0;
    int highest = 0;
    PageSwitchHooks hooks{[this] { highest = std::max(highest, ++count); }, [this] { --count; }};
};

struct Printed {
    int sheet;
    Rect rect;
    std::string text;
};

struct PrintRun {
    FakeDevice device;
    ScriptedQuestions questions;
    Block block;
    std::vector<Printed> printed;
    PrintOutcome outcome;

    void print(const ReportLines& lines, const PrintPage& page) {
        outcome = RunPrintJob(lines, page, device, questions, block.hooks,
                              [this](int sheet, const Rect& rect, std::string_view text) {
                                  printed.push_back({sheet, rect, std::string(text)});
                              });
    }
    // The texts of one sheet below its header rows.
    std::vector<std::string> body(int sheet) const {
        std::vector<std::string> texts;
        for (const Printed& p : printed)
            if (p.sheet == sheet && p.text.find("Sivu ") == std::string::npos &&
                p.text != kCompany && p.text.rfind("Tilikartta ", 0) != 0)
                texts.push_back(p.text);
        return texts;
    }
    const Printed& find(std::string_view text) const {
        for (const Printed& p : printed)
            if (p.text == text)
                return p;
        ADD_FAILURE() << "not printed: " << text;
        static const Printed none{};
        return none;
    }

    static constexpr std::string_view kCompany = "Oy Testi Ab";
};

template <class Case> std::string CaseName(const testing::TestParamInfo<Case>& param) {
    return param.param.name;
}

PrintPage PageOf(int page, int headingRows = 0) {
    PrintPage p;
    p.page = page;
    p.settings.rowSpace = 6;
    p.settings.headingRows = headingRows;
    p.companyName = PrintRun::kCompany;
    p.yearEnd = "31.12.2026";
    return p;
}

ReportLines Numbered(std::string_view prefix, int count) {
    ReportLines lines;
    for (int i = 0; i < count; ++i)
        lines.push_back(std::string(prefix) + std::to_string(i));
    return lines;
}

std::vector<std::string> Texts(std::string_view prefix, int first, int last) {
    std::vector<std::string> texts;
    for (int i = first; i <= last; ++i)
        texts.push_back(std::string(prefix) + std::to_string(i));
    return texts;
}

TEST(PrintJob, BreaksPagesWhenTheLastLinePassesTheBottomLimit) {
    PrintRun run;
    PrintPage page = PageOf(3);
    page.settings.fontName = "Courier New";
    run.print(Numbered("L", 30), page);

    EXPECT_EQ(run.outcome, (PrintOutcome{PrintStatus::Printed, 3}));
    EXPECT_EQ(run.device.fontName, "Courier New");
    EXPECT_EQ(run.device.pointSize, 10);
    EXPECT_EQ(run.device.begun, 1);
    EXPECT_EQ(run.device.newPages, 2);
    EXPECT_EQ(run.device.ended, 1);
    // Lines from y = 80 (below the page number and its empty row) while the line printed last
    // ends at 340 or above: 80 .. 340 holds fourteen.
    EXPECT_EQ(run.body(1), Texts("L", 0, 13));
    EXPECT_EQ(run.body(2), Texts("L", 14, 27));
    EXPECT_EQ(run.body(3), Texts("L", 28, 29));
    EXPECT_EQ(run.printed.front().text, " \t\t\tSivu 1");
    EXPECT_EQ(run.printed.front().rect, (Rect{40, 40, 960, 60}));
    EXPECT_EQ(run.find("L0").rect, (Rect{40, 80, 960, 100}));
    EXPECT_EQ(run.find("L13").rect, (Rect{40, 340, 960, 360}));
    EXPECT_EQ(run.find("L14").rect, (Rect{40, 80, 960, 100}));
    EXPECT_EQ(run.find(" \t\t\tSivu 3").sheet, 3);
    EXPECT_GT(run.device.paper.draws, 30);
    EXPECT_EQ(run.block.count, 0);
}

struct HeadingCase {
    const char* name;
    int page;
    ChartPrintout chart;
    int headingRows;
    int repeated;
};

class HeadingRows : public testing::TestWithParam<HeadingCase> {};

TEST_P(HeadingRows, RepeatOnEveryFurtherSheetOnPagesAboveZero) {
    const HeadingCase& c = GetParam();
    PrintRun run;
    PrintPage page = PageOf(c.page, c.headingRows);
    page.chart = c.chart;
    run.print(Numbered("L", 60), page);

    ASSERT_GE(run.outcome.sheets, 3);
    EXPECT_EQ(run.body(1).front(), "L0");
    int next = static_cast<int>(run.body(1).size());
    for (int sheet = 2; sheet <= run.outcome.sheets; ++sheet) {
        const std::vector<std::string> body = run.body(sheet);
        std::vector<std::string> expected = Texts("L", 0, c.repeated - 1);
        const int own = static_cast<int>(body.size()) - c.repeated;
        for (int i = 0; i < own; ++i)
            expected.push_back("L" + std::to_string(next + i));
        next += own;
        EXPECT_EQ(body, expected) << "sheet " << sheet;
    }
    EXPECT_EQ(next, 60);
    if (c.repeated > 0) {
        // Right below the page number and its empty row.
        const std::vector<Printed>& p = run.printed;
        const auto second = std::find_if(p.begin(), p.end(), [](auto& x) { return x.sheet == 2; });
        ASSERT_NE(second + 1, p.end());
        EXPECT_EQ((second + 1)->text, "L0");
        EXPECT_EQ((second + 1)->rect.top, 80);
    }
}

INSTANTIATE_TEST_SUITE_P(
    PrintJob, HeadingRows,
    testing::Values(HeadingCase{"Journal", 1, ChartPrintout::List, 3, 3},
                    HeadingCase{"Ledger", 2, ChartPrintout::List, 3, 3},
                    HeadingCase{"IncomeStatement", 3, ChartPrintout::List, 3, 3},
                    HeadingCase{"BalanceSheet", 4, ChartPrintout::List, 3, 3},
                    HeadingCase{"Vat", 5, ChartPrintout::List, 3, 3},
                    HeadingCase{"LedgerDefaultTwo", 2, ChartPrintout::List, 2, 2},
                    HeadingCase{"NoHeadings", 3, ChartPrintout::List, 0, 0},
                    HeadingCase{"NegativeCount", 3, ChartPrintout::List, -4, 0},
                    HeadingCase{"ChartMap", 0, ChartPrintout::Map, 3, 0},
                    HeadingCase{"ChartList", 0, ChartPrintout::List, 3, 0}),
    CaseName<HeadingCase>);

TEST(PrintJob, ChartListFillsASecondColumnBeforeANewSheet) {
    PrintRun run;
    run.print(Numbered("A", 30), PageOf(0, 3));

    // The chart header takes four rows (page number, company, date, empty), so a column holds
    // the lines from y = 120 to 340: twelve.
    EXPECT_EQ(run.outcome, (PrintOutcome{PrintStatus::Printed, 2}));
    EXPECT_EQ(run.find(" \t\t\tSivu 1").rect, (Rect{40, 40, 960, 60}));
    EXPECT_EQ(run.find(std::string(PrintRun::kCompany)).rect, (Rect{40, 60, 960, 80}));
    EXPECT_EQ(run.find("Tilikartta 31.12.2026").rect, (Rect{40, 80, 960, 100}));
    EXPECT_EQ(run.find("A0").rect, (Rect{40, 120, 960, 140}));
    EXPECT_EQ(run.find("A11").rect, (Rect{40, 340, 960, 360}));
    // The second column starts four pitches below the top, halfway along the line.
    EXPECT_EQ(run.find("A12").rect, (Rect{500, 120, 960, 140}));
    EXPECT_EQ(run.find("A12").sheet, 1);
    EXPECT_EQ(run.find("A23").rect, (Rect{500, 340, 960, 360}));
    // A full second column starts a new sheet back at the left margin, with the chart header.
    EXPECT_EQ(run.find("A24").sheet, 2);
    EXPECT_EQ(run.find("A24").rect, (Rect{40, 120, 960, 140}));
    EXPECT_EQ(run.body(2), Texts("A", 24, 29));
    EXPECT_EQ(run.printed.size(), 30u + 2 * 3);
}

TEST(PrintJob, ChartMapPrintsOneColumnWithoutRepeats) {
    PrintRun run;
    PrintPage page = PageOf(0, 3);
    page.chart = ChartPrintout::Map;
    ReportLines tree;
    for (int i = 0; i < 10; ++i) {
        tree.push_back("Ryhm\xE4 " + std::to_string(i));
        tree.push_back("  Tili " + std::to_string(i));
        tree.push_back("    Alatili " + std::to_string(i));
    }
    run.print(tree, page);

    EXPECT_EQ(run.outcome, (PrintOutcome{PrintStatus::Printed, 3}));
    std::vector<std::string> all;
    for (int sheet = 1; sheet <= 3; ++sheet)
        for (const std::string& text : run.body(sheet))
            all.push_back(text);
    EXPECT_EQ(all, std::vector<std::string>(tree.begin(), tree.end()));
    for (const Printed& p : run.printed)
        EXPECT_EQ(p.rect.left, 40) << p.text;
}

ReportLines Ledger() {
    return {"\x02Oy Testi Ab 1.1.2026 - 31.12.2026",
            "\x02P\xE4\xE4kirja Koko kausi",
            "",
            "\x1FTili\tTosite\tSelite",
            "\x02"
            "1910 Pankki\t\tAlkusaldo\t\t\t\t100,00",
            "\t1\tMaksu 1910",
            "\x02"
            "1911 Toinen\t\tAlkusaldo\t\t\t\t0,00",
            "\t2\tMaksu 1911",
            "\x02"
            "19 Ryhm\xE4\t\tAlkusaldo\t\t\t\t0,00",
            "\t3\tMaksu 19",
            "\x02"
            "2000 Oma p\xE4\xE4oma\t\tAlkusaldo\t\t\t\t0,00",
            "\t4\tMaksu 2000",
            "\x02"
            "191 Kassa\t\tAlkusaldo\t\t\t\t0,00",
            "\t5\tMaksu 191"};
}

TEST(PrintJob, AccountStatementPrintsTheBlocksOfTheTypedAccounts) {
    PrintRun run;
    PrintPage page = PageOf(2);
    page.accountStatement = true;
    run.questions.answer = "1910";
    const ReportLines ledger = Ledger();
    run.print(ledger, page);

    EXPECT_EQ(run.outcome, (PrintOutcome{PrintStatus::Printed, 1}));
    ASSERT_EQ(run.questions.asked.size(), 1u);
    EXPECT_EQ(run.questions.asked[0], (InputRequest{"Tiliote", "Anna tilinumero(t)", ""}));
    // 1910, 19 and 191 occur in "1910"; 1911 and 2000 do not. The title lines before the first
    // opening balance print, and the statement's own title (-1) goes before the third line.
    std::vector<std::string> expected;
    for (int i : {0, 1, -1, 2, 3, 4, 5, 8, 9, 12, 13})
        expected.push_back(i < 0 ? "\x02TILIOTE, Tilinro: 1910"
                                 : std::string(ledger[static_cast<size_t>(i)]));
    EXPECT_EQ(run.body(1), expected);
    EXPECT_EQ(run.block.count, 0);
}

TEST(PrintJob, StatementTagAsksNothingOffTheLedgerPage) {
    PrintRun run;
    PrintPage page = PageOf(3);
    page.accountStatement = true;
    run.print(Ledger(), page);

    EXPECT_EQ(run.outcome.status, PrintStatus::Printed);
    EXPECT_EQ(run.questions.asked.size(), 0u);
    EXPECT_EQ(run.body(1).size(), Ledger().size());
}

struct ExitCase {
    const char* name;
    int lineCount;
    std::optional<std::string> answer;
    bool printerChosen;
    bool opens;
    PrintStatus status;
    int dialogs;
    int begun;
    size_t stopAt = SIZE_MAX;
};

class Exits : public testing::TestWithParam<ExitCase> {};

TEST_P(Exits, LowerTheBlockOnEveryWayOut) {
    const ExitCase& c = GetParam();
    PrintRun run;
    PrintPage page = PageOf(2);
    page.accountStatement = true;
    run.questions.answer = c.answer;
    run.questions.printerChosen = c.printerChosen;
    run.device.opens = c.opens;
    run.questions.stopAt = c.stopAt;
    run.print(Numbered("L", c.lineCount), page);

    EXPECT_EQ(run.outcome.status, c.status);
    EXPECT_EQ(run.questions.dialogs, c.dialogs);
    EXPECT_EQ(run.device.begun, c.begun);
    EXPECT_EQ(run.device.ended, c.status == PrintStatus::Printed ? 1 : 0);
    EXPECT_EQ(run.device.aborted, c.status == PrintStatus::Stopped ? 1 : 0);
    EXPECT_EQ(run.block.highest, 1);
    EXPECT_EQ(run.block.count, 0);
}

INSTANTIATE_TEST_SUITE_P(
    PrintJob, Exits,
    testing::Values(
        ExitCase{"EmptyPage", 0, "1910", true, true, PrintStatus::NothingToPrint, 0, 0},
        ExitCase{"InputCancelled", 5, std::nullopt, true, true, PrintStatus::NoAccounts, 0, 0},
        ExitCase{"EmptyAnswer", 5, "", true, true, PrintStatus::NoAccounts, 0, 0},
        ExitCase{"DialogCancelled", 5, "1910", false, true, PrintStatus::Cancelled, 1, 0},
        ExitCase{"PrinterFails", 5, "1910", true, false, PrintStatus::DeviceFailed, 1, 1},
        ExitCase{"Printed", 5, "1910", true, true, PrintStatus::Printed, 1, 1},
        ExitCase{"StoppedAtOnce", 5, "1910", true, true, PrintStatus::Stopped, 1, 1, 0},
        ExitCase{"StoppedHalfWay", 200, "1910", true, true, PrintStatus::Stopped, 1, 1, 100}),
    CaseName<ExitCase>);

TEST(PrintJob, JournalHoldsTheBlockTwiceAndPrintsAsTheJournalPage) {
    PrintRun run;
    PrintPage page = PageOf(2);
    page.accountStatement = true;
    int built = 0;
    const PrintOutcome outcome = PrintJournal(
        [&] {
            ++built;
            EXPECT_EQ(run.block.count, 1);
            return Numbered("\x02J", 20);
        },
        page, run.device, run.questions, run.block.hooks);

    EXPECT_EQ(outcome, (PrintOutcome{PrintStatus::Printed, 2}));
    EXPECT_EQ(built, 1);
    EXPECT_EQ(run.questions.asked.size(), 0u);
    EXPECT_EQ(run.block.highest, 2);
    EXPECT_EQ(run.block.count, 0);
}

TEST(PrintJob, JournalCancelledLowersBothHolds) {
    PrintRun run;
    run.questions.printerChosen = false;
    const PrintOutcome outcome = PrintJournal([] { return Numbered("J", 3); }, PageOf(1),
                                              run.device, run.questions, run.block.hooks);
    EXPECT_EQ(outcome.status, PrintStatus::Cancelled);
    EXPECT_EQ(run.block.count, 0);
}

// Settings that the print menu stores without a range check.
struct CrampedCase {
    const char* name;
    int fontSize;
    int rowSpace;
    int headingRows;
    int margin; // every margin
    PrintStatus status;
    int sheets;
    int pitch;
};

class Cramped : public testing::TestWithParam<CrampedCase> {};

TEST_P(Cramped, PrintsEveryLineOnTheSheetAndEnds) {
    const CrampedCase& c = GetParam();
    PrintRun run;
    PrintPage page = PageOf(3, c.headingRows);
    page.settings.fontSize = c.fontSize;
    page.settings.rowSpace = c.rowSpace;
    page.settings.leftMargin = page.settings.topMargin = c.margin;
    page.settings.rightMargin = page.settings.bottomMargin = c.margin;
    run.print(Numbered("L", 30), page);

    EXPECT_EQ(run.outcome, (PrintOutcome{c.status, c.sheets}));
    EXPECT_EQ(run.block.count, 0);
    for (const Printed& p : run.printed) {
        EXPECT_EQ(p.rect.bottom - p.rect.top, c.pitch) << p.text;
        EXPECT_GE(p.rect.left, 0) << p.text;
        EXPECT_LE(p.rect.right, 1000) << p.text;
        EXPECT_GE(p.rect.top, 0) << p.text;
        EXPECT_LE(p.rect.bottom, 400) << p.text;
    }
    int body = 0;
    for (int sheet = 1; sheet <= run.outcome.sheets; ++sheet) {
        const std::vector<std::string> texts = run.body(sheet);
        body += static_cast<int>(texts.size());
        EXPECT_FALSE(texts.empty()) << "sheet " << sheet;
    }
    EXPECT_GE(body, c.status == PrintStatus::Printed ? 30 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    PrintJob, Cramped,
    testing::Values(
        // Every line one pixel high instead of all on one row.
        CrampedCase{"ZeroFont", 0, 0, 2, 10, PrintStatus::Printed, 1, 1},
        CrampedCase{"NegativeRowGap", 10, -20, 2, 10, PrintStatus::Printed, 1, 1},
        // Headings capped at what leaves one line of the sheet's own: 13 of them, then one line
        // per further sheet, L14 .. L29.
        CrampedCase{"MoreHeadingsThanFit", 10, 6, 1000, 10, PrintStatus::Printed, 17, 20},
        // The sheet's edges instead of margins outside it.
        CrampedCase{"NegativeMargins", 10, 6, 0, -50, PrintStatus::Printed, 2, 20},
        CrampedCase{"HugeMargins", 10, 6, 0, INT_MAX, PrintStatus::NoRoom, 0, 20},
        CrampedCase{"HugeFont", INT_MAX, 6, 0, 10, PrintStatus::NoRoom, 0, 20}),
    CaseName<CrampedCase>);

TEST(PrintJob, NoSheetOfHeadersAloneAfterTheLastLine) {
    PrintRun full;
    full.print(Numbered("L", 14), PageOf(3, 2));
    EXPECT_EQ(full.outcome, (PrintOutcome{PrintStatus::Printed, 1}));
    EXPECT_EQ(full.device.newPages, 0);

    // The 1910 block and the statement title fill the sheet; the block after them is not chosen.
    PrintRun statement;
    PrintPage page = PageOf(2);
    page.accountStatement = true;
    statement.questions.answer = "1910";
    ReportLines ledger = Numbered("\x02"
                                  "1910 Pankki\tAlkusaldo ",
                                  1);
    ledger.append(Numbered("\t1\tMaksu ", 12));
    ledger.append(Numbered("\x02"
                           "2000 Oma\tAlkusaldo ",
                           1));
    ledger.append(Numbered("\t1\tMaksu ", 5));
    statement.print(ledger, page);
    EXPECT_EQ(statement.outcome, (PrintOutcome{PrintStatus::Printed, 1}));
}

TEST(PrintJob, NegativeMarginsPrintFromTheSheetsCorner) {
    PrintRun run;
    PrintPage page = PageOf(3);
    page.settings.leftMargin = page.settings.topMargin = -50;
    run.print(Numbered("L", 3), page);
    EXPECT_EQ(run.printed.front().rect, (Rect{0, 0, 960, 20}));
}

TEST(PrintJob, PrinterWithoutResolutionHasNoRoom) {
    PrintRun run;
    run.device.dpi = 0;
    run.print(Numbered("L", 3), PageOf(3));
    EXPECT_EQ(run.outcome.status, PrintStatus::NoRoom);
    EXPECT_EQ(run.device.begun, 0);
    EXPECT_EQ(run.block.count, 0);
}

} // namespace
} // namespace kp

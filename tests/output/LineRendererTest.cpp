// Report line rendering on a recording canvas, pixel stops and the tab-stop editor's geometry.
#include "output/LineRenderer.h"

#include <climits>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kp {
namespace {

constexpr TabStops kDefaults = {0, 10, 250, 400, 550, 750, 870, 990, 1000};
using Draws = std::vector<std::string>;

// Every character is 6 wide. A draw is written "B 10 <4 text": style (R, B, U), x, and for a
// clipped draw the clip's left edge; the clip's other edges and y must be the line's.
class RecordingCanvas : public Canvas {
  public:
    explicit RecordingCanvas(Rect line) : m_line(line) {}
    Draws draws;

    int textWidth(std::string_view text) override { return 6 * static_cast<int>(text.size()); }
    int textHeight() override { return 16; }
    void setStyle(TextStyle style) override { m_style = "RBU"[static_cast<int>(style)]; }
    void drawText(int x, int y, std::string_view text) override { record(x, y, "", text); }
    void drawTextClipped(const Rect& clip, int x, int y, std::string_view text) override {
        EXPECT_EQ(clip, (Rect{clip.left, m_line.top, m_line.right, m_line.bottom}));
        record(x, y, " <" + std::to_string(clip.left), text);
    }

  private:
    void record(int x, int y, const std::string& clip, std::string_view text) {
        EXPECT_EQ(y, m_line.top);
        draws.push_back(std::string(1, m_style) + " " + std::to_string(x) + clip + " " +
                        std::string(text));
    }
    Rect m_line;
    char m_style = '?';
};

TEST(LineRenderer, TabbedLines) {
    const struct {
        const char* name;
        std::string_view line;
        Draws expected;
        Rect rect = {0, 32, 1000, 48}; // the pixel stops equal the stops
    } rows[] = {
        {"bold voucher line starts at stops 1 to 3",
         "\x02"
         "12\t05.01.2026\tOstot",
         {"B 10 <4 12", "B 250 <244 05.01.2026", "B 400 <394 Ostot"}},
        {"fields 4 to 6 end at their stops",
         "\t\t\tA\tBB\tCCC",
         {"R 544 <538 A", "R 738 <732 BB", "R 852 <846 CCC"}},
        {"fields 7 and 8 end at stop 7, the later over the earlier",
         "\x1F"
         "1\t\t\t\t\t\t77\t888",
         {"U 10 <4 1", "U 978 <972 77", "U 972 <966 888"}},
        {"consecutive tabs still advance the field", "a\t\t\tb", {"R 10 <4 a", "R 544 <538 b"}},
        {"a final field of one character", "x\ty", {"R 10 <4 x", "R 250 <244 y"}},
        {"a line of only a marker", "\x02", {}},
        {"the clip stops at the device edge", "a", {"R 1 <0 a"}, {0, 0, 100, 16}},
        {"the clip may reach left of a margin", "a", {"R 51 <45 a"}, {50, 0, 150, 16}},
    };
    for (const auto& row : rows) {
        RecordingCanvas canvas(row.rect);
        DrawTabbedLine(canvas, row.line, row.rect, ToPixelStops(kDefaults, row.rect));
        EXPECT_EQ(canvas.draws, row.expected) << row.name;
    }
}

TEST(LineRenderer, StatementLines) {
    const struct {
        const char* name;
        std::string_view line;
        bool twoColumns;
        Draws expected;
    } rows[] = {
        {"Y with a tab: bold, underlined", "Yht.\t1234,00", false, {"U 10 Yht.", "U 588 1234,00"}},
        {"two blanks: regular, indented 2/64",
         "  Kassa\t100,00",
         false,
         {"R 30 Kassa", "R 594 100,00"}},
        {"a heading without a tab", "VASTAAVAA", false, {"B 10 VASTAAVAA"}},
        {"an empty label", "\t100,00", false, {"B 594 100,00"}},
        {"comparison at the edge, current 15 digits left",
         "K\t100,00\t90,00",
         true,
         {"B 10 K", "B 504 100,00", "B 600 90,00"}},
        {"no comparison amount", "K\t100,00", true, {"B 10 K", "B 504 100,00"}},
        {"one piece without comparison",
         "K\t100,00\t90,00",
         false,
         {"B 10 K", "B 558 100,00\t90,00"}},
    };
    for (const auto& row : rows) {
        RecordingCanvas canvas({0, 0, 640, 18});
        DrawStatementLine(canvas, row.line, {0, 0, 640, 18}, row.twoColumns);
        EXPECT_EQ(canvas.draws, row.expected) << row.name;
    }
}

TEST(LineRenderer, PageChoosesRendererAndComparisonColumns) {
    const struct {
        int page;
        bool comparison;
        Draws expected;
    } rows[] = {{2, true, {"R 6 <0 K", "R 160 <154 1", "R 256 <250 2"}},
                {4, true, {"B 10 K", "B 534 1", "B 624 2"}},
                {5, true, {"B 10 K", "B 612 1\t2"}}};
    for (const auto& row : rows) {
        RecordingCanvas canvas({0, 0, 640, 18});
        LineRenderer(row.page, kDefaults, row.comparison).draw(canvas, "K\t1\t2", {0, 0, 640, 18});
        EXPECT_EQ(canvas.draws, row.expected) << "page " << row.page;
    }
}

TEST(LineRenderer, PixelStopsFollowTheRectangle) {
    LineRenderer renderer(1, kDefaults, false);
    RecordingCanvas first({0, 0, 1000, 16}), second({100, 16, 600, 32});
    renderer.draw(first, "\tx", {0, 0, 1000, 16});
    renderer.draw(second, "\tx", {100, 16, 600, 32});
    EXPECT_EQ(second.draws, Draws{"R 225 <219 x"});
}

TEST(LineRenderer, MulDivRoundsToNearest) {
    const int rows[][4] = {{333, 10, 1000, 3},       {50, 10, 1000, 1},
                           {-5, 1, 2, -3},           {2, 3, -4, -2},
                           {10, 10, 0, 0},           {INT_MAX, 4, 1, INT_MAX},
                           {INT_MIN, 4, 1, INT_MIN}, {INT_MAX, INT_MAX, INT_MAX, INT_MAX}};
    for (const auto& r : rows)
        EXPECT_EQ(MulDiv(r[0], r[1], r[2]), r[3]) << r[0] << " * " << r[1] << " / " << r[2];
}

TEST(LineRenderer, FieldsTextForTooltips) {
    const std::pair<std::string_view, std::string_view> rows[] = {
        {"", ""},
        {"\x02"
         "1910 Pankkitili\t\tAlkusaldo\t\t\t\t48633,37",
         "1910 Pankkitili  Alkusaldo  48633,37"},
        {"\x1F"
         "Tili\tTosite",
         "Tili  Tosite"},
        {"\t58\t Palkat 12/2026 \t25.12.2026\t\t5388,29\t",
         "58  Palkat 12/2026  25.12.2026  5388,29"},
        {"  Liikevaihto        1000,00", "Liikevaihto        1000,00"},
        {"\t\t\t", ""},
    };
    for (const auto& [line, text] : rows)
        EXPECT_EQ(LineFieldsText(line), text) << line;
}

TEST(TabStopEditor, ColumnWidthsAndBorderDrags) {
    EXPECT_EQ(ApplyTabStops(kDefaults, 633), (TabColumnWidths{6, 152, 95, 95, 127, 76, 76, 6}));
    const struct {
        const char* name;
        int listWidth;
        TabColumnWidths grid;
        bool reapply;
        TabStops expected;
    } rows[] = {
        {"border of column 2 moves only stop 3",
         1000,
         {10, 240, 170, 150, 200, 120, 120, 10},
         true,
         {0, 10, 250, 420, 550, 750, 870, 990, 1000}},
        {"the last column is undone",
         1000,
         {10, 240, 150, 150, 200, 120, 120, 40},
         true,
         kDefaults},
        {"no column changed", 1000, {10, 240, 150, 150, 200, 120, 120, 10}, false, kDefaults},
        {"a border stops at the next stop",
         1000,
         {10, 240, 400, 150, 200, 120, 120, 10},
         true,
         {0, 10, 250, 550, 550, 750, 870, 990, 1000}},
        {"rounded widths of an odd width",
         633,
         {6, 200, 95, 95, 127, 76, 76, 6},
         true,
         {0, 10, 325, 400, 550, 750, 870, 990, 1000}},
        {"a list without width", 0, {1, 2, 3, 4, 5, 6, 7, 8}, false, kDefaults},
    };
    for (const auto& row : rows) {
        TabStops stops = kDefaults;
        EXPECT_EQ(DragTabColumn(stops, row.grid, row.listWidth), row.reapply) << row.name;
        EXPECT_EQ(stops, row.expected) << row.name;
    }
}

TEST(TabStopEditor, JournalHeader) {
    RecordingCanvas canvas({0, 0, 1000, 16});
    DrawTabEditorHeader(canvas, 1, kDefaults, 1000, 0, 16);
    DrawTabEditorHeader(canvas, 3, kDefaults, 1000, 0, 16); // no header on other pages
    EXPECT_EQ(canvas.draws,
              (Draws{"R 10 <4 Tosite", "R 250 <244 P\xE4iv\xE4ys", "R 400 <394 Tili/Selite",
                     "R 840 <834 Debet", "R 954 <948 Kredit"}));
}

} // namespace
} // namespace kp

// Drawing report lines on any canvas (screen list or printer page), with the tab-stop geometry.
#pragma once

#include "reports/GeneralLedger.h"

#include <array>
#include <string>
#include <string_view>

namespace kp {

// A report line as one readable text, for a row's tooltip: the style marker dropped, the
// fields that hold something trimmed and set two blanks apart.
std::string LineFieldsText(std::string_view line);

// A device rectangle; right and bottom lie just outside it.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

enum class TextStyle { Regular, Bold, BoldUnderline };

// What the renderers need of a screen list or a printer page. Texts are Windows-1252 bytes; how
// a TAB left inside a drawn piece looks is the device's business. y is the top of the text
// cell, not the baseline.
class Canvas {
  public:
    virtual ~Canvas() = default;
    // In the current font and style.
    virtual int textWidth(std::string_view text) = 0;
    virtual int textHeight() = 0;
    virtual void setStyle(TextStyle style) = 0;
    // Draws the text at (x, y); nothing outside its own cell is painted.
    virtual void drawText(int x, int y, std::string_view text) = 0;
    // Fills clip with the background colour, then draws the text at (x, y) cut to clip.
    virtual void drawTextClipped(const Rect& clip, int x, int y, std::string_view text) = 0;

    int zeroWidth() { return textWidth("0"); }
};

// a * b / c in 64 bits, rounded to the nearest integer (halves away from zero). A zero divisor
// gives 0: a control that has not been laid out yet has no width to divide by.
int MulDiv(int a, int b, int c);

// Tab stops of the journal or the ledger page in thousandths of the drawing width, ascending;
// stops 0 and 8 are the edges and the editor moves only stops 1..7. The same alias as the
// settings file's, whose kDefaultTabStops holds the defaults.
inline constexpr int kTabStopCount = 9;
using TabStops = std::array<int, kTabStopCount>;

// The stops as device x positions within the rectangle.
using PixelStops = std::array<int, kTabStopCount>;
PixelStops ToPixelStops(const TabStops& stops, const Rect& rect);

// A journal or ledger line: fields between TABs at the stops, fields 1..3 starting at stops
// 1..3, fields 4..6 ending at stops 4..6, every later field ending at stop 7. A leading 0x02
// makes the line bold, 0x1F bold and underlined.
void DrawTabbedLine(Canvas& canvas, std::string_view line, const Rect& rect,
                    const PixelStops& stops);

// A statement or VAT line: leading blanks indent it, a non-blank first character makes it bold,
// "Y" with a TAB bold and underlined; the label goes left, the amounts end at the right edge.
// twoAmountColumns: the income statement or balance sheet with a comparison book, whose second
// amount stands fifteen digit-widths right of the first.
void DrawStatementLine(Canvas& canvas, std::string_view line, const Rect& rect,
                       bool twoAmountColumns);

// The renderer of one page (0..5; the raw tree pages count as 3): the journal and ledger pages
// draw at their tab stops, every other page as statements. Keeps the pixel stops while the
// rectangles' left edge and width stay the same, as they do for every row of a list.
class LineRenderer {
  public:
    LineRenderer(int page, const TabStops& stops, bool comparisonLoaded);

    bool tabbed() const { return m_tabbed; }
    void draw(Canvas& canvas, std::string_view line, const Rect& rect);

  private:
    bool m_tabbed;
    bool m_twoAmountColumns;
    TabStops m_stops;
    PixelStops m_pixels{};
    int m_pixelsLeft = 0;
    int m_pixelsWidth = -1;
};

// The tab-stop editor: a grid of eight columns over the journal or ledger list whose column
// borders the user drags. The ledger list's client width serves for both pages.
inline constexpr int kTabColumnCount = kTabStopCount - 1;
using TabColumnWidths = std::array<int, kTabColumnCount>;

// Column i spans stop i to stop i+1.
TabColumnWidths ApplyTabStops(const TabStops& stops, int listWidth);

// After a border drag, with the grid's column widths as they are now: the first column whose
// width differs from ApplyTabStops moves its right stop to where its right border now is, and
// only that stop, so later columns keep their positions; a drag of the last column is undone.
// The new stop stays between its neighbours. Returns true when the grid must be given
// ApplyTabStops again (and, on the ledger page, the list repainted).
bool DragTabColumn(TabStops& stops, const TabColumnWidths& gridWidths, int listWidth);

// The column header of page 1 or 2 drawn in the grid's row, across the ledger list's width; nothing
// on other pages.
void DrawTabEditorHeader(Canvas& canvas, int page, const TabStops& stops, int listWidth, int top,
                         int bottom);

} // namespace kp

// Drawing report lines on any canvas (screen list or printer page), with the tab-stop geometry.
#include "output/LineRenderer.h"

#include "book/ReportLines.h"
#include "output/JournalListing.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace kp {
namespace {

// The field number whose stop every later field shares.
constexpr int kLastField = 7;
// Statement amounts end this far left of the right edge; labels start this far right of the
// indent.
constexpr int kStatementPadding = 10;
// Width of the comparison amount column, in digit widths.
constexpr int kComparisonColumnDigits = 15;

} // namespace

std::string LineFieldsText(std::string_view line) {
    if (!line.empty() && (line.front() == kBoldMarker || line.front() == kBoldUnderlineMarker))
        line.remove_prefix(1);
    std::string text;
    for (;;) {
        const size_t tab = line.find('\t');
        std::string_view field = line.substr(0, tab);
        const size_t first = field.find_first_not_of(' ');
        field = first == std::string_view::npos
                    ? std::string_view()
                    : field.substr(first, field.find_last_not_of(' ') - first + 1);
        if (!field.empty())
            text.append(text.empty() ? "" : "  ").append(field);
        if (tab == std::string_view::npos)
            break;
        line.remove_prefix(tab + 1);
    }
    return text;
}

int MulDiv(int a, int b, int c) {
    if (c == 0)
        return 0;
    const std::int64_t product = static_cast<std::int64_t>(a) * b;
    const bool negative = (product < 0) != (c < 0);
    const auto magnitude = static_cast<std::uint64_t>(product < 0 ? -product : product);
    const auto divisor =
        static_cast<std::uint64_t>(c < 0 ? -static_cast<std::int64_t>(c) : std::int64_t{c});
    const std::uint64_t quotient = (magnitude + divisor / 2) / divisor;
    const auto limit = static_cast<std::uint64_t>(std::numeric_limits<int>::max());
    if (negative)
        return quotient > limit ? std::numeric_limits<int>::min() : -static_cast<int>(quotient);
    return quotient > limit ? std::numeric_limits<int>::max() : static_cast<int>(quotient);
}

PixelStops ToPixelStops(const TabStops& stops, const Rect& rect) {
    PixelStops pixels{};
    for (int i = 0; i < kTabStopCount; ++i)
        pixels[static_cast<size_t>(i)] =
            rect.left + MulDiv(rect.width(), stops[static_cast<size_t>(i)], 1000);
    return pixels;
}

void DrawTabbedLine(Canvas& canvas, std::string_view line, const Rect& rect,
                    const PixelStops& stops) {
    if (line.empty())
        return;
    TextStyle style = TextStyle::Regular;
    if (line.front() == kBoldUnderlineMarker)
        style = TextStyle::BoldUnderline;
    else if (line.front() == kBoldMarker)
        style = TextStyle::Bold;
    if (style != TextStyle::Regular)
        line.remove_prefix(1);
    canvas.setStyle(style);
    const int zero = canvas.zeroWidth();

    int field = 1;
    while (!line.empty()) {
        const size_t tab = line.find('\t');
        const std::string_view text = line.substr(0, tab);
        if (!text.empty()) {
            const int stop = stops[static_cast<size_t>(field)];
            const int x = field <= 3 ? stop : stop - canvas.textWidth(text);
            // Each field paints from one digit-width left of itself to the line's right edge,
            // so a field that runs into the next column is covered by the next field drawn.
            Rect clip = rect;
            clip.left = std::max(x - zero, 0);
            canvas.drawTextClipped(clip, x, rect.top, text);
        }
        if (tab == std::string_view::npos)
            break;
        line.remove_prefix(tab + 1);
        if (field < kLastField)
            ++field;
    }
}

void DrawStatementLine(Canvas& canvas, std::string_view line, const Rect& rect,
                       bool twoAmountColumns) {
    if (line.empty())
        return;
    const char first = line.front();
    const size_t blanks = std::min(line.find_first_not_of(' '), line.size());
    const int x = rect.left + MulDiv(static_cast<int>(blanks), rect.width(), 64);
    line.remove_prefix(blanks);
    canvas.setStyle(first == ' ' ? TextStyle::Regular : TextStyle::Bold);

    const size_t tab = line.find('\t');
    if (tab == std::string_view::npos) {
        if (!line.empty())
            canvas.drawText(x + kStatementPadding, rect.top, line);
        return;
    }
    // A total line ("Yhteensä", "Ylijäämä") is underlined as well.
    if (first == 'Y')
        canvas.setStyle(TextStyle::BoldUnderline);
    if (const std::string_view label = line.substr(0, tab); !label.empty())
        canvas.drawText(x + kStatementPadding, rect.top, label);
    const std::string_view amounts = line.substr(tab + 1);
    auto drawEndingAt = [&](int right, std::string_view text) {
        if (!text.empty())
            canvas.drawText(right - canvas.textWidth(text), rect.top, text);
    };
    if (!twoAmountColumns) {
        drawEndingAt(rect.right - kStatementPadding, amounts);
        return;
    }
    const size_t second = amounts.find('\t');
    drawEndingAt(rect.right - kComparisonColumnDigits * canvas.zeroWidth() - kStatementPadding,
                 amounts.substr(0, second));
    if (second != std::string_view::npos)
        drawEndingAt(rect.right - kStatementPadding, amounts.substr(second + 1));
}

LineRenderer::LineRenderer(int page, const TabStops& stops, bool comparisonLoaded)
    : m_tabbed(page == 1 || page == 2),
      m_twoAmountColumns(comparisonLoaded && (page == 3 || page == 4)), m_stops(stops) {}

void LineRenderer::draw(Canvas& canvas, std::string_view line, const Rect& rect) {
    if (!m_tabbed) {
        DrawStatementLine(canvas, line, rect, m_twoAmountColumns);
        return;
    }
    if (rect.left != m_pixelsLeft || rect.width() != m_pixelsWidth) {
        m_pixels = ToPixelStops(m_stops, rect);
        m_pixelsLeft = rect.left;
        m_pixelsWidth = rect.width();
    }
    DrawTabbedLine(canvas, line, rect, m_pixels);
}

TabColumnWidths ApplyTabStops(const TabStops& stops, int listWidth) {
    TabColumnWidths widths{};
    for (size_t i = 0; i < widths.size(); ++i)
        widths[i] = MulDiv(stops[i + 1] - stops[i], listWidth, 1000);
    return widths;
}

bool DragTabColumn(TabStops& stops, const TabColumnWidths& gridWidths, int listWidth) {
    if (listWidth <= 0)
        return false;
    const TabColumnWidths applied = ApplyTabStops(stops, listWidth);
    int right = 0;
    for (size_t i = 0; i < gridWidths.size(); ++i) {
        right += gridWidths[i];
        if (gridWidths[i] == applied[i])
            continue;
        // The grid pushes the later columns along with the dragged border; the stops behind it
        // stay, so a border dragged past the next stop stops there.
        if (i + 1 < gridWidths.size())
            stops[i + 1] =
                std::max(stops[i], std::min(MulDiv(right, 1000, listWidth), stops[i + 2]));
        return true;
    }
    return false;
}

void DrawTabEditorHeader(Canvas& canvas, int page, const TabStops& stops, int listWidth, int top,
                         int bottom) {
    if (page != 1 && page != 2)
        return;
    const Rect rect{0, top, listWidth, bottom};
    DrawTabbedLine(canvas, page == 1 ? kJournalColumns : kLedgerColumns, rect,
                   ToPixelStops(stops, rect));
}

} // namespace kp

// The tab-stop editor strip: lays its columns out from the stops and turns border drags into
// stop moves.
#include "qt/TabStopBar.h"

#include "qt/PainterCanvas.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cstdlib>

namespace kp {

namespace {

// One line under the header row closes the strip off from the list below it.
constexpr int kBarHeight = 2 * TabStopBar::kRowHeight + 1;

} // namespace

TabStopBar::TabStopBar(QWidget* parent)
    : QWidget(parent), m_font(QStringLiteral("Liberation Sans")) {
    // The header must line up with the list's rows, which are drawn in this font.
    m_font.setPixelSize(15);
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void TabStopBar::setPage(int page, TabStops* stops, int listWidth) {
    m_page = page;
    m_stops = stops;
    m_listWidth = listWidth;
    m_dragColumn = -1;
    m_widths = editable() ? ApplyTabStops(*m_stops, m_listWidth) : TabColumnWidths{};
    unsetCursor();
    updateGeometry();
    update();
}

int TabStopBar::columnRight(int column) const {
    int right = 0;
    for (int i = 0; i <= column && i < kTabColumnCount; ++i)
        right += m_widths[static_cast<size_t>(i)];
    return right;
}

QSize TabStopBar::sizeHint() const {
    return {std::max(m_listWidth, 1), kBarHeight};
}

int TabStopBar::borderAt(int x) const {
    if (!editable())
        return -1;
    // Borders of empty columns coincide; the rightmost of them is taken, so that dragging to
    // the right opens the empty column up again.
    int found = -1;
    int nearest = kGrabDistance + 1;
    for (int i = 0; i < kTabColumnCount; ++i) {
        const int distance = std::abs(x - columnRight(i));
        if (distance <= nearest && distance <= kGrabDistance) {
            found = i;
            nearest = distance;
        }
    }
    return found;
}

// As a grid's border drag: the dragged column takes the width up to the mouse, the later
// columns keep theirs and move along.
void TabStopBar::dragTo(int x) {
    const size_t column = static_cast<size_t>(m_dragColumn);
    const int left = columnRight(m_dragColumn) - m_widths[column];
    m_widths[column] = std::max(0, x - left);
    update();
}

void TabStopBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QPalette& colours = palette();
    const QRect fixedRow(0, 0, width(), kRowHeight);
    const QRect headerRow(0, kRowHeight, width(), kRowHeight);
    painter.fillRect(fixedRow, colours.color(QPalette::Button));
    painter.fillRect(headerRow, colours.color(QPalette::Base));
    painter.fillRect(QRect(0, 2 * kRowHeight, width(), height() - 2 * kRowHeight),
                     colours.color(QPalette::Mid));

    if (editable()) {
        // The header stands at the stops, not at a border being dragged: it shows where the
        // list's columns are until the drag is let go.
        painter.save();
        painter.setClipRect(headerRow);
        painter.setPen(colours.color(QPalette::Text));
        PainterCanvas canvas(painter, m_font, colours.color(QPalette::Base));
        DrawTabEditorHeader(canvas, m_page, *m_stops, m_listWidth, headerRow.top(),
                            headerRow.bottom() + 1);
        painter.restore();
    }

    // Grid lines on each column's last pixel, drawn over the header so the borders stay visible.
    painter.setPen(colours.color(QPalette::Mid));
    for (int i = 0; i < kTabColumnCount; ++i) {
        const int x = columnRight(i) - 1;
        if (x >= 0 && m_widths[static_cast<size_t>(i)] > 0)
            painter.drawLine(x, 0, x, 2 * kRowHeight - 1);
    }
    painter.drawLine(0, kRowHeight - 1, width() - 1, kRowHeight - 1);
}

void TabStopBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    m_dragColumn = borderAt(event->position().toPoint().x());
    if (m_dragColumn >= 0)
        setCursor(Qt::SplitHCursor);
}

void TabStopBar::mouseMoveEvent(QMouseEvent* event) {
    const int x = event->position().toPoint().x();
    if (m_dragColumn >= 0) {
        dragTo(x);
        return;
    }
    if (borderAt(x) >= 0)
        setCursor(Qt::SplitHCursor);
    else
        unsetCursor();
}

void TabStopBar::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || m_dragColumn < 0)
        return;
    dragTo(event->position().toPoint().x());
    m_dragColumn = -1;
    const TabStops before = *m_stops;
    DragTabColumn(*m_stops, m_widths, m_listWidth);
    // Whatever the drag did, the columns go back to the stops: a drag of the last column, or one
    // held against a neighbouring stop, snaps back.
    m_widths = ApplyTabStops(*m_stops, m_listWidth);
    update();
    if (*m_stops != before)
        emit stopsChanged();
}

void TabStopBar::mouseDoubleClickEvent(QMouseEvent*) {
    m_dragColumn = -1;
    if (editable())
        m_widths = ApplyTabStops(*m_stops, m_listWidth);
    unsetCursor();
    hide();
    emit closedByDoubleClick();
}

} // namespace kp

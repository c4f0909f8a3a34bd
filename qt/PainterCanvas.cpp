// The renderers' canvas over a QPainter.
#include "qt/PainterCanvas.h"

#include "qt/QtText.h"

#include <QPainter>

namespace kp {

QString CanvasText(std::string_view text) {
    QString s = FromBook(text);
    s.replace(QLatin1Char('\t'), QLatin1Char(' '));
    return s;
}

PainterCanvas::PainterCanvas(QPainter& painter, const QFont& font, const QColor& background)
    : m_painter(painter), m_base(font), m_font(font), m_metrics(font, painter.device()),
      m_background(background) {
    m_painter.setFont(m_font);
}

int PainterCanvas::textWidth(std::string_view text) {
    return m_metrics.horizontalAdvance(CanvasText(text));
}

int PainterCanvas::textHeight() {
    return m_metrics.height();
}

void PainterCanvas::setStyle(TextStyle style) {
    m_font = m_base;
    m_font.setBold(style != TextStyle::Regular);
    m_font.setUnderline(style == TextStyle::BoldUnderline);
    m_metrics = QFontMetrics(m_font, m_painter.device());
    m_painter.setFont(m_font);
}

void PainterCanvas::drawText(int x, int y, std::string_view text) {
    m_painter.drawText(x, y + m_metrics.ascent(), CanvasText(text));
}

void PainterCanvas::drawTextClipped(const Rect& clip, int x, int y, std::string_view text) {
    const QRect r(clip.left, clip.top, clip.right - clip.left, clip.bottom - clip.top);
    m_painter.save();
    m_painter.fillRect(r, m_background);
    m_painter.setClipRect(r, Qt::IntersectClip);
    m_painter.drawText(x, y + m_metrics.ascent(), CanvasText(text));
    m_painter.restore();
}

} // namespace kp

// The renderers' canvas over a QPainter: Windows-1252 text measured and drawn in one font.
#pragma once

#include "output/LineRenderer.h"

#include <QColor>
#include <QFont>
#include <QFontMetrics>

class QPainter;

namespace kp {

class PainterCanvas : public Canvas {
  public:
    // background fills the clipped cells; the painter's pen colours the text. Text is measured
    // for the painter's device when it is active (a printer's resolution).
    PainterCanvas(QPainter& painter, const QFont& font, const QColor& background);

    int textWidth(std::string_view text) override;
    int textHeight() override;
    void setStyle(TextStyle style) override;
    void drawText(int x, int y, std::string_view text) override;
    void drawTextClipped(const Rect& clip, int x, int y, std::string_view text) override;

  private:
    QPainter& m_painter;
    QFont m_base;
    QFont m_font;
    QFontMetrics m_metrics;
    QColor m_background;
};

// A piece of a line as drawn: a TAB left inside it shows as a blank.
QString CanvasText(std::string_view text);

} // namespace kp

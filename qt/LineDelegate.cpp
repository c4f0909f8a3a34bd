// Draws the rows of a statement page's list through the line renderer.
#include "qt/LineDelegate.h"

#include "qt/PainterCanvas.h"
#include "qt/ReportLinesModel.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

namespace kp {

LineDelegate::LineDelegate(int page, const QFont& font, int itemHeight,
                           std::function<LineLayout()> layout, QObject* parent)
    : QStyledItemDelegate(parent), m_page(page), m_font(font), m_itemHeight(itemHeight),
      m_layout(std::move(layout)) {}

void LineDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const {
    const QByteArray bytes = index.data(ReportLinesModel::LineRole).toByteArray();
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    const QPalette::ColorGroup group =
        option.state.testFlag(QStyle::State_Active) ? QPalette::Active : QPalette::Inactive;
    const QColor background =
        option.palette.color(group, selected ? QPalette::Highlight : QPalette::Base);
    const QColor foreground =
        option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text);

    painter->save();
    painter->fillRect(option.rect, background);
    painter->setPen(foreground);
    PainterCanvas canvas(*painter, m_font, background);
    const LineLayout layout = m_layout ? m_layout() : LineLayout{};
    // The renderer keeps its pixel stops only for one rectangle width, so a fresh one per row
    // costs one stop conversion.
    LineRenderer renderer(m_page, layout.stops, layout.comparisonLoaded);
    const QRect r = option.rect;
    renderer.draw(canvas, std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())),
                  Rect{r.left(), r.top(), r.right() + 1, r.bottom() + 1});
    painter->restore();
}

// The width comes from the view's column, which fills the page.
QSize LineDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const {
    return {1, m_itemHeight};
}

} // namespace kp

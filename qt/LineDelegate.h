// Draws the rows of a statement page's list through the line renderer, at a fixed row height.
#pragma once

#include "output/LineRenderer.h"

#include <QFont>
#include <QStyledItemDelegate>
#include <functional>

namespace kp {

// What a row needs to be drawn that can change while the list lives: the tab stops and whether
// a comparison book adds a second amount column.
struct LineLayout {
    TabStops stops{};
    bool comparisonLoaded = false;
};

class LineDelegate : public QStyledItemDelegate {
    Q_OBJECT

  public:
    LineDelegate(int page, const QFont& font, int itemHeight, std::function<LineLayout()> layout,
                 QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    const QFont& font() const { return m_font; }
    int itemHeight() const { return m_itemHeight; }

  private:
    int m_page;
    QFont m_font;
    int m_itemHeight;
    std::function<LineLayout()> m_layout;
};

} // namespace kp

// The tab-stop editor: a two-row strip over the journal or ledger list whose column borders are
// dragged to move the page's tab stops.
#pragma once

#include "output/LineRenderer.h"

#include <QFont>
#include <QWidget>

namespace kp {

class TabStopBar : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kRowHeight = 16;
    // A press this close to a column's right border grabs the border.
    static constexpr int kGrabDistance = 3;

    explicit TabStopBar(QWidget* parent = nullptr);

    // Page 1 (journal) or 2 (ledger), the stops it edits (kept by the caller; a drag writes
    // through the pointer) and the ledger list's client width, which lays out both pages.
    // Any other page, or no stops, leaves the bar empty and inert.
    void setPage(int page, TabStops* stops, int listWidth);
    int page() const { return m_page; }

    // The columns as shown, a border being dragged included.
    TabColumnWidths columnWidths() const { return m_widths; }
    // The x just right of column i, where its border is grabbed.
    int columnRight(int column) const;

    QSize sizeHint() const override;

  signals:
    // A border drag moved a stop: the list drawn with the stops needs repainting.
    void stopsChanged();
    // The bar hid itself on a double click; the menu's check mark must follow.
    void closedByDoubleClick();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    bool editable() const { return m_stops != nullptr && (m_page == 1 || m_page == 2); }
    // The column whose right border lies within grab distance of x, or -1.
    int borderAt(int x) const;
    void dragTo(int x);

    int m_page = 0;
    TabStops* m_stops = nullptr;
    int m_listWidth = 0;
    TabColumnWidths m_widths{};
    int m_dragColumn = -1;
    QFont m_font;
};

} // namespace kp

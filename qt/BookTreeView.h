// A tree view over a book tree model whose lines can be dragged and dropped onto other lines.
#pragma once

#include "app/Maintenance.h"
#include "book/BookTree.h"

#include <QPersistentModelIndex>
#include <QTreeView>
#include <functional>

namespace kp {

class BookTreeView : public QTreeView {
    Q_OBJECT

  public:
    explicit BookTreeView(DragSource source, QWidget* parent = nullptr);

    // Whether a drag from the source may be dropped on the line (none: no line there).
    std::function<bool(DragSource source, const BookNode* target)> accepts;
    // A drop: the line hit and where on it.
    std::function<void(DragSource source, BookNode* target, DropSpot spot)> dropped;

    // The hit test at a point of the viewport: the line there and whether the point is on its
    // text, on its expand button or in the indent left of it, or beside its text.
    DropSpot spotAt(QPoint point, BookNode** line) const;
    // What a drop at the point does; the drop event comes here.
    void dropAt(QPoint point, DragSource source);

    static DragSource sourceOf(const QMimeData* data);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    DragSource m_source;
    QPoint m_pressAt;
    QPersistentModelIndex m_pressedIndex;
    bool m_pressed = false;
};

} // namespace kp

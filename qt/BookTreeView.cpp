// A tree view over a book tree model whose lines can be dragged and dropped onto other lines.
#include "qt/BookTreeView.h"

#include "qt/BookTreeModel.h"

#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>

namespace kp {
namespace {

// A drag between the program's trees carries which view it came from.
const QString kMime = QStringLiteral("application/x-kirjanpito-tree");

} // namespace

BookTreeView::BookTreeView(DragSource source, QWidget* parent)
    : QTreeView(parent), m_source(source) {
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDropIndicatorShown(false);
}

DragSource BookTreeView::sourceOf(const QMimeData* data) {
    if (!data || !data->hasFormat(kMime))
        return DragSource::Other;
    const int value = data->data(kMime).toInt();
    if (value < 0 || value > static_cast<int>(DragSource::Other))
        return DragSource::Other;
    return static_cast<DragSource>(value);
}

DropSpot BookTreeView::spotAt(QPoint point, BookNode** line) const {
    *line = nullptr;
    const QModelIndex index = indexAt(point);
    if (!index.isValid()) {
        // The indent and the expand button lie left of the item's rectangle, on its row.
        const QModelIndex row = indexAt(QPoint(viewport()->width() - 1, point.y()));
        if (!row.isValid())
            return DropSpot::Elsewhere;
        *line = const_cast<BookNode*>(BookTreeModel::nodeAt(row));
        return point.x() < visualRect(row).left() ? DropSpot::ExpandButtonOrIndent
                                                  : DropSpot::Elsewhere;
    }
    *line = const_cast<BookNode*>(BookTreeModel::nodeAt(index));
    const QRect rect = visualRect(index);
    if (point.x() < rect.left())
        return DropSpot::ExpandButtonOrIndent;
    const int textWidth = fontMetrics().horizontalAdvance(index.data().toString()) + 8;
    return point.x() <= rect.left() + textWidth ? DropSpot::Label : DropSpot::Elsewhere;
}

void BookTreeView::dropAt(QPoint point, DragSource source) {
    BookNode* line = nullptr;
    const DropSpot spot = spotAt(point, &line);
    if (dropped && line)
        dropped(source, line, spot);
}

void BookTreeView::mousePressEvent(QMouseEvent* event) {
    QTreeView::mousePressEvent(event);
    m_pressedIndex = indexAt(event->position().toPoint());
    m_pressed = event->button() == Qt::LeftButton && m_pressedIndex.isValid();
    m_pressAt = event->position().toPoint();
}

void BookTreeView::mouseMoveEvent(QMouseEvent* event) {
    if (!m_pressed || !(event->buttons() & Qt::LeftButton)) {
        QTreeView::mouseMoveEvent(event);
        return;
    }
    // While the button is down on a line, the pointer does not select the lines it passes: the
    // line pressed is the one a drag moves.
    if ((event->position().toPoint() - m_pressAt).manhattanLength() <
        QApplication::startDragDistance())
        return;
    m_pressed = false;
    if (m_pressedIndex.isValid() && currentIndex() != m_pressedIndex)
        setCurrentIndex(m_pressedIndex);
    auto* mime = new QMimeData;
    mime->setData(kMime, QByteArray::number(static_cast<int>(m_source)));
    auto* drag = new QDrag(this);
    drag->setMimeData(mime);
    drag->exec(Qt::MoveAction);
}

void BookTreeView::dragEnterEvent(QDragEnterEvent* event) {
    if (sourceOf(event->mimeData()) != DragSource::Other)
        event->acceptProposedAction();
    else
        event->ignore();
}

void BookTreeView::dragMoveEvent(QDragMoveEvent* event) {
    BookNode* line = nullptr;
    spotAt(event->position().toPoint(), &line);
    const DragSource source = sourceOf(event->mimeData());
    if (source != DragSource::Other && accepts && accepts(source, line))
        event->acceptProposedAction();
    else
        event->ignore();
}

void BookTreeView::dropEvent(QDropEvent* event) {
    const DragSource source = sourceOf(event->mimeData());
    if (source == DragSource::Other) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    dropAt(event->position().toPoint(), source);
}

} // namespace kp

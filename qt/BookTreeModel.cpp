// A read-only item model over a book tree.
#include "qt/BookTreeModel.h"

#include "qt/QtText.h"

namespace kp {

void BookTreeModel::freeze() {
    if (m_frozen)
        return;
    beginResetModel();
    m_frozen = true;
}

void BookTreeModel::thaw() {
    if (!m_frozen)
        return;
    m_frozen = false;
    endResetModel();
}

const BookNode* BookTreeModel::nodeAt(const QModelIndex& index) {
    return index.isValid() ? static_cast<const BookNode*>(index.internalPointer()) : nullptr;
}

QModelIndex BookTreeModel::indexOf(const BookNode* node) const {
    if (m_frozen || !node)
        return {};
    return createIndex(node->index(), 0, node);
}

QModelIndex BookTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (m_frozen || column != 0 || row < 0)
        return {};
    const BookNode* node = nullptr;
    if (const BookNode* p = nodeAt(parent)) {
        makeChildren(p);
        node = p->child(row);
    } else if (!parent.isValid() && row < static_cast<int>(m_tree.roots().size())) {
        node = m_tree.roots()[static_cast<size_t>(row)];
    }
    return node ? createIndex(row, 0, node) : QModelIndex();
}

QModelIndex BookTreeModel::parent(const QModelIndex& child) const {
    const BookNode* node = m_frozen ? nullptr : nodeAt(child);
    return node ? indexOf(node->parent()) : QModelIndex();
}

int BookTreeModel::rowCount(const QModelIndex& parent) const {
    if (m_frozen || parent.column() > 0)
        return 0;
    if (const BookNode* node = nodeAt(parent)) {
        makeChildren(node);
        return node->childCount();
    }
    return static_cast<int>(m_tree.roots().size());
}

int BookTreeModel::columnCount(const QModelIndex&) const {
    return 1;
}

bool BookTreeModel::hasChildren(const QModelIndex& parent) const {
    if (m_frozen)
        return false;
    if (const BookNode* node = nodeAt(parent))
        return node->hasChildren() || (m_lazy.pending && m_lazy.pending(node));
    return !m_tree.empty();
}

QVariant BookTreeModel::data(const QModelIndex& index, int role) const {
    const BookNode* node = m_frozen ? nullptr : nodeAt(index);
    if (!node || role != Qt::DisplayRole)
        return {};
    return FromBook(m_lazy.text ? m_lazy.text(node) : node->text());
}

} // namespace kp

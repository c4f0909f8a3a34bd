// A read-only item model over a book tree: the journal, chart, book and comparison views.
#pragma once

#include "book/BookTree.h"

#include <QAbstractItemModel>
#include <functional>

namespace kp {

// Indexes carry the node itself, so a tree of any size costs the view nothing up front. The
// controller rebuilds trees in place; the window freezes the model around every call that may
// do so, and while frozen the model shows nothing and never touches a node.
class BookTreeModel : public QAbstractItemModel {
    Q_OBJECT

  public:
    explicit BookTreeModel(const BookTree& tree, QObject* parent = nullptr)
        : QAbstractItemModel(parent), m_tree(tree) {}

    // For a tree whose nodes get their children when these are first read (the journal's
    // lines): whether a node's are still to be made, and the making; and the text a node shows
    // where it is made when shown (the journal's vouchers).
    struct LazyChildren {
        std::function<bool(const BookNode*)> pending;
        std::function<void(const BookNode*)> make;
        std::function<std::string_view(const BookNode*)> text;
    };
    void setLazyChildren(LazyChildren lazy) { m_lazy = std::move(lazy); }

    void freeze();
    void thaw();
    bool frozen() const { return m_frozen; }

    QModelIndex indexOf(const BookNode* node) const;
    static const BookNode* nodeAt(const QModelIndex& index);

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

  private:
    // Makes the node's children if they are pending.
    void makeChildren(const BookNode* node) const {
        if (m_lazy.make)
            m_lazy.make(node);
    }

    const BookTree& m_tree;
    LazyChildren m_lazy;
    bool m_frozen = false;
};

} // namespace kp

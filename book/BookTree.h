// The book tree: an ordered forest of text nodes that holds a whole book in memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace kp {

class BookTree;

// One node: a Windows-1252 text, ordered children and a reference slot. Nodes live in their
// tree's pool and are created, moved and deleted only through BookTree.
class BookNode {
  public:
    std::string_view text() const { return {m_text, m_length}; }
    // Case-sensitive byte comparison of the text's beginning; a shorter text does not match.
    bool startsWith(std::string_view key) const { return text().substr(0, key.size()) == key; }

    BookNode* parent() const { return m_parent; } // none for a root
    int level() const;
    int index() const { return m_index; }
    int childCount() const { return static_cast<int>(m_children.size()); }
    bool hasChildren() const { return !m_children.empty(); }
    BookNode* child(int i) const {
        return i >= 0 && i < childCount() ? m_children[static_cast<size_t>(i)] : nullptr;
    }
    const std::vector<BookNode*>& children() const { return m_children; }

    // A view node's reference to the book node it shows.
    BookNode* reference() const { return m_reference; }
    void setReference(BookNode* node) { m_reference = node; }
    // A number attached by an index (an account's ledger entry list); 0 means none.
    std::uint32_t tag() const { return m_tag; }
    void setTag(std::uint32_t tag) { m_tag = tag; }

  private:
    friend class BookTree;

    const char* m_text = "";
    std::uint32_t m_length = 0;
    std::int32_t m_index = 0;
    std::vector<BookNode*> m_children;
    BookNode* m_parent = nullptr;
    BookNode* m_reference = nullptr;
    std::uint32_t m_tag = 0;
};

// Where a dragged line is dropped on a tree line: on its text, or on its expand button or the
// indent left of it (to stand before it), or anywhere else (nothing happens).
enum class DropSpot { Label, ExpandButtonOrIndent, Elsewhere };

class BookTree {
  public:
    BookTree();
    ~BookTree();
    BookTree(const BookTree&) = delete;
    BookTree& operator=(const BookTree&) = delete;
    BookTree(BookTree&&) noexcept;
    BookTree& operator=(BookTree&&) noexcept;

    // Adding: as the last child of parent (the last root when parent is none), as the first
    // child (the first root), or directly before a sibling.
    BookNode* addLast(BookNode* parent, std::string_view text);
    BookNode* addFirst(BookNode* parent, std::string_view text);
    BookNode* insertBefore(BookNode* sibling, std::string_view text);

    // Moving a node with its subtree. A move into the node's own subtree does nothing.
    void moveToLastChild(BookNode* node, BookNode* newParent);
    void moveBefore(BookNode* node, BookNode* target);

    void remove(BookNode* node);
    void removeChildren(BookNode* node);
    void setText(BookNode* node, std::string_view text);

    const std::vector<BookNode*>& roots() const { return m_roots; }
    BookNode* first() const { return m_roots.empty() ? nullptr : m_roots.front(); }
    bool empty() const { return m_roots.empty(); }
    std::size_t count() const { return m_count; }
    void clear();

    // Pre-order successor: children first, then the next sibling of the nearest ancestor.
    BookNode* next(const BookNode* node) const;
    BookNode* nextSibling(const BookNode* node) const;
    bool isInSubtree(const BookNode* node, const BookNode* top) const;

  private:
    BookNode* allocate(std::string_view text);
    void release(BookNode* node);
    const char* storeText(std::string_view text);
    std::vector<BookNode*>& siblingsOf(BookNode* node);
    void attach(std::vector<BookNode*>& siblings, size_t pos, BookNode* node, BookNode* parent);
    void detach(BookNode* node);

    std::vector<BookNode*> m_roots;
    std::size_t m_count = 0;

    // Nodes come from fixed-size chunks; deleted nodes go to a free list.
    std::vector<std::unique_ptr<BookNode[]>> m_nodeChunks;
    std::size_t m_nodesUsedInChunk = 0;
    std::size_t m_nodeChunkSize = 0;
    std::vector<BookNode*> m_freeNodes;

    // Texts are packed into large blocks; a changed text takes new space and the old space is
    // given back when the tree is cleared. Edits are few next to the texts a load brings.
    std::vector<std::unique_ptr<char[]>> m_textBlocks;
    std::size_t m_textUsedInBlock = 0;
    std::size_t m_textBlockSize = 0;
};

} // namespace kp

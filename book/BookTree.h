// The book tree: an ordered forest of text nodes that holds a whole book in memory.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

namespace kp {

class BookTree;
class ChildList;

// A node's text is stored after its length: one byte below 255, else four bytes and a 255.
inline constexpr unsigned char kLongTextMark = 255;

// Every tree keeps its nodes, child lists and texts in one address range of its own, reserved
// at once and filled from the front of each part as the tree grows. Links between nodes are then
// 32-bit numbers within the range: a node is 20 bytes and a child list entry 4, where pointers
// would take twice that, and a book of a million nodes costs no malloc per node. The range starts
// at a multiple of its size, so a node finds its range from its own address.
namespace tree_range {
// The size of every range, a power of two: 4 GiB, or less where the address space is limited
// (chosen before the first range is made, see BookTree.cpp).
inline std::uintptr_t g_size = std::uintptr_t{1} << 32;
inline std::uintptr_t Size() {
    return g_size;
}
// The parts, as offsets from the range's start. The first page holds the header.
inline constexpr std::uintptr_t kNodes = 4096; // BookNode, number 0 the top
inline std::uintptr_t SlotsAt() {              // 8 bytes per node number
    return g_size / 8 * 3;
}
inline std::uintptr_t ListsAt() { // 4 bytes per entry
    return g_size / 16 * 9;
}
inline std::uintptr_t TextsAt() { // bytes, the empty text at 1
    return g_size / 16 * 11;
}
// How much of each part is usable (committed), in bytes from the part's start, and what the
// tree counts in BookTree::bytesHeldByAllTrees: the bytes its nodes, lists and texts use, and its
// usable slots. Only the tree's own thread changes the count, without a locked instruction; a
// benchmark may read it from another.
struct Header {
    std::size_t committed[4];
    std::atomic<std::size_t> held;
};
enum Part { Nodes, Slots, Lists, Texts };
inline char* Base(const void* p) {
    return reinterpret_cast<char*>(reinterpret_cast<std::uintptr_t>(p) & ~(Size() - 1));
}
} // namespace tree_range

// One node: a Windows-1252 text, ordered children and a reference slot. Nodes live in their
// tree's range and are created, moved and deleted only through BookTree.
class BookNode {
  public:
    std::string_view text() const {
        const char* text = tree_range::Base(this) + tree_range::TextsAt() + m_text;
        const auto length = static_cast<unsigned char>(text[-1]);
        if (length != kLongTextMark)
            return {text, length};
        std::uint32_t longLength = 0;
        std::memcpy(&longLength, text - 5, sizeof longLength);
        return {text, longLength};
    }
    // Case-sensitive byte comparison of the text's beginning; a shorter text does not match.
    bool startsWith(std::string_view key) const { return text().substr(0, key.size()) == key; }

    // None for a root: number 0 is the tree's top, which holds the roots.
    BookNode* parent() const { return m_parent ? numbered(m_parent) : nullptr; }
    int level() const;
    int index() const { return m_index; }
    int childCount() const { return static_cast<int>(m_childCount); }
    bool hasChildren() const { return m_childCount != 0; }
    BookNode* child(int i) const {
        return i >= 0 && i < childCount() ? numbered(listStart()[i]) : nullptr;
    }
    // Valid until the node's children change.
    ChildList children() const;

    // A view node's reference to the book node it shows.
    BookNode* reference() const {
        const Slot* slot = slotOf();
        return slot ? slot->reference : nullptr;
    }
    void setReference(BookNode* node) { takeSlot().reference = node; }
    // A number attached by an index to a book node (an account's ledger entry list); 0 means
    // none. It shares its slot with the reference, which only view nodes have: an index checks
    // the tags it reads against its own list owners, so a view node's tag is never trusted.
    std::uint32_t tag() const {
        const Slot* slot = slotOf();
        return slot ? slot->tag : 0;
    }
    void setTag(std::uint32_t tag) {
        Slot& slot = takeSlot();
        slot.reference = nullptr;
        slot.tag = tag;
    }

  private:
    friend class BookTree;
    friend class ChildList;
    BookNode() = default;
    // A node is known by its place in its tree's range: a copy elsewhere would read another's.
    BookNode(const BookNode&) = delete;
    BookNode& operator=(const BookNode&) = delete;

    // Few nodes carry a reference or a tag (a view's lines, a book's accounts): the slots are a
    // part of the range of their own, numbered as the nodes, whose pages are used only where
    // a slot is taken.
    union Slot {
        BookNode* reference = nullptr;
        std::uint32_t tag;
    };
    static BookNode* numbered(const char* base, std::uint32_t number) {
        return reinterpret_cast<BookNode*>(const_cast<char*>(base) + tree_range::kNodes +
                                           std::size_t{number} * sizeof(BookNode));
    }
    BookNode* numbered(std::uint32_t number) const {
        return numbered(tree_range::Base(this), number);
    }
    std::uint32_t number() const {
        return static_cast<std::uint32_t>(
            (reinterpret_cast<const char*>(this) - tree_range::Base(this) - tree_range::kNodes) /
            sizeof(BookNode));
    }
    const std::uint32_t* listStart() const {
        return reinterpret_cast<const std::uint32_t*>(tree_range::Base(this) +
                                                      tree_range::ListsAt()) +
               m_children;
    }
    const Slot* slotOf() const {
        const char* base = tree_range::Base(this);
        const std::size_t at = std::size_t{number()} * sizeof(Slot);
        const auto& header = *reinterpret_cast<const tree_range::Header*>(base);
        return at < header.committed[tree_range::Slots]
                   ? reinterpret_cast<const Slot*>(base + tree_range::SlotsAt() + at)
                   : nullptr;
    }
    Slot& takeSlot();

    std::uint32_t m_text = 1;     // offset in the texts part
    std::uint32_t m_parent = 0;   // node number
    std::uint32_t m_children = 0; // offset in the lists part, in entries
    std::int32_t m_index = 0;
    std::uint32_t m_childCount = 0; // the list has room for the count rounded up to a power of two
};

// A node's children as node pointers, read from its list of numbers.
class ChildList {
  public:
    class iterator {
      public:
        using iterator_category = std::random_access_iterator_tag;
        using value_type = BookNode*;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = BookNode*;

        iterator() = default;
        iterator(const char* base, const std::uint32_t* at) : m_base(base), m_at(at) {}
        BookNode* operator*() const { return BookNode::numbered(m_base, *m_at); }
        BookNode* operator[](difference_type n) const {
            return BookNode::numbered(m_base, m_at[n]);
        }
        iterator& operator++() { return ++m_at, *this; }
        iterator operator++(int) { return {m_base, m_at++}; }
        iterator& operator--() { return --m_at, *this; }
        iterator operator--(int) { return {m_base, m_at--}; }
        iterator& operator+=(difference_type n) { return m_at += n, *this; }
        iterator& operator-=(difference_type n) { return m_at -= n, *this; }
        friend iterator operator+(iterator it, difference_type n) { return it += n; }
        friend iterator operator+(difference_type n, iterator it) { return it += n; }
        friend iterator operator-(iterator it, difference_type n) { return it -= n; }
        friend difference_type operator-(const iterator& a, const iterator& b) {
            return a.m_at - b.m_at;
        }
        friend bool operator==(const iterator& a, const iterator& b) { return a.m_at == b.m_at; }
        friend bool operator!=(const iterator& a, const iterator& b) { return a.m_at != b.m_at; }
        friend bool operator<(const iterator& a, const iterator& b) { return a.m_at < b.m_at; }
        friend bool operator>(const iterator& a, const iterator& b) { return b < a; }
        friend bool operator<=(const iterator& a, const iterator& b) { return !(b < a); }
        friend bool operator>=(const iterator& a, const iterator& b) { return !(a < b); }

      private:
        const char* m_base = nullptr;
        const std::uint32_t* m_at = nullptr;
    };
    using const_iterator = iterator;
    using reverse_iterator = std::reverse_iterator<iterator>;
    using value_type = BookNode*;
    using size_type = std::size_t;

    ChildList() = default;
    explicit ChildList(const BookNode& node)
        : m_base(tree_range::Base(&node)), m_first(node.listStart()), m_count(node.m_childCount) {}

    std::size_t size() const { return m_count; }
    bool empty() const { return m_count == 0; }
    BookNode* operator[](std::size_t i) const { return BookNode::numbered(m_base, m_first[i]); }
    BookNode* front() const { return (*this)[0]; }
    BookNode* back() const { return (*this)[m_count - 1]; }
    iterator begin() const { return {m_base, m_first}; }
    iterator end() const { return {m_base, m_first + m_count}; }
    reverse_iterator rbegin() const { return reverse_iterator(end()); }
    reverse_iterator rend() const { return reverse_iterator(begin()); }

  private:
    const char* m_base = nullptr;
    const std::uint32_t* m_first = nullptr;
    std::size_t m_count = 0;
};

inline ChildList BookNode::children() const {
    return ChildList(*this);
}

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

    // Loading in place: the tree is emptied and takes room among its texts for size bytes (a
    // book file) for the caller to fill.
    char* takeSourceBytes(std::size_t size);
    // Loading, in place or not: loadNode adds a node as the last child of the list opened last,
    // or as the last root when none is open; openList opens the node loaded last, closeList
    // closes the list opened last, and finishLoad any still open. A list's children are written
    // once, when it closes, so that a load leaves no list space unused. A text that stands in
    // the source bytes and is shorter than 255 is moved down within them, over bytes read
    // already, to follow the text read before it; when the load finishes, the bytes after the
    // texts are given back. Any other text is copied.
    BookNode* loadNode(std::string_view text);
    void openList();
    void closeList();
    void finishLoad();

    // Moving a node with its subtree. A move into the node's own subtree does nothing.
    void moveToLastChild(BookNode* node, BookNode* newParent);
    void moveBefore(BookNode* node, BookNode* target);

    void remove(BookNode* node);
    void removeChildren(BookNode* node);
    void setText(BookNode* node, std::string_view text);

    ChildList roots() const { return base() ? top()->children() : ChildList(); }
    BookNode* first() const { return base() ? top()->child(0) : nullptr; }
    bool empty() const { return m_state.count == 0; }
    std::size_t count() const { return m_state.count; }
    void clear();

    // Pre-order successor: children first, then the next sibling of the nearest ancestor.
    BookNode* next(const BookNode* node) const;
    BookNode* nextSibling(const BookNode* node) const;
    bool isInSubtree(const BookNode* node, const BookNode* top) const;

    // The bytes all trees' ranges hold in nodes, lists, texts and slots (for benchmarks: the
    // ranges are no part of the heap that malloc reports).
    static std::size_t bytesHeldByAllTrees();

  private:
    BookNode* top() const { return BookNode::numbered(base(), 0); }
    // A node in no list, with the empty text: a free one, or the next number.
    BookNode* takeNode();
    BookNode* allocate(std::string_view text);
    void release(BookNode* node);
    std::uint32_t storeText(std::string_view text);
    BookNode* listOf(BookNode* parent);
    static BookNode* listHolding(const BookNode* node) { return node->numbered(node->m_parent); }
    void makeRoom(BookNode* list);
    // Puts a node that is in no list last in list.
    void appendChild(BookNode* list, BookNode* node);
    std::uint32_t takeListSpace(std::size_t count);
    std::uint32_t* listAt(std::uint32_t offset) const {
        return reinterpret_cast<std::uint32_t*>(base() + tree_range::ListsAt()) + offset;
    }
    void attach(BookNode* parent, size_t pos, BookNode* node);
    // Sets the index of every child of list from position from on.
    static void renumber(BookNode* list, std::size_t from);
    void detach(BookNode* node);

    // Everything the tree holds, so that a move takes it whole and leaves a fresh one behind.
    struct State {
        struct GiveBack {
            void operator()(char* base) const;
        };
        std::unique_ptr<char, GiveBack> range; // made with the first node
        std::size_t count = 0;
        std::uint32_t nodesTaken = 0; // node numbers, the top's included
        std::vector<std::uint32_t> freeNodes;
        // Child lists are spans of the lists part, each with room for its count rounded up to a
        // power of two. A full list doubles in place when it is the one taken last, so that a
        // tree built in order (a load) packs its lists without gaps; any other list moves to a
        // span twice its size, and the old span stays unused until the tree is cleared.
        std::size_t listTaken = 0;
        // A changed text takes new space; the old stays unused until the tree is cleared. Edits
        // are few next to the texts a load brings.
        std::size_t textTaken = 0;
        std::size_t sourceSize = 0;    // the source bytes follow the empty text
        std::size_t sourceWritten = 0; // where the next text read in place goes
        // While loading: the children of the open lists one after another, and each open list
        // with where its children start there.
        std::vector<std::uint32_t> loadChildren;
        std::vector<std::pair<std::uint32_t, std::uint32_t>> loadLists;
        std::uint32_t loadedLast = 0;
    };
    char* base() const { return m_state.range.get(); }
    void hold(std::size_t bytes);
    // After a load in place: the texts stand one after another, and the rest of the source bytes
    // is given back.
    void giveBackSourceBytes();
    State m_state;
};

} // namespace kp

// The book tree: an ordered forest of text nodes that holds a whole book in memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

namespace kp {

class BookTree;

// A node's text is stored after its length: one byte below 255, else four bytes and a 255.
inline constexpr unsigned char kLongTextMark = 255;
inline constexpr char kNoText[2] = {0, 0}; // the empty text, after its length

// One node: a Windows-1252 text, ordered children and a reference slot. Nodes live in their
// tree's pool and are created, moved and deleted only through BookTree. A node is 32 bytes and
// makes no allocation of its own: a book of a million nodes must not cost a million mallocs.
class BookNode {
  public:
    std::string_view text() const {
        const auto length = static_cast<unsigned char>(m_text[-1]);
        if (length != kLongTextMark)
            return {m_text, length};
        std::uint32_t longLength = 0;
        std::memcpy(&longLength, m_text - 5, sizeof longLength);
        return {m_text, longLength};
    }
    // Case-sensitive byte comparison of the text's beginning; a shorter text does not match.
    bool startsWith(std::string_view key) const { return text().substr(0, key.size()) == key; }

    BookNode* parent() const { return m_parent; } // none for a root
    int level() const;
    int index() const { return m_index; }
    int childCount() const { return static_cast<int>(m_childCount); }
    bool hasChildren() const { return m_childCount != 0; }
    BookNode* child(int i) const {
        return i >= 0 && i < childCount() ? m_children[static_cast<size_t>(i)] : nullptr;
    }
    // Valid until the node's children change.
    std::span<BookNode* const> children() const { return {m_children, m_childCount}; }

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
    BookNode() = default;

    // Few nodes carry a reference or a tag (a view's lines, a book's accounts), so the slots are
    // kept beside the nodes: a chunk of nodes starts at a multiple of kChunkAlign with a header
    // that points to its table of slots, made when the chunk's first slot is taken.
    union Slot {
        BookNode* reference = nullptr;
        std::uint32_t tag;
    };
    struct ChunkHeader {
        Slot* slotTable;
        std::size_t capacity; // nodes, the header's place included
        void* padding[2];
    };
    static constexpr std::uintptr_t kChunkAlign = 128 * 1024;
    ChunkHeader& header() const {
        return *reinterpret_cast<ChunkHeader*>(reinterpret_cast<std::uintptr_t>(this) &
                                               ~(kChunkAlign - 1));
    }
    std::size_t place() const {
        return (reinterpret_cast<std::uintptr_t>(this) & (kChunkAlign - 1)) / sizeof(BookNode);
    }
    const Slot* slotOf() const {
        const ChunkHeader& h = header();
        return h.slotTable ? &h.slotTable[place()] : nullptr;
    }
    Slot& takeSlot();

    const char* m_text = kNoText + 1;
    BookNode* m_parent = nullptr;
    // The children: a span of the tree's list store with room for at least the count rounded up
    // to a power of two.
    BookNode** m_children = nullptr;
    std::int32_t m_index = 0;
    std::uint32_t m_childCount = 0;
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

    std::span<BookNode* const> roots() const { return m_state.top.children(); }
    BookNode* first() const { return m_state.top.child(0); }
    bool empty() const { return !m_state.top.hasChildren(); }
    std::size_t count() const { return m_state.count; }
    void clear();

    // Pre-order successor: children first, then the next sibling of the nearest ancestor.
    BookNode* next(const BookNode* node) const;
    BookNode* nextSibling(const BookNode* node) const;
    bool isInSubtree(const BookNode* node, const BookNode* top) const;

  private:
    BookNode* allocate(std::string_view text);
    void release(BookNode* node);
    const char* storeText(std::string_view text);
    BookNode* listOf(BookNode* parent) { return parent ? parent : &m_state.top; }
    BookNode* listHolding(const BookNode* node) const;
    void makeRoom(BookNode* list);
    BookNode** takeListSpace(std::size_t count);
    void attach(BookNode* parent, size_t pos, BookNode* node);
    // Sets the index of every child of list from position from on.
    static void renumber(BookNode* list, std::size_t from);
    void detach(BookNode* node);

    // Everything the tree holds, so that a move takes it whole and leaves a fresh one behind.
    struct State {
        // Holds the roots as its children; a root's parent is none all the same.
        BookNode top;
        std::size_t count = 0;

        // Nodes come from chunks (see BookNode::ChunkHeader); deleted nodes go to a free list.
        struct FreeChunk {
            void operator()(BookNode* chunk) const;
        };
        std::vector<std::unique_ptr<BookNode, FreeChunk>> nodeChunks;
        std::size_t nodesUsedInChunk = 0;
        std::vector<BookNode*> freeNodes;

        // Child lists are spans of large chunks, each with room for its count rounded up to a power
        // of two. A full list doubles in place when it is the one taken last and its chunk has
        // room, so that a tree built in order (a load) packs its lists without gaps; any other list
        // moves to a span twice its size, and the old span is given back when the tree is cleared.
        // A list too long for a chunk has a block of its own, freed when the list moves.
        std::vector<std::unique_ptr<BookNode*[]>> listChunks;
        BookNode** listFree = nullptr;
        BookNode** listEnd = nullptr;
        std::size_t listChunkSize = 0;
        std::vector<std::unique_ptr<BookNode*[]>> longLists;

        // Texts are packed into large blocks; a changed text takes new space and the old space is
        // given back when the tree is cleared. Edits are few next to the texts a load brings.
        std::vector<std::unique_ptr<char[]>> textBlocks;
        char* textFree = nullptr; // in the current block
        char* textEnd = nullptr;
        std::size_t textBlockSize = 0;
    };
    State m_state;
};

} // namespace kp

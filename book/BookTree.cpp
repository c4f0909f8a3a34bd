// The book tree: node pool, child lists, text storage and the structural operations.
#include "book/BookTree.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

namespace kp {
namespace {
// Nodes come in chunks of one aligned block each (see BookNode::ChunkHeader); a chunk's pages
// that no node has reached cost nothing. Other storage grows in steps so that a small tree (a
// view, a fuzz input) stays small and a large book needs few allocations.
constexpr std::size_t kNodeChunk = 4096;
constexpr std::size_t kFirstListChunk = 64;
constexpr std::size_t kMaxListChunk = 64 * 1024;
constexpr std::size_t kFirstTextBlock = 4096;
constexpr std::size_t kMaxTextBlock = 256 * 1024;
} // namespace

static_assert(sizeof(BookNode) <= 32, "a node stays small: books hold millions of them");

BookNode::Slot& BookNode::takeSlot() {
    static_assert(sizeof(ChunkHeader) == sizeof(BookNode));
    static_assert(kNodeChunk * sizeof(BookNode) <= kChunkAlign);
    ChunkHeader& h = header();
    if (!h.slotTable)
        h.slotTable = new Slot[h.capacity]();
    return h.slotTable[place()];
}

void BookTree::State::FreeChunk::operator()(BookNode* chunk) const {
    auto* header = reinterpret_cast<BookNode::ChunkHeader*>(chunk);
    delete[] header->slotTable;
    ::operator delete (static_cast<void*>(chunk), std::align_val_t{BookNode::kChunkAlign});
}

int BookNode::level() const {
    int level = 0;
    for (const BookNode* p = m_parent; p; p = p->m_parent)
        ++level;
    return level;
}

BookTree::BookTree() = default;
BookTree::~BookTree() = default;
BookTree::BookTree(BookTree&& other) noexcept : m_state(std::exchange(other.m_state, {})) {}

BookTree& BookTree::operator=(BookTree&& other) noexcept {
    if (this != &other)
        m_state = std::exchange(other.m_state, {});
    return *this;
}

const char* BookTree::storeText(std::string_view text) {
    if (text.empty())
        return kNoText + 1;
    // The length goes before the text (see kLongTextMark).
    const bool longText = text.size() >= kLongTextMark;
    const std::size_t need = text.size() + (longText ? 5 : 1);
    char* space = m_state.textFree;
    if (need <= static_cast<std::size_t>(m_state.textEnd - m_state.textFree)) {
        m_state.textFree += need;
    } else if (need > kMaxTextBlock / 4) {
        // A long text gets a block of its own, inserted before the current one so that the
        // current block keeps filling.
        std::unique_ptr<char[]> block(new char[need]);
        space = block.get();
        m_state.textBlocks.insert(m_state.textBlocks.empty() ? m_state.textBlocks.end()
                                                             : m_state.textBlocks.end() - 1,
                                  std::move(block));
    } else {
        m_state.textBlockSize = m_state.textBlockSize == 0
                                    ? kFirstTextBlock
                                    : std::min(m_state.textBlockSize * 2, kMaxTextBlock);
        while (m_state.textBlockSize < need)
            m_state.textBlockSize *= 2;
        m_state.textBlocks.emplace_back(new char[m_state.textBlockSize]);
        space = m_state.textBlocks.back().get();
        m_state.textFree = space + need;
        m_state.textEnd = space + m_state.textBlockSize;
    }
    if (longText) {
        const auto length = static_cast<std::uint32_t>(text.size());
        std::memcpy(space, &length, sizeof length);
        space += sizeof length;
        *space++ = static_cast<char>(kLongTextMark);
    } else {
        *space++ = static_cast<char>(text.size());
    }
    std::memcpy(space, text.data(), text.size());
    return space;
}

BookNode** BookTree::takeListSpace(std::size_t count) {
    if (count > kMaxListChunk / 4) {
        m_state.longLists.emplace_back(new BookNode*[count]);
        return m_state.longLists.back().get();
    }
    if (static_cast<std::size_t>(m_state.listEnd - m_state.listFree) < count) {
        m_state.listChunkSize = m_state.listChunkSize == 0
                                    ? kFirstListChunk
                                    : std::min(m_state.listChunkSize * 2, kMaxListChunk);
        m_state.listChunks.emplace_back(new BookNode*[m_state.listChunkSize]);
        m_state.listFree = m_state.listChunks.back().get();
        m_state.listEnd = m_state.listFree + m_state.listChunkSize;
    }
    BookNode** space = m_state.listFree;
    m_state.listFree += count;
    return space;
}

void BookTree::makeRoom(BookNode* list) {
    const std::uint32_t count = list->m_childCount;
    if ((count & (count - 1)) != 0)
        return; // the span has room up to the next power of two
    // A full list taken last doubles in place while its chunk has room.
    if (count != 0 && list->m_children + count == m_state.listFree &&
        static_cast<std::size_t>(m_state.listEnd - m_state.listFree) >= count) {
        m_state.listFree += count;
        return;
    }
    BookNode** space = takeListSpace(count == 0 ? 1 : std::size_t{count} * 2);
    if (count)
        std::memcpy(space, list->m_children, count * sizeof(BookNode*));
    if (count >= kMaxListChunk / 8) {
        // A long list's old block is not needed any more.
        const auto it =
            std::find_if(m_state.longLists.begin(), m_state.longLists.end(),
                         [&](const auto& block) { return block.get() == list->m_children; });
        if (it != m_state.longLists.end())
            m_state.longLists.erase(it);
    }
    list->m_children = space;
}

BookNode* BookTree::allocate(std::string_view text) {
    BookNode* node = nullptr;
    if (!m_state.freeNodes.empty()) {
        node = m_state.freeNodes.back();
        m_state.freeNodes.pop_back();
    } else {
        if (m_state.nodeChunks.empty() || m_state.nodesUsedInChunk == kNodeChunk) {
            // The first place holds the chunk's header; nodes are made as they are taken.
            void* space = ::operator new (kNodeChunk * sizeof(BookNode),
                                          std::align_val_t{BookNode::kChunkAlign});
            new (space) BookNode::ChunkHeader{nullptr, kNodeChunk, {}};
            m_state.nodeChunks.emplace_back(static_cast<BookNode*>(space));
            m_state.nodesUsedInChunk = 1;
        }
        node = new (m_state.nodeChunks.back().get() + m_state.nodesUsedInChunk++) BookNode;
    }
    node->m_text = storeText(text);
    ++m_state.count;
    return node;
}

void BookTree::release(BookNode* top) {
    // Iterative, so that a deeply nested tree cannot exhaust the stack.
    std::vector<BookNode*> pending{top};
    while (!pending.empty()) {
        BookNode* node = pending.back();
        pending.pop_back();
        pending.insert(pending.end(), node->m_children, node->m_children + node->m_childCount);
        // An emptied list has no room left: its span is given back when the tree is cleared.
        node->m_children = nullptr;
        node->m_childCount = 0;
        node->m_text = kNoText + 1;
        node->m_index = 0;
        node->m_parent = nullptr;
        if (BookNode::ChunkHeader& h = node->header(); h.slotTable)
            h.slotTable[node->place()].reference = nullptr;
        m_state.freeNodes.push_back(node);
        --m_state.count;
    }
}

BookNode* BookTree::listHolding(const BookNode* node) const {
    return node->m_parent ? node->m_parent : const_cast<BookNode*>(&m_state.top);
}

void BookTree::renumber(BookNode* list, std::size_t from) {
    for (std::size_t i = from; i < list->m_childCount; ++i)
        list->m_children[i]->m_index = static_cast<std::int32_t>(i);
}

void BookTree::attach(BookNode* parent, size_t pos, BookNode* node) {
    BookNode* list = listOf(parent);
    makeRoom(list);
    BookNode** at = list->m_children + pos;
    std::memmove(at + 1, at, (list->m_childCount - pos) * sizeof(BookNode*));
    *at = node;
    ++list->m_childCount;
    node->m_parent = parent;
    renumber(list, pos);
}

void BookTree::detach(BookNode* node) {
    BookNode* list = listHolding(node);
    const auto pos = static_cast<size_t>(node->m_index);
    BookNode** at = list->m_children + pos;
    std::memmove(at, at + 1, (list->m_childCount - pos - 1) * sizeof(BookNode*));
    --list->m_childCount;
    renumber(list, pos);
    node->m_parent = nullptr;
}

BookNode* BookTree::addLast(BookNode* parent, std::string_view text) {
    BookNode* node = allocate(text);
    BookNode* list = listOf(parent);
    if ((list->m_childCount & (list->m_childCount - 1)) == 0) // full: 0, 1, 2, 4, 8 …
        makeRoom(list);
    node->m_parent = parent;
    node->m_index = static_cast<std::int32_t>(list->m_childCount);
    list->m_children[list->m_childCount++] = node;
    return node;
}

BookNode* BookTree::addFirst(BookNode* parent, std::string_view text) {
    BookNode* node = allocate(text);
    attach(parent, 0, node);
    return node;
}

BookNode* BookTree::insertBefore(BookNode* sibling, std::string_view text) {
    if (!sibling)
        return addLast(nullptr, text);
    BookNode* node = allocate(text);
    attach(sibling->m_parent, static_cast<size_t>(sibling->m_index), node);
    return node;
}

bool BookTree::isInSubtree(const BookNode* node, const BookNode* top) const {
    for (const BookNode* p = node; p; p = p->m_parent)
        if (p == top)
            return true;
    return false;
}

void BookTree::moveToLastChild(BookNode* node, BookNode* newParent) {
    if (!node || (newParent && isInSubtree(newParent, node)))
        return;
    detach(node);
    attach(newParent, listOf(newParent)->m_childCount, node);
}

void BookTree::moveBefore(BookNode* node, BookNode* target) {
    if (!node || !target || isInSubtree(target, node))
        return;
    detach(node);
    attach(target->m_parent, static_cast<size_t>(target->m_index), node);
}

void BookTree::remove(BookNode* node) {
    if (!node)
        return;
    detach(node);
    release(node);
}

void BookTree::removeChildren(BookNode* node) {
    if (!node)
        return;
    const std::vector<BookNode*> children(node->m_children, node->m_children + node->m_childCount);
    node->m_childCount = 0;
    for (BookNode* child : children)
        release(child);
}

void BookTree::setText(BookNode* node, std::string_view text) {
    if (!node || node->text() == text)
        return;
    node->m_text = storeText(text);
}

void BookTree::clear() {
    m_state = {};
}

BookNode* BookTree::next(const BookNode* node) const {
    if (!node)
        return nullptr;
    if (node->hasChildren())
        return node->m_children[0];
    for (const BookNode* p = node; p; p = p->m_parent)
        if (BookNode* sibling = nextSibling(p))
            return sibling;
    return nullptr;
}

BookNode* BookTree::nextSibling(const BookNode* node) const {
    if (!node)
        return nullptr;
    return listHolding(node)->child(node->m_index + 1);
}

} // namespace kp

// The book tree: node pool, child lists, text storage and the structural operations.
#include "book/BookTree.h"

#include <algorithm>
#include <cstring>

namespace kp {
namespace {
// Storage grows in steps so that a small tree (a view, a fuzz input) stays small and a large
// book needs few allocations.
constexpr std::size_t kFirstNodeChunk = 64;
constexpr std::size_t kMaxNodeChunk = 4096;
constexpr std::size_t kFirstListChunk = 64;
constexpr std::size_t kMaxListChunk = 64 * 1024;
constexpr std::size_t kFirstTextBlock = 4096;
constexpr std::size_t kMaxTextBlock = 256 * 1024;

void Renumber(BookNode** list, std::size_t from, std::size_t count, auto setIndex) {
    for (std::size_t i = from; i < count; ++i)
        setIndex(list[i], static_cast<std::int32_t>(i));
}
} // namespace

static_assert(sizeof(BookNode) <= 40, "a node stays small: books hold millions of them");

int BookNode::level() const {
    int level = 0;
    for (const BookNode* p = m_parent; p; p = p->m_parent)
        ++level;
    return level;
}

BookTree::BookTree() = default;
BookTree::~BookTree() = default;
BookTree::BookTree(BookTree&& other) noexcept {
    *this = std::move(other);
}

BookTree& BookTree::operator=(BookTree&& other) noexcept {
    if (this == &other)
        return *this;
    m_top = other.m_top;
    m_count = other.m_count;
    m_nodeChunks = std::move(other.m_nodeChunks);
    m_nodesUsedInChunk = other.m_nodesUsedInChunk;
    m_nodeChunkSize = other.m_nodeChunkSize;
    m_freeNodes = std::move(other.m_freeNodes);
    m_listChunks = std::move(other.m_listChunks);
    m_listFree = other.m_listFree;
    m_listEnd = other.m_listEnd;
    m_listChunkSize = other.m_listChunkSize;
    m_longLists = std::move(other.m_longLists);
    m_textBlocks = std::move(other.m_textBlocks);
    m_textFree = other.m_textFree;
    m_textEnd = other.m_textEnd;
    m_textBlockSize = other.m_textBlockSize;
    // The other tree is left empty and usable; its storage now belongs to this one.
    other.m_top = BookNode();
    other.m_count = 0;
    other.m_nodeChunks.clear();
    other.m_freeNodes.clear();
    other.m_listChunks.clear();
    other.m_longLists.clear();
    other.m_textBlocks.clear();
    other.resetStorage();
    return *this;
}

void BookTree::resetStorage() {
    m_nodesUsedInChunk = 0;
    m_nodeChunkSize = 0;
    m_listFree = nullptr;
    m_listEnd = nullptr;
    m_listChunkSize = 0;
    m_textFree = nullptr;
    m_textEnd = nullptr;
    m_textBlockSize = 0;
}

const char* BookTree::storeText(std::string_view text) {
    if (text.empty())
        return kNoText + 1;
    // The length goes before the text (see kLongTextMark).
    const bool longText = text.size() >= kLongTextMark;
    const std::size_t need = text.size() + (longText ? 5 : 1);
    char* space = m_textFree;
    if (need <= static_cast<std::size_t>(m_textEnd - m_textFree)) {
        m_textFree += need;
    } else if (need > kMaxTextBlock / 4) {
        // A long text gets a block of its own, inserted before the current one so that the
        // current block keeps filling.
        std::unique_ptr<char[]> block(new char[need]);
        space = block.get();
        m_textBlocks.insert(m_textBlocks.empty() ? m_textBlocks.end() : m_textBlocks.end() - 1,
                            std::move(block));
    } else {
        m_textBlockSize =
            m_textBlockSize == 0 ? kFirstTextBlock : std::min(m_textBlockSize * 2, kMaxTextBlock);
        while (m_textBlockSize < need)
            m_textBlockSize *= 2;
        m_textBlocks.emplace_back(new char[m_textBlockSize]);
        space = m_textBlocks.back().get();
        m_textFree = space + need;
        m_textEnd = space + m_textBlockSize;
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

BookNode** BookTree::takeListSpace(std::size_t slots) {
    if (slots > kMaxListChunk / 4) {
        m_longLists.emplace_back(new BookNode*[slots]);
        return m_longLists.back().get();
    }
    if (static_cast<std::size_t>(m_listEnd - m_listFree) < slots) {
        m_listChunkSize =
            m_listChunkSize == 0 ? kFirstListChunk : std::min(m_listChunkSize * 2, kMaxListChunk);
        m_listChunks.emplace_back(new BookNode*[m_listChunkSize]);
        m_listFree = m_listChunks.back().get();
        m_listEnd = m_listFree + m_listChunkSize;
    }
    BookNode** space = m_listFree;
    m_listFree += slots;
    return space;
}

void BookTree::makeRoom(BookNode* list) {
    const std::uint32_t count = list->m_childCount;
    if ((count & (count - 1)) != 0)
        return; // the span has room up to the next power of two
    // A full list taken last doubles in place while its chunk has room.
    if (count != 0 && list->m_children + count == m_listFree &&
        static_cast<std::size_t>(m_listEnd - m_listFree) >= count) {
        m_listFree += count;
        return;
    }
    BookNode** space = takeListSpace(count == 0 ? 1 : std::size_t{count} * 2);
    if (count)
        std::memcpy(space, list->m_children, count * sizeof(BookNode*));
    if (count >= kMaxListChunk / 8) {
        // A long list's old block is not needed any more.
        const auto it =
            std::find_if(m_longLists.begin(), m_longLists.end(),
                         [&](const auto& block) { return block.get() == list->m_children; });
        if (it != m_longLists.end())
            m_longLists.erase(it);
    }
    list->m_children = space;
}

BookNode* BookTree::allocate(std::string_view text) {
    BookNode* node = nullptr;
    if (!m_freeNodes.empty()) {
        node = m_freeNodes.back();
        m_freeNodes.pop_back();
    } else {
        if (m_nodeChunks.empty() || m_nodesUsedInChunk == m_nodeChunkSize) {
            m_nodeChunkSize = m_nodeChunkSize == 0 ? kFirstNodeChunk
                                                   : std::min(m_nodeChunkSize * 2, kMaxNodeChunk);
            m_nodeChunks.push_back(std::make_unique<BookNode[]>(m_nodeChunkSize));
            m_nodesUsedInChunk = 0;
        }
        node = &m_nodeChunks.back()[m_nodesUsedInChunk++];
    }
    node->m_text = storeText(text);
    ++m_count;
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
        node->m_slot.reference = nullptr;
        m_freeNodes.push_back(node);
        --m_count;
    }
}

BookNode* BookTree::listHolding(const BookNode* node) const {
    return node->m_parent ? node->m_parent : const_cast<BookNode*>(&m_top);
}

void BookTree::attach(BookNode* parent, size_t pos, BookNode* node) {
    BookNode* list = listOf(parent);
    makeRoom(list);
    BookNode** at = list->m_children + pos;
    std::memmove(at + 1, at, (list->m_childCount - pos) * sizeof(BookNode*));
    *at = node;
    ++list->m_childCount;
    node->m_parent = parent;
    Renumber(list->m_children, pos, list->m_childCount,
             [](BookNode* n, std::int32_t i) { n->m_index = i; });
}

void BookTree::detach(BookNode* node) {
    BookNode* list = listHolding(node);
    const auto pos = static_cast<size_t>(node->m_index);
    BookNode** at = list->m_children + pos;
    std::memmove(at, at + 1, (list->m_childCount - pos - 1) * sizeof(BookNode*));
    --list->m_childCount;
    Renumber(list->m_children, pos, list->m_childCount,
             [](BookNode* n, std::int32_t i) { n->m_index = i; });
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
    m_top = BookNode();
    m_count = 0;
    m_nodeChunks.clear();
    m_freeNodes.clear();
    m_listChunks.clear();
    m_longLists.clear();
    m_textBlocks.clear();
    resetStorage();
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

// The book tree: node pool, text storage and the structural operations.
#include "book/BookTree.h"

#include <algorithm>
#include <cstring>

namespace kp {
namespace {
// Storage grows in steps so that a small tree (a view, a fuzz input) stays small and a large
// book needs few allocations.
constexpr std::size_t kFirstNodeChunk = 64;
constexpr std::size_t kMaxNodeChunk = 4096;
constexpr std::size_t kFirstTextBlock = 4096;
constexpr std::size_t kMaxTextBlock = 256 * 1024;
} // namespace

int BookNode::level() const {
    int level = 0;
    for (const BookNode* p = m_parent; p; p = p->m_parent)
        ++level;
    return level;
}

BookTree::BookTree() = default;
BookTree::~BookTree() = default;
BookTree::BookTree(BookTree&&) noexcept = default;
BookTree& BookTree::operator=(BookTree&&) noexcept = default;

const char* BookTree::storeText(std::string_view text) {
    if (text.empty())
        return "";
    if (text.size() > kMaxTextBlock / 4) {
        // A long text gets a block of its own, inserted before the current one so that the
        // current block keeps filling.
        std::unique_ptr<char[]> block(new char[text.size()]);
        std::memcpy(block.get(), text.data(), text.size());
        const char* stored = block.get();
        m_textBlocks.insert(m_textBlocks.empty() ? m_textBlocks.end() : m_textBlocks.end() - 1,
                            std::move(block));
        return stored;
    }
    if (m_textBlocks.empty() || m_textUsedInBlock + text.size() > m_textBlockSize) {
        m_textBlockSize =
            m_textBlockSize == 0 ? kFirstTextBlock : std::min(m_textBlockSize * 2, kMaxTextBlock);
        while (m_textBlockSize < text.size())
            m_textBlockSize *= 2;
        m_textBlocks.emplace_back(new char[m_textBlockSize]);
        m_textUsedInBlock = 0;
    }
    char* stored = m_textBlocks.back().get() + m_textUsedInBlock;
    std::memcpy(stored, text.data(), text.size());
    m_textUsedInBlock += text.size();
    return stored;
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
    node->m_length = static_cast<std::uint32_t>(text.size());
    ++m_count;
    return node;
}

void BookTree::release(BookNode* top) {
    // Iterative, so that a deeply nested tree cannot exhaust the stack.
    std::vector<BookNode*> pending{top};
    while (!pending.empty()) {
        BookNode* node = pending.back();
        pending.pop_back();
        pending.insert(pending.end(), node->m_children.begin(), node->m_children.end());
        std::vector<BookNode*>().swap(node->m_children);
        node->m_text = "";
        node->m_length = 0;
        node->m_index = 0;
        node->m_parent = nullptr;
        node->m_reference = nullptr;
        node->m_tag = 0;
        m_freeNodes.push_back(node);
        --m_count;
    }
}

std::vector<BookNode*>& BookTree::siblingsOf(BookNode* node) {
    return node->m_parent ? node->m_parent->m_children : m_roots;
}

void BookTree::attach(std::vector<BookNode*>& siblings, size_t pos, BookNode* node,
                      BookNode* parent) {
    node->m_parent = parent;
    siblings.insert(siblings.begin() + static_cast<std::ptrdiff_t>(pos), node);
    for (size_t i = pos; i < siblings.size(); ++i)
        siblings[i]->m_index = static_cast<std::int32_t>(i);
}

void BookTree::detach(BookNode* node) {
    auto& siblings = siblingsOf(node);
    const auto pos = static_cast<size_t>(node->m_index);
    siblings.erase(siblings.begin() + static_cast<std::ptrdiff_t>(pos));
    for (size_t i = pos; i < siblings.size(); ++i)
        siblings[i]->m_index = static_cast<std::int32_t>(i);
    node->m_parent = nullptr;
}

BookNode* BookTree::addLast(BookNode* parent, std::string_view text) {
    BookNode* node = allocate(text);
    auto& siblings = parent ? parent->m_children : m_roots;
    node->m_parent = parent;
    node->m_index = static_cast<std::int32_t>(siblings.size());
    siblings.push_back(node);
    return node;
}

BookNode* BookTree::addFirst(BookNode* parent, std::string_view text) {
    BookNode* node = allocate(text);
    attach(parent ? parent->m_children : m_roots, 0, node, parent);
    return node;
}

BookNode* BookTree::insertBefore(BookNode* sibling, std::string_view text) {
    if (!sibling)
        return addLast(nullptr, text);
    BookNode* node = allocate(text);
    attach(siblingsOf(sibling), static_cast<size_t>(sibling->m_index), node, sibling->m_parent);
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
    auto& siblings = newParent ? newParent->m_children : m_roots;
    attach(siblings, siblings.size(), node, newParent);
}

void BookTree::moveBefore(BookNode* node, BookNode* target) {
    if (!node || !target || isInSubtree(target, node))
        return;
    detach(node);
    attach(siblingsOf(target), static_cast<size_t>(target->m_index), node, target->m_parent);
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
    std::vector<BookNode*> children;
    children.swap(node->m_children);
    for (BookNode* child : children)
        release(child);
}

void BookTree::setText(BookNode* node, std::string_view text) {
    if (!node || node->text() == text)
        return;
    node->m_text = storeText(text);
    node->m_length = static_cast<std::uint32_t>(text.size());
}

void BookTree::clear() {
    m_roots.clear();
    m_count = 0;
    m_nodeChunks.clear();
    m_nodesUsedInChunk = 0;
    m_nodeChunkSize = 0;
    m_freeNodes.clear();
    m_textBlocks.clear();
    m_textUsedInBlock = 0;
    m_textBlockSize = 0;
}

BookNode* BookTree::next(const BookNode* node) const {
    if (!node)
        return nullptr;
    if (node->hasChildren())
        return node->m_children.front();
    for (const BookNode* p = node; p; p = p->m_parent)
        if (BookNode* sibling = nextSibling(p))
            return sibling;
    return nullptr;
}

BookNode* BookTree::nextSibling(const BookNode* node) const {
    if (!node)
        return nullptr;
    const auto& siblings = node->m_parent ? node->m_parent->m_children : m_roots;
    const auto i = static_cast<size_t>(node->m_index) + 1;
    return i < siblings.size() ? siblings[i] : nullptr;
}

} // namespace kp

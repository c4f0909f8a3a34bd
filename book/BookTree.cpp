// The book tree: its address range, node numbers, child lists, texts and the structural
// operations.
#include "book/BookTree.h"

#include "book/PlainArray.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <mutex>
#include <new>
#include <sys/mman.h>
#include <sys/resource.h>
#include <utility>
#include <vector>

namespace kp {
namespace {
using namespace tree_range;

static_assert(sizeof(BookNode) == 20, "a node stays small: books hold millions of them");
static_assert(alignof(BookNode) == 4);

std::uintptr_t PartStart(Part part) {
    const std::uintptr_t start[] = {kNodes, SlotsAt(), ListsAt(), TextsAt()};
    return start[part];
}
std::uintptr_t PartEnd(Part part) {
    return part == Texts ? Size() : PartStart(static_cast<Part>(part + 1));
}
constexpr std::size_t kPage = 4096;
// A part is made usable in steps that grow with it, so that a small tree (a view, a fuzz input)
// touches a few pages and a large book needs few system calls.
constexpr std::size_t kLargestStep = 4 << 20;

// Ranges of small trees given back, kept for the next trees: making and giving back a range
// costs several system calls and page faults, and a program may make many small trees (a
// generator makes one per voucher). Large ranges are given back to the system at once.
constexpr std::size_t kKeptRanges = 8;
constexpr std::size_t kLargestKeptRange = 1 << 20; // bytes usable in all parts together
std::mutex g_keptMutex;
std::vector<char*> g_kept;
// The ranges of the live trees, for BookTree::bytesHeldByAllTrees (guarded by g_keptMutex).
std::vector<const char*> g_live;

char* TakeKeptRange() {
    const std::lock_guard lock(g_keptMutex);
    if (g_kept.empty())
        return nullptr;
    char* base = g_kept.back();
    g_kept.pop_back();
    return base;
}

// Keeps a small range for the next tree or gives it back. A kept range keeps its usable pages;
// only its slots must read as none again.
void GiveBackRange(char* base) {
    auto& header = *reinterpret_cast<Header*>(base);
    std::size_t usable = 0;
    for (const std::size_t bytes : header.committed)
        usable += bytes;
    if (usable <= kLargestKeptRange) {
        const std::lock_guard lock(g_keptMutex);
        if (g_kept.size() < kKeptRanges) {
            std::memset(base + SlotsAt(), 0, header.committed[Slots]);
            header.held = 0;
            g_kept.push_back(base);
            return;
        }
    }
    munmap(base, Size());
}

// Reserves a range at a multiple of its size: twice the size is mapped without access and the
// ends beyond the aligned range are given back. Pages are made usable part by part (UsePart).
char* ReserveRange() {
    if (char* kept = TakeKeptRange())
        return kept;
    // Each live tree holds a range of address space (not of memory). Where the address space is
    // limited (ulimit -v), ranges are made smaller, so that several trees fit with room to spare:
    // a book then has less room, but small books open as before.
    static const bool sized = [] {
        struct rlimit limit {};
        if (getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
            g_size = std::clamp<std::uintptr_t>(std::bit_floor(limit.rlim_cur / 16),
                                                std::uintptr_t{16} << 20, g_size);
        return true;
    }();
    (void)sized;
    void* space =
        mmap(nullptr, 2 * Size(), PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (space == MAP_FAILED)
        throw std::bad_alloc();
    const auto start = reinterpret_cast<std::uintptr_t>(space);
    const std::uintptr_t aligned = (start + Size() - 1) & ~(Size() - 1);
    if (aligned > start)
        munmap(space, aligned - start);
    if (const std::uintptr_t tail = start + 2 * Size() - (aligned + Size()); tail > 0)
        munmap(reinterpret_cast<void*>(aligned + Size()), tail);
    char* base = reinterpret_cast<char*>(aligned);
    if (mprotect(base, kPage, PROT_READ | PROT_WRITE) != 0) {
        munmap(base, Size());
        throw std::bad_alloc();
    }
    OfferHugePages(base, Size()); // without it the pages are small
    new (base) Header{};
    return base;
}

// Makes the first `bytes` of a part usable, where they are not yet (see UsePart).
std::size_t CommitPart(char* base, Part part, std::size_t bytes) {
    std::size_t& committed = reinterpret_cast<Header*>(base)->committed[part];
    if (bytes > PartEnd(part) - PartStart(part))
        throw std::bad_alloc();
    const std::size_t step = std::clamp(committed, std::size_t{16} * kPage, kLargestStep);
    const std::size_t want = std::max(bytes, committed + step);
    // A part that needs a whole huge page is made usable in whole ones, which the range offers
    // (ReserveRange). A smaller part (a view's slots) stays in small pages rather than hold a
    // huge one half empty.
    const std::size_t unit = want >= kHugePageBytes ? kHugePageBytes : kPage;
    const std::size_t target =
        std::min(((PartStart(part) + want + unit - 1) & ~(unit - 1)) - PartStart(part),
                 PartEnd(part) - PartStart(part));
    if (mprotect(base + PartStart(part) + committed, target - committed, PROT_READ | PROT_WRITE) !=
        0)
        throw std::bad_alloc();
    const std::size_t added = target - committed;
    committed = target;
    return added;
}

// Makes the first `bytes` of a part usable; beyond the part's end there is no room.
// Returns how many bytes were added. Almost every call finds them usable already.
inline std::size_t UsePart(char* base, Part part, std::size_t bytes) {
    if (bytes <= reinterpret_cast<const Header*>(base)->committed[part]) [[likely]]
        return 0;
    return CommitPart(base, part, bytes);
}

// Counts bytes a tree now holds. Only the tree's own thread counts, so the count needs no
// locked addition (one per node would cost more than the rest of adding it).
inline void Hold(char* base, std::size_t bytes) {
    std::atomic<std::size_t>& held = reinterpret_cast<Header*>(base)->held;
    held.store(held.load(std::memory_order_relaxed) + bytes, std::memory_order_relaxed);
}
inline void Unhold(char* base, std::size_t bytes) {
    std::atomic<std::size_t>& held = reinterpret_cast<Header*>(base)->held;
    held.store(held.load(std::memory_order_relaxed) - bytes, std::memory_order_relaxed);
}

} // namespace

BookNode::Slot& BookNode::takeSlot() {
    char* base = tree_range::Base(this);
    const std::size_t at = std::size_t{number()} * sizeof(Slot);
    Hold(base, UsePart(base, Slots, at + sizeof(Slot)));
    return *reinterpret_cast<Slot*>(base + SlotsAt() + at);
}

int BookNode::level() const {
    int level = 0;
    for (const BookNode* p = parent(); p; p = p->parent())
        ++level;
    return level;
}

void BookTree::State::GiveBack::operator()(char* base) const {
    {
        const std::lock_guard lock(g_keptMutex);
        if (const auto live = std::find(g_live.begin(), g_live.end(), base); live != g_live.end())
            g_live.erase(live);
    }
    GiveBackRange(base);
}

void BookTree::hold(std::size_t bytes) {
    Hold(base(), bytes);
}

std::size_t BookTree::bytesHeldByAllTrees() {
    const std::lock_guard lock(g_keptMutex);
    std::size_t bytes = 0;
    for (const char* base : g_live)
        bytes += reinterpret_cast<const Header*>(base)->held.load(std::memory_order_relaxed);
    return bytes;
}

BookTree::BookTree() = default;
BookTree::~BookTree() = default;
BookTree::BookTree(BookTree&& other) noexcept : m_state(std::exchange(other.m_state, {})) {}

BookTree& BookTree::operator=(BookTree&& other) noexcept {
    if (this != &other)
        m_state = std::exchange(other.m_state, {});
    return *this;
}

BookNode* BookTree::listOf(BookNode* parent) {
    if (parent)
        return parent;
    if (!m_state.range) {
        // The range opens with the top, number 0, and the empty text at offset 1 (its length
        // byte, 0, before it).
        char* base = ReserveRange();
        m_state.range.reset(base);
        {
            const std::lock_guard lock(g_keptMutex);
            g_live.push_back(base);
        }
        UsePart(base, Nodes, sizeof(BookNode));
        UsePart(base, Texts, 1);
        base[TextsAt()] = 0;
        new (base + kNodes) BookNode;
        m_state.nodesTaken = 1;
        m_state.textTaken = 1;
        // A kept range's slots are counted as a new one's are when they are taken.
        hold(kPage + sizeof(BookNode) + 1 +
             reinterpret_cast<const Header*>(base)->committed[Slots]);
    }
    return top();
}

std::uint32_t BookTree::storeText(std::string_view text) {
    if (text.empty())
        return 1;
    // The length goes before the text (see kLongTextMark).
    const bool longText = text.size() >= kLongTextMark;
    const std::size_t need = text.size() + (longText ? 5 : 1);
    UsePart(base(), Texts, m_state.textTaken + need);
    char* space = base() + TextsAt() + m_state.textTaken;
    m_state.textTaken += need;
    hold(need);
    if (longText) {
        const auto length = static_cast<std::uint32_t>(text.size());
        std::memcpy(space, &length, sizeof length);
        space += sizeof length;
        *space++ = static_cast<char>(kLongTextMark);
    } else {
        *space++ = static_cast<char>(text.size());
    }
    std::memcpy(space, text.data(), text.size());
    return static_cast<std::uint32_t>(space - (base() + TextsAt()));
}

std::uint32_t BookTree::takeListSpace(std::size_t count) {
    UsePart(base(), Lists, (m_state.listTaken + count) * sizeof(std::uint32_t));
    const auto offset = static_cast<std::uint32_t>(m_state.listTaken);
    m_state.listTaken += count;
    hold(count * sizeof(std::uint32_t));
    return offset;
}

void BookTree::makeRoom(BookNode* list) {
    const std::uint32_t count = list->m_childCount;
    if ((count & (count - 1)) != 0)
        return; // the span has room up to the next power of two
    // A full list taken last doubles in place.
    if (count != 0 && list->m_children + count == m_state.listTaken) {
        takeListSpace(count);
        return;
    }
    const std::uint32_t space = takeListSpace(count == 0 ? 1 : std::size_t{count} * 2);
    if (count)
        std::memcpy(listAt(space), listAt(list->m_children), count * sizeof(std::uint32_t));
    list->m_children = space;
}

inline BookNode* BookTree::takeNode() {
    BookNode* node = nullptr;
    if (!m_state.freeNodes.empty()) {
        node = BookNode::numbered(base(), m_state.freeNodes.back());
        m_state.freeNodes.pop_back();
    } else {
        const std::uint32_t number = m_state.nodesTaken;
        UsePart(base(), Nodes, (std::size_t{number} + 1) * sizeof(BookNode));
        node = new (BookNode::numbered(base(), number)) BookNode;
        ++m_state.nodesTaken;
        hold(sizeof(BookNode));
    }
    ++m_state.count;
    return node;
}

BookNode* BookTree::allocate(std::string_view text) {
    listOf(nullptr); // the range is made with the first node
    BookNode* node = takeNode();
    node->m_text = storeText(text);
    return node;
}

void BookTree::release(BookNode* top) {
    // Iterative, so that a deeply nested tree cannot exhaust the stack.
    std::vector<BookNode*> pending{top};
    while (!pending.empty()) {
        BookNode* node = pending.back();
        pending.pop_back();
        for (BookNode* child : node->children())
            pending.push_back(child);
        // An emptied list has no room left: its span stays unused until the tree is cleared.
        node->m_children = 0;
        node->m_childCount = 0;
        node->m_text = 1;
        node->m_index = 0;
        node->m_parent = 0;
        if (node->slotOf())
            node->takeSlot().reference = nullptr; // a slot taken already: no new pages
        m_state.freeNodes.push_back(node->number());
        --m_state.count;
    }
}

void BookTree::renumber(BookNode* list, std::size_t from) {
    const std::uint32_t* numbers = list->listStart();
    for (std::size_t i = from; i < list->m_childCount; ++i)
        list->numbered(numbers[i])->m_index = static_cast<std::int32_t>(i);
}

void BookTree::attach(BookNode* parent, size_t pos, BookNode* node) {
    BookNode* list = listOf(parent);
    makeRoom(list);
    std::uint32_t* at = listAt(list->m_children) + pos;
    std::memmove(at + 1, at, (list->m_childCount - pos) * sizeof(std::uint32_t));
    *at = node->number();
    ++list->m_childCount;
    node->m_parent = list->number();
    renumber(list, pos);
}

void BookTree::detach(BookNode* node) {
    BookNode* list = listHolding(node);
    const auto pos = static_cast<size_t>(node->m_index);
    std::uint32_t* at = listAt(list->m_children) + pos;
    std::memmove(at, at + 1, (list->m_childCount - pos - 1) * sizeof(std::uint32_t));
    --list->m_childCount;
    renumber(list, pos);
    node->m_parent = 0;
}

BookNode* BookTree::addLast(BookNode* parent, std::string_view text) {
    BookNode* node = allocate(text);
    appendChild(listOf(parent), node);
    return node;
}

void BookTree::appendChild(BookNode* list, BookNode* node) {
    const std::uint32_t count = list->m_childCount;
    if ((count & (count - 1)) == 0) // full: 0, 1, 2, 4, 8 …
        makeRoom(list);
    node->m_parent = list->number();
    node->m_index = static_cast<std::int32_t>(count);
    listAt(list->m_children)[count] = node->number();
    list->m_childCount = count + 1;
}

char* BookTree::takeSourceBytes(std::size_t size) {
    clear();
    listOf(nullptr);
    // After the empty text's length byte: a text that starts with the source has a byte before
    // it all the same.
    UsePart(base(), Texts, 1 + size);
    m_state.sourceSize = size;
    m_state.sourceWritten = 1;
    m_state.textTaken = 1 + size;
    hold(size);
    return base() + TextsAt() + 1;
}

BookNode* BookTree::loadNode(std::string_view text) {
    listOf(nullptr); // the range is made with the first node
    char* const texts = base() + TextsAt();
    // A load adds a million nodes this way, so each is made here at once, its text where it
    // stands when it can.
    BookNode* node = takeNode();
    if (text.empty() || text.size() >= kLongTextMark || text.data() <= texts + 1 ||
        text.data() + text.size() > texts + 1 + m_state.sourceSize) {
        node->m_text = storeText(text);
    } else {
        // Moved down to follow the text before it, over bytes that are read already: the load
        // then leaves no bytes between the texts.
        char* at = texts + m_state.sourceWritten;
        *at = static_cast<char>(text.size());
        std::memmove(at + 1, text.data(), text.size());
        node->m_text = static_cast<std::uint32_t>(m_state.sourceWritten + 1);
        m_state.sourceWritten += 1 + text.size();
    }
    m_state.loadedLast = node->number();
    if (m_state.loadLists.empty()) {
        appendChild(top(), node);
        return node;
    }
    const auto& [list, from] = m_state.loadLists.back();
    node->m_parent = list;
    node->m_index = static_cast<std::int32_t>(m_state.loadChildren.size() - from);
    m_state.loadChildren.push_back(node->number());
    return node;
}

void BookTree::openList() {
    m_state.loadLists.emplace_back(m_state.loadedLast,
                                   static_cast<std::uint32_t>(m_state.loadChildren.size()));
}

void BookTree::closeList() {
    if (m_state.loadLists.empty())
        return;
    const auto [number, from] = m_state.loadLists.back();
    m_state.loadLists.pop_back();
    const std::size_t count = m_state.loadChildren.size() - from;
    if (count == 0)
        return;
    // Room up to the next power of two, as every list has.
    BookNode* list = BookNode::numbered(base(), number);
    list->m_children = takeListSpace(std::bit_ceil(count));
    list->m_childCount = static_cast<std::uint32_t>(count);
    std::memcpy(listAt(list->m_children), m_state.loadChildren.data() + from,
                count * sizeof(std::uint32_t));
    m_state.loadChildren.resize(from);
}

void BookTree::finishLoad() {
    while (!m_state.loadLists.empty())
        closeList();
    if (m_state.sourceSize != 0)
        giveBackSourceBytes();
    // Given back: assigning {} would keep the room.
    std::vector<std::uint32_t>().swap(m_state.loadChildren);
    std::vector<std::pair<std::uint32_t, std::uint32_t>>().swap(m_state.loadLists);
}

void BookTree::giveBackSourceBytes() {
    // The texts copied during the load follow the source bytes: they move down to follow the
    // texts written in place, and the bytes after them are given back.
    const std::size_t sourceEnd = 1 + m_state.sourceSize;
    const std::size_t gap = sourceEnd - m_state.sourceWritten;
    const std::size_t copied = m_state.textTaken - sourceEnd;
    char* texts = base() + TextsAt();
    if (copied != 0) {
        std::memmove(texts + m_state.sourceWritten, texts + sourceEnd, copied);
        for (std::uint32_t number = 1; number < m_state.nodesTaken; ++number) {
            BookNode* node = BookNode::numbered(base(), number);
            if (node->m_text >= sourceEnd)
                node->m_text -= static_cast<std::uint32_t>(gap);
        }
    }
    m_state.textTaken -= gap;
    m_state.sourceSize = 0;
    const auto pageAfter = [&](std::size_t offset) {
        return (TextsAt() + offset + kPage - 1) & ~(kPage - 1);
    };
    const std::size_t from = pageAfter(m_state.textTaken);
    const std::size_t to = pageAfter(m_state.textTaken + gap);
    if (to > from)
        madvise(base() + from, to - from, MADV_DONTNEED);
    Unhold(base(), gap);
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
    attach(sibling->parent(), static_cast<size_t>(sibling->m_index), node);
    return node;
}

bool BookTree::isInSubtree(const BookNode* node, const BookNode* top) const {
    for (const BookNode* p = node; p; p = p->parent())
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
    attach(target->parent(), static_cast<size_t>(target->m_index), node);
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
    const ChildList list = node->children();
    const std::vector<BookNode*> children(list.begin(), list.end());
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
        return node->child(0);
    for (const BookNode* p = node; p; p = p->parent())
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

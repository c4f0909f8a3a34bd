// Undo and redo of the open book through snapshot differences.
#include "app/UndoHistory.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace kp {
namespace {

void PutCount(std::string& out, std::size_t value) {
    while (value >= 0x80) {
        out.push_back(static_cast<char>((value & 0x7F) | 0x80));
        value >>= 7;
    }
    out.push_back(static_cast<char>(value));
}

bool GetCount(std::string_view bytes, std::size_t& at, std::size_t& value) {
    value = 0;
    for (int shift = 0; shift < 64 && at < bytes.size(); shift += 7) {
        const auto byte = static_cast<unsigned char>(bytes[at++]);
        value |= static_cast<std::size_t>(byte & 0x7F) << shift;
        if ((byte & 0x80) == 0)
            return true;
    }
    return false;
}

// Length of the common beginning. Whole blocks first, compared by memcmp, which is vectorised;
// a large book differs in few places.
std::size_t CommonPrefix(const char* a, const char* b, std::size_t n) {
    constexpr std::size_t kBlock = 4096;
    std::size_t i = 0;
    while (i + kBlock <= n && std::memcmp(a + i, b + i, kBlock) == 0)
        i += kBlock;
    while (i < n && a[i] == b[i])
        ++i;
    return i;
}

// Length of the common end of a[0..n) and b[0..n) seen from their last bytes.
std::size_t CommonSuffix(const char* aEnd, const char* bEnd, std::size_t n) {
    constexpr std::size_t kBlock = 4096;
    std::size_t i = 0;
    while (i + kBlock <= n && std::memcmp(aEnd - i - kBlock, bEnd - i - kBlock, kBlock) == 0)
        i += kBlock;
    while (i < n &&
           aEnd[-1 - static_cast<std::ptrdiff_t>(i)] == bEnd[-1 - static_cast<std::ptrdiff_t>(i)])
        ++i;
    return i;
}

} // namespace

void SnapshotBook(const BookTree& book, std::string& out) {
    out.clear();
    for (const BookNode* root : book.roots()) {
        // Pre-order through the parent links, without recursion: a deep tree from a damaged
        // file must not exhaust the stack.
        const BookNode* node = root;
        while (node) {
            const std::string_view text = node->text();
            PutCount(out, text.size() + 1);
            out.append(text);
            if (node->hasChildren()) {
                node = node->child(0);
                continue;
            }
            out.push_back('\0');
            while (node != root && !node->parent()->child(node->index() + 1)) {
                node = node->parent();
                out.push_back('\0');
            }
            node = node == root ? nullptr : node->parent()->child(node->index() + 1);
        }
    }
}

bool RestoreSnapshot(std::string_view bytes, BookTree& book) {
    BookTree tree;
    std::vector<BookNode*> open; // the nodes whose children are being read
    std::size_t at = 0;
    while (at < bytes.size()) {
        if (bytes[at] == '\0') {
            if (open.empty())
                return false;
            open.pop_back();
            ++at;
            continue;
        }
        std::size_t count = 0;
        if (!GetCount(bytes, at, count) || count - 1 > bytes.size() - at)
            return false;
        BookNode* node =
            tree.addLast(open.empty() ? nullptr : open.back(), bytes.substr(at, count - 1));
        at += count - 1;
        open.push_back(node);
    }
    if (!open.empty())
        return false;
    book = std::move(tree);
    return true;
}

void UndoHistory::reset(const BookTree& book, bool saved) {
    std::string snapshot;
    SnapshotBook(book, snapshot);
    reset(std::move(snapshot), saved);
}

void UndoHistory::reset(std::string snapshot, bool saved) {
    m_current = std::move(snapshot);
    m_steps.clear();
    m_position = 0;
    m_bytes = 0;
    m_saved = saved ? 0 : -1;
}

bool UndoHistory::record(const BookTree& book, std::string label) {
    SnapshotBook(book, m_scratch);
    const std::string& was = m_current;
    const std::string& now = m_scratch;
    const std::size_t shorter = std::min(was.size(), now.size());
    const std::size_t prefix = CommonPrefix(was.data(), now.data(), shorter);
    if (prefix == was.size() && prefix == now.size())
        return false;
    const std::size_t suffix =
        CommonSuffix(was.data() + was.size(), now.data() + now.size(), shorter - prefix);

    // A new change ends the line of undone steps; the saved state may go with them.
    while (m_steps.size() > m_position) {
        m_bytes -= m_steps.back().bytes();
        m_steps.pop_back();
    }
    if (m_saved > static_cast<std::ptrdiff_t>(m_position))
        m_saved = -1;

    Step step;
    step.label = std::move(label);
    step.offset = prefix;
    step.before = was.substr(prefix, was.size() - prefix - suffix);
    step.after = now.substr(prefix, now.size() - prefix - suffix);
    m_bytes += step.bytes();
    m_steps.push_back(std::move(step));
    ++m_position;
    std::swap(m_current, m_scratch);
    while (m_steps.size() > 1 &&
           (m_steps.size() > m_limits.maxSteps || m_bytes > m_limits.maxBytes))
        dropOldest();
    return true;
}

void UndoHistory::dropOldest() {
    m_bytes -= m_steps.front().bytes();
    m_steps.pop_front();
    --m_position;
    // The saved state was before the oldest step: no step leads back to it any more.
    m_saved = m_saved > 0 ? m_saved - 1 : -1;
}

std::string_view UndoHistory::undoLabel() const {
    return canUndo() ? std::string_view(m_steps[m_position - 1].label) : std::string_view();
}

std::string_view UndoHistory::redoLabel() const {
    return canRedo() ? std::string_view(m_steps[m_position].label) : std::string_view();
}

bool UndoHistory::apply(BookTree& book, const Step& step, const std::string& from,
                        const std::string& to) {
    m_scratch = m_current;
    m_scratch.replace(step.offset, from.size(), to);
    if (!RestoreSnapshot(m_scratch, book))
        return false;
    std::swap(m_current, m_scratch);
    return true;
}

bool UndoHistory::undo(BookTree& book) {
    if (!canUndo())
        return false;
    const Step& step = m_steps[m_position - 1];
    if (!apply(book, step, step.after, step.before))
        return false;
    --m_position;
    return true;
}

bool UndoHistory::redo(BookTree& book) {
    if (!canRedo())
        return false;
    const Step& step = m_steps[m_position];
    if (!apply(book, step, step.before, step.after))
        return false;
    ++m_position;
    return true;
}

} // namespace kp

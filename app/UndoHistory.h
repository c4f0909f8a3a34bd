// Undo and redo of every change of the open book, kept as byte differences of a whole-book
// snapshot so that no command needs inverse code of its own.
#pragma once

#include "book/BookTree.h"

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>

namespace kp {

// The whole forest as bytes: each node is the LEB128 count (text length + 1), the text as it is
// (any bytes), its children, then a 0 byte; the roots follow one another. A closing byte rather
// than a child count keeps the bytes of a change where the change is: a voucher appended to the
// journal alters only the bytes where it goes in.
void SnapshotBook(const BookTree& book, std::string& out);
// The forest a snapshot holds; false (and the tree left as it was) when the bytes are no
// snapshot.
bool RestoreSnapshot(std::string_view bytes, BookTree& book);

// The changes of the open book, oldest first. Each step holds the bytes of the snapshot that
// differ before and after it (between the common beginning and end), so a voucher posted to a
// large book costs a few hundred bytes. The snapshot of the book as it is now is kept whole.
class UndoHistory {
  public:
    struct Limits {
        std::size_t maxSteps = 1000;
        // The differences kept, all steps together; the oldest go first. The newest step stays
        // even when it alone is larger.
        std::size_t maxBytes = 64u << 20;
    };

    UndoHistory() : UndoHistory(Limits{}) {}
    explicit UndoHistory(Limits limits) : m_limits(limits) {}

    // Forgets every step: the book as it is now is where undoing stops (a book opened, a new
    // fiscal year or company). saved: the book is as its file holds it.
    void reset(const BookTree& book, bool saved);
    // The same with the book's snapshot already taken (SnapshotBook).
    void reset(std::string snapshot, bool saved);
    // The book has changed since the last record: the change becomes one step under the label
    // (Windows-1252), and the steps that were undone are gone. False when the book is byte for
    // byte as it was.
    bool record(const BookTree& book, std::string label);

    bool canUndo() const { return m_position > 0; }
    bool canRedo() const { return m_position < m_steps.size(); }
    // What undo or redo would do; empty when there is nothing.
    std::string_view undoLabel() const;
    std::string_view redoLabel() const;
    // Rebuilds the book as it was before the last step done, or after the next step undone;
    // every node of the book is new afterwards. False when there was nothing to do.
    bool undo(BookTree& book);
    bool redo(BookTree& book);

    // The book as it is now has been written to its file.
    void markSaved() { m_saved = static_cast<std::ptrdiff_t>(m_position); }
    // The book is as it was when last saved or opened.
    bool atSaved() const { return m_saved == static_cast<std::ptrdiff_t>(m_position); }

    std::size_t stepCount() const { return m_steps.size(); }
    // The differences held by all steps, in bytes.
    std::size_t storedBytes() const { return m_bytes; }
    // The snapshot of the book as it is now, in bytes (about the size of its file).
    std::size_t snapshotBytes() const { return m_current.size(); }
    // The snapshot itself: what a recovery copy is made of.
    const std::string& snapshot() const { return m_current; }

  private:
    struct Step {
        std::string label;
        std::size_t offset = 0; // where the differing bytes start
        std::string before;     // the bytes there before the step
        std::string after;      // and after it
        std::size_t bytes() const { return label.size() + before.size() + after.size(); }
    };

    // Replaces `from` by `to` at the step's offset of the current snapshot and rebuilds the book.
    bool apply(BookTree& book, const Step& step, const std::string& from, const std::string& to);
    void dropOldest();

    Limits m_limits;
    std::string m_current; // the snapshot of the book as it is now
    std::string m_scratch; // the next snapshot, kept to reuse its memory
    std::deque<Step> m_steps;
    std::size_t m_position = 0; // steps done; those after it were undone
    std::size_t m_bytes = 0;
    std::ptrdiff_t m_saved = 0; // the position the file holds; -1 when no position does
};

} // namespace kp

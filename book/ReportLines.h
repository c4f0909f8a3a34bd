// Report lines: the text lines of a statement page, fields separated by TAB.
#pragma once

#include "book/FileIo.h"
#include "book/PlainArray.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <iterator>
#include <new>
#include <ostream>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

namespace kp {

// On the ledger page and the journal printout the first character may be a style marker; on the
// statement and VAT pages leading blanks indent a line (drawn by the renderers).
inline constexpr char kBoldMarker = '\x02';
inline constexpr char kBoldUnderlineMarker = '\x1F';

// The lines of one page, packed into one buffer: a ledger of a large book has hundreds of
// thousands of lines, and a string object per line would cost more than the text itself.
class ReportLines {
  public:
    class const_iterator {
      public:
        using iterator_category = std::random_access_iterator_tag;
        using value_type = std::string_view;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = std::string_view;

        const_iterator() = default;
        const_iterator(const ReportLines* lines, std::size_t i)
            : m_lines(lines), m_i(i), m_start(lines->lineStart(i)) {}
        // A step to the next or the previous line moves by the line's length; a jump finds its
        // line's start anew.
        std::string_view operator*() const {
            return {m_lines->m_bytes.data() + m_start, m_lines->lineLength(m_i)};
        }
        std::string_view operator[](difference_type n) const {
            return (*m_lines)[m_i + static_cast<std::size_t>(n)];
        }
        const_iterator& operator++() {
            m_start += m_lines->lineLength(m_i++);
            return *this;
        }
        const_iterator operator++(int) {
            const_iterator was = *this;
            ++*this;
            return was;
        }
        const_iterator& operator--() {
            m_start -= m_lines->lineLength(--m_i);
            return *this;
        }
        const_iterator operator--(int) {
            const_iterator was = *this;
            --*this;
            return was;
        }
        const_iterator& operator+=(difference_type n) {
            m_i = static_cast<std::size_t>(static_cast<difference_type>(m_i) + n);
            m_start = m_lines->lineStart(m_i);
            return *this;
        }
        const_iterator& operator-=(difference_type n) { return *this += -n; }
        friend const_iterator operator+(const_iterator it, difference_type n) { return it += n; }
        friend const_iterator operator+(difference_type n, const_iterator it) { return it += n; }
        friend const_iterator operator-(const_iterator it, difference_type n) { return it -= n; }
        friend difference_type operator-(const const_iterator& a, const const_iterator& b) {
            return static_cast<difference_type>(a.m_i) - static_cast<difference_type>(b.m_i);
        }
        friend bool operator==(const const_iterator& a, const const_iterator& b) {
            return a.m_i == b.m_i;
        }
        friend bool operator!=(const const_iterator& a, const const_iterator& b) {
            return a.m_i != b.m_i;
        }
        friend bool operator<(const const_iterator& a, const const_iterator& b) {
            return a.m_i < b.m_i;
        }
        friend bool operator>(const const_iterator& a, const const_iterator& b) { return b < a; }
        friend bool operator<=(const const_iterator& a, const const_iterator& b) {
            return !(b < a);
        }
        friend bool operator>=(const const_iterator& a, const const_iterator& b) {
            return !(a < b);
        }

      private:
        const ReportLines* m_lines = nullptr;
        std::size_t m_i = 0;
        std::size_t m_start = 0; // where line m_i starts
    };
    using iterator = const_iterator;
    using value_type = std::string_view;
    using size_type = std::size_t;

    ReportLines() = default;
    ReportLines(std::initializer_list<std::string_view> lines) {
        for (std::string_view line : lines)
            push_back(line);
    }
    ReportLines(const_iterator first, const_iterator last) {
        for (; first != last; ++first)
            push_back(*first);
    }

    // Lines kept; lines passed on to a sink are not counted.
    std::size_t size() const { return m_lengths.size(); }
    bool empty() const { return m_lengths.empty(); }
    std::string_view operator[](std::size_t i) const {
        return {m_bytes.data() + lineStart(i), lineLength(i)};
    }
    std::string_view front() const { return (*this)[0]; }
    std::string_view back() const { return (*this)[size() - 1]; }
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

    // From now on every line goes on to the sink as it comes, followed by CR LF, instead of being
    // kept: a long page written to a file is never held whole. None keeps lines again.
    void passTo(ByteSink* sink) { m_sink = sink; }

    void push_back(std::string_view line) {
        if (m_sink) {
            *m_sink << line << "\r\n";
            return;
        }
        m_bytes.append(line.data(), line.size());
        endLine();
    }
    void emplace_back(std::string_view line = {}) { push_back(line); }
    // A line made in place from its pieces, without a string of its own: the pieces one by
    // one, then endLine.
    void addToLine(std::string_view piece) {
        if (m_sink) {
            *m_sink << piece;
            return;
        }
        m_bytes.append(piece.data(), piece.size());
    }
    void endLine() {
        if (m_sink) {
            *m_sink << "\r\n";
            return;
        }
        const std::size_t line = size();
        if (line % kBlock == 0)
            m_blockStarts.push_back(m_end);
        const auto length = static_cast<std::uint32_t>(m_bytes.size() - m_end);
        if (length < kLong) {
            m_lengths.push_back(static_cast<std::uint8_t>(length));
        } else {
            m_lengths.push_back(kLong);
            m_long.push_back({static_cast<std::uint32_t>(line), length});
        }
        m_end = static_cast<std::uint32_t>(m_bytes.size());
    }
    void append(const ReportLines& other) {
        for (std::string_view line : other)
            push_back(line);
    }
    // Replaces one line (a retitled report): the lines after it move.
    void set(std::size_t i, std::string_view line) {
        const std::size_t start = lineStart(i);
        const std::size_t end = start + lineLength(i);
        PlainArray<char> bytes;
        bytes.reserve(m_bytes.size() - (end - start) + line.size());
        bytes.append(m_bytes.data(), start);
        bytes.append(line.data(), line.size());
        bytes.append(m_bytes.data() + end, m_bytes.size() - end);
        m_bytes = std::move(bytes);
        const auto moved =
            static_cast<std::int64_t>(line.size()) - static_cast<std::int64_t>(end - start);
        for (std::size_t b = i / kBlock + 1; b < m_blockStarts.size(); ++b)
            m_blockStarts[b] = static_cast<std::uint32_t>(m_blockStarts[b] + moved);
        m_end = static_cast<std::uint32_t>(m_end + moved);
        // The line's length, and its entry among the long ones.
        const auto at = m_long.begin() + static_cast<std::ptrdiff_t>(longAt(i));
        const bool wasLong = at != m_long.end() && at->line == i;
        if (line.size() < kLong) {
            m_lengths[i] = static_cast<std::uint8_t>(line.size());
            if (wasLong)
                m_long.erase(at);
        } else {
            m_lengths[i] = kLong;
            const LongLine entry{static_cast<std::uint32_t>(i),
                                 static_cast<std::uint32_t>(line.size())};
            if (wasLong)
                *at = entry;
            else
                m_long.insert(at, entry);
        }
    }
    void reserve(std::size_t lines, std::size_t bytes = 0) {
        if (m_sink)
            return;
        m_lengths.reserve(lines);
        m_blockStarts.reserve(lines / kBlock + 1);
        m_bytes.reserve(bytes ? bytes : lines * 40);
    }
    // Gives back what a reserve took beyond the lines made: a page built with a generous guess
    // then holds only its lines.
    void trim() {
        m_lengths.trim();
        m_blockStarts.trim();
        m_bytes.trim();
        m_long.shrink_to_fit();
    }
    void clear() {
        m_lengths.clear();
        m_blockStarts.clear();
        m_long.clear();
        m_bytes.clear();
        m_end = 0;
    }
    std::size_t byteSize() const { return m_bytes.size(); }

    friend bool operator==(const ReportLines& a, const ReportLines& b) {
        return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin());
    }
    friend bool operator!=(const ReportLines& a, const ReportLines& b) { return !(a == b); }
    // Test failures show the lines one per row.
    friend void PrintTo(const ReportLines& lines, std::ostream* os) {
        *os << "{\n";
        for (std::string_view line : lines)
            *os << "  \"" << line << "\"\n";
        *os << "}";
    }

  private:
    // A line costs a byte besides its text: its length, or kLong for one of kLong bytes or more,
    // whose length is kept in m_long. Where every kBlock-th line starts is kept, so that a line
    // is found by adding the lengths of at most kBlock - 1 lines before it.
    static constexpr std::uint8_t kLong = 255;
    static constexpr std::size_t kBlock = 32;
    struct LongLine {
        std::uint32_t line;
        std::uint32_t length;
    };
    // Where line i's entry among the long lines is, or would go.
    std::size_t longAt(std::size_t i) const {
        return static_cast<std::size_t>(
            std::lower_bound(m_long.begin(), m_long.end(), i,
                             [](const LongLine& l, std::size_t n) { return l.line < n; }) -
            m_long.begin());
    }
    std::size_t lineLength(std::size_t i) const {
        const std::uint8_t length = m_lengths[i];
        return length != kLong ? length : m_long[longAt(i)].length;
    }
    std::size_t lineStart(std::size_t i) const {
        if (i >= size())
            return m_end;
        std::size_t start = m_blockStarts[i / kBlock];
        for (std::size_t j = i - i % kBlock; j < i; ++j)
            start += lineLength(j);
        return start;
    }

    PlainArray<char> m_bytes;
    PlainArray<std::uint8_t> m_lengths;
    PlainArray<std::uint32_t> m_blockStarts;
    std::vector<LongLine> m_long; // in line order
    std::uint32_t m_end = 0;      // of the last line: a line being made starts here
    ByteSink* m_sink = nullptr;
};

} // namespace kp

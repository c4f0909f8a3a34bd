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
        const_iterator(const ReportLines* lines, std::size_t i) : m_lines(lines), m_i(i) {}
        std::string_view operator*() const { return (*m_lines)[m_i]; }
        std::string_view operator[](difference_type n) const {
            return (*m_lines)[m_i + static_cast<std::size_t>(n)];
        }
        const_iterator& operator++() { return ++m_i, *this; }
        const_iterator operator++(int) { return {m_lines, m_i++}; }
        const_iterator& operator--() { return --m_i, *this; }
        const_iterator operator--(int) { return {m_lines, m_i--}; }
        const_iterator& operator+=(difference_type n) {
            m_i = static_cast<std::size_t>(static_cast<difference_type>(m_i) + n);
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
    std::size_t size() const { return m_ends.size(); }
    bool empty() const { return m_ends.empty(); }
    std::string_view operator[](std::size_t i) const {
        const std::uint32_t start = i ? m_ends[i - 1] : 0;
        return {m_bytes.data() + start, m_ends[i] - start};
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
        m_ends.push_back(static_cast<std::uint32_t>(m_bytes.size()));
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
        m_ends.push_back(static_cast<std::uint32_t>(m_bytes.size()));
    }
    void append(const ReportLines& other) {
        for (std::string_view line : other)
            push_back(line);
    }
    // Replaces one line (a retitled report): the lines after it move.
    void set(std::size_t i, std::string_view line) {
        const std::uint32_t start = i ? m_ends[i - 1] : 0;
        PlainArray<char> bytes;
        bytes.reserve(m_bytes.size() - (m_ends[i] - start) + line.size());
        bytes.append(m_bytes.data(), start);
        bytes.append(line.data(), line.size());
        bytes.append(m_bytes.data() + m_ends[i], m_bytes.size() - m_ends[i]);
        const auto moved = static_cast<std::int64_t>(start + line.size()) - m_ends[i];
        for (std::size_t j = i; j < m_ends.size(); ++j)
            m_ends[j] = static_cast<std::uint32_t>(m_ends[j] + moved);
        m_bytes = std::move(bytes);
    }
    void reserve(std::size_t lines, std::size_t bytes = 0) {
        if (m_sink)
            return;
        m_ends.reserve(lines);
        m_bytes.reserve(bytes ? bytes : lines * 40);
    }
    // Gives back what a reserve took beyond the lines made: a page built with a generous guess
    // then holds only its lines.
    void trim() {
        m_ends.trim();
        m_bytes.trim();
    }
    void clear() {
        m_ends.clear();
        m_bytes.clear();
    }
    std::size_t byteSize() const { return m_bytes.size(); }

    friend bool operator==(const ReportLines& a, const ReportLines& b) {
        if (a.size() != b.size())
            return false;
        for (std::size_t i = 0; i < a.size(); ++i)
            if (a[i] != b[i])
                return false;
        return true;
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
    // Line i is the bytes from the end of line i - 1 (or the start) to its own end: a line
    // costs four bytes besides its text.
    PlainArray<char> m_bytes;
    PlainArray<std::uint32_t> m_ends;
    ByteSink* m_sink = nullptr;
};

} // namespace kp

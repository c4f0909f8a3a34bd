// Report lines: the text lines of a statement page, fields separated by TAB.
#pragma once

#include "book/FileIo.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
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

// A growing array of plain values in one block of malloc's. It grows with realloc, which moves a
// large block by remapping its pages rather than copying them, so a page of unknown length
// needs no generous reserve: what it holds is what it uses (see ReportLines::trim).
template <class T> class PlainArray {
    static_assert(std::is_trivially_copyable_v<T>);

  public:
    PlainArray() = default;
    PlainArray(const PlainArray& other) { append(other.data(), other.size()); }
    PlainArray(PlainArray&& other) noexcept
        : m_data(std::exchange(other.m_data, nullptr)), m_size(std::exchange(other.m_size, 0)),
          m_capacity(std::exchange(other.m_capacity, 0)) {}
    PlainArray& operator=(PlainArray other) noexcept {
        std::swap(m_data, other.m_data);
        std::swap(m_size, other.m_size);
        std::swap(m_capacity, other.m_capacity);
        return *this;
    }
    ~PlainArray() { std::free(m_data); }

    const T* data() const { return m_data; }
    std::size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    const T& operator[](std::size_t i) const { return m_data[i]; }
    T& operator[](std::size_t i) { return m_data[i]; }

    void append(const T* values, std::size_t count) {
        if (count > m_capacity - m_size) {
            // The values may be this array's own (a line appended again): they move with it.
            const std::less<const T*> before;
            const bool own = !before(values, m_data) && before(values, m_data + m_size);
            const std::size_t at = own ? static_cast<std::size_t>(values - m_data) : 0;
            resize(std::max(m_size + count, m_capacity * 2));
            if (own)
                values = m_data + at;
        }
        if (count)
            std::memcpy(m_data + m_size, values, count * sizeof(T));
        m_size += count;
    }
    void push_back(const T& value) { append(&value, 1); }
    void reserve(std::size_t capacity) {
        if (capacity > m_capacity)
            resize(capacity);
    }
    // Gives back the room beyond what is used.
    void trim() {
        if (m_capacity > m_size)
            resize(m_size);
    }
    void clear() { m_size = 0; }

  private:
    void resize(std::size_t capacity) {
        if (capacity == 0) {
            std::free(m_data);
            m_data = nullptr;
        } else {
            void* moved = std::realloc(m_data, capacity * sizeof(T));
            if (!moved)
                throw std::bad_alloc();
            m_data = static_cast<T*>(moved);
        }
        m_capacity = capacity;
    }

    T* m_data = nullptr;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
};

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
    std::size_t size() const { return m_spans.size(); }
    bool empty() const { return m_spans.empty(); }
    std::string_view operator[](std::size_t i) const {
        return {m_bytes.data() + m_spans[i].offset, m_spans[i].length};
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
        m_spans.push_back(
            {static_cast<std::uint32_t>(m_bytes.size()), static_cast<std::uint32_t>(line.size())});
        m_bytes.append(line.data(), line.size());
    }
    void emplace_back(std::string_view line = {}) { push_back(line); }
    // A line made in place from its pieces, without a string of its own: the pieces one by
    // one, then endLine.
    void addToLine(std::string_view piece) {
        if (m_sink) {
            *m_sink << piece;
            return;
        }
        if (!m_lineOpen) {
            m_lineStart = m_bytes.size();
            m_lineOpen = true;
        }
        m_bytes.append(piece.data(), piece.size());
    }
    void endLine() {
        if (m_sink) {
            *m_sink << "\r\n";
            return;
        }
        const std::size_t start = m_lineOpen ? m_lineStart : m_bytes.size();
        m_spans.push_back({static_cast<std::uint32_t>(start),
                           static_cast<std::uint32_t>(m_bytes.size() - start)});
        m_lineOpen = false;
    }
    void append(const ReportLines& other) {
        for (std::string_view line : other)
            push_back(line);
    }
    // Replaces one line (a retitled report); the old bytes stay unused until the next clear.
    void set(std::size_t i, std::string_view line) {
        m_spans[i] = {static_cast<std::uint32_t>(m_bytes.size()),
                      static_cast<std::uint32_t>(line.size())};
        m_bytes.append(line.data(), line.size());
    }
    void reserve(std::size_t lines, std::size_t bytes = 0) {
        if (m_sink)
            return;
        m_spans.reserve(lines);
        m_bytes.reserve(bytes ? bytes : lines * 40);
    }
    // Gives back what a reserve took beyond the lines made: a page built with a generous guess
    // then holds only its lines.
    void trim() {
        m_spans.trim();
        m_bytes.trim();
    }
    void clear() {
        m_spans.clear();
        m_bytes.clear();
        m_lineOpen = false;
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
    struct Span {
        std::uint32_t offset;
        std::uint32_t length;
    };
    PlainArray<char> m_bytes;
    PlainArray<Span> m_spans;
    std::size_t m_lineStart = 0; // of the line being made, while one is open
    bool m_lineOpen = false;
    ByteSink* m_sink = nullptr;
};

} // namespace kp

// PlainArray: a growing array of trivially copyable values.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <new>
#include <type_traits>
#include <utility>

namespace kp {

// Offers the whole 2 MiB pages inside a block to the kernel as huge pages, where it takes them:
// a large block (a page of report lines, a tree's range) is then written with one page fault
// per 2 MiB instead of 512. Only the pages not yet touched change; the block stays its owner's.
void OfferHugePages(void* block, std::size_t bytes);
inline constexpr std::size_t kHugePageBytes = std::size_t{2} << 20;

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
    const T* begin() const { return m_data; }
    const T* end() const { return m_data + m_size; }

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
            if (capacity * sizeof(T) >= 2 * kHugePageBytes)
                OfferHugePages(m_data, capacity * sizeof(T));
        }
        m_capacity = capacity;
    }

    T* m_data = nullptr;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
};

} // namespace kp

// Whole-file reading and crash-safe replacing writes.
#pragma once

#include "book/FileResult.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace kp {

bool ReadWholeFile(const std::string& fileName, std::string& data);
// Reads a regular file of its present size into the space place(size) gives; got says how many
// bytes came. False when the file cannot be read, is empty or no regular file, or had grown (the
// bytes read are then not known to be whole): the caller reads it with ReadWholeFile instead.
bool ReadFileInPlace(const std::string& fileName, const std::function<char*(std::size_t)>& place,
                     std::size_t& got);

// Bytes written in order, either kept whole in a string or passed on a piece at a time (to a
// file), so that a long page or journal is written without ever being held whole. After a
// failed piece the rest is dropped and ok() stays false.
class ByteSink {
  public:
    using Drain = std::function<bool(std::string_view)>;
    explicit ByteSink(std::string& into) : m_bytes(into) {}
    ByteSink(std::string& buffer, Drain drain) : m_bytes(buffer), m_drain(std::move(drain)) {}

    ByteSink& operator<<(std::string_view bytes) {
        if (m_drain && bytes.size() >= kPiece) { // a large piece goes on as it is, uncopied
            drain();
            m_ok = m_ok && m_drain(bytes);
            return *this;
        }
        m_bytes.append(bytes);
        if (m_drain && m_bytes.size() >= kPiece)
            drain();
        return *this;
    }
    ByteSink& operator<<(char c) {
        m_bytes.push_back(c);
        if (m_drain && m_bytes.size() >= kPiece)
            drain();
        return *this;
    }
    // Passes on what is still held; false when any piece failed.
    bool finish() {
        if (m_drain)
            drain();
        return m_ok;
    }
    // Stops the bytes: what the sink's file would hold is wrong or incomplete.
    void fail() { m_ok = false; }

  private:
    static constexpr std::size_t kPiece = std::size_t{1} << 20;
    void drain() {
        m_ok = m_ok && m_drain(m_bytes);
        m_bytes.clear();
    }
    std::string& m_bytes;
    Drain m_drain;
    bool m_ok = true;
};

// Writes a file's bytes into the sink it is given.
using ByteSource = std::function<void(ByteSink&)>;

// Runs the source, passing its bytes on to drain a piece at a time; false when a piece failed.
bool WriteInPieces(const ByteSource& source, const ByteSink::Drain& drain);

// Checks a written copy before it replaces the target: given the copy's file name, an empty
// result lets the save go on, anything else is the reason it stops.
using WriteCheck = std::function<std::string(const std::string& copyName)>;

// Writes the bytes to a temporary file in the target's folder, checks it and renames it over the
// target, so that a failed or interrupted save never leaves a truncated book; on failure the old
// file stays as it was and the temporary file is removed. A symbolic link is followed and its
// target replaced; a file with other hard links is rewritten in place after the check, so that
// every name keeps showing the same content; a read-only file is refused. Targets that are not
// regular files (/dev/null, a pipe, /dev/stdout) are written directly, without a check. On
// failure the message says why, in Finnish, with the system's own words where it gave them.
FileResult WriteFileReplacing(const std::string& fileName, std::string_view data,
                              const WriteCheck& check = {});
// The same, with the bytes made while they are written.
FileResult WriteFileReplacing(const std::string& fileName, const ByteSource& source,
                              const WriteCheck& check = {});

} // namespace kp

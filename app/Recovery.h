// Recovery copies of a book with unsaved changes: where they lie, when they are written, and the
// thread that writes them so that the window never waits.
#pragma once

#include "book/FileResult.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace kp {

// The user's state folder: $XDG_STATE_HOME, else ~/.local/state; empty when neither is known.
std::filesystem::path UserStateFolder();
// kirjanpito/palautus in the state folder.
std::filesystem::path RecoveryFolder(const std::filesystem::path& stateFolder);

// The copy of a book: "kirja-<tag of its absolute path>.tlk" in the book's own format, or
// "nimeton.tlk" for a book without a file name. Beside it "<copy>.kirja" holds the book's
// absolute path (empty for a book without a name).
std::filesystem::path RecoveryFileFor(const std::filesystem::path& folder,
                                      const std::string& bookFile);

struct RecoveryCopy {
    std::filesystem::path file;
    std::string bookFile;    // absolute; empty for a book without a name
    std::string writtenText; // "8.12.2026 klo 14.03"
};

// The copy of the book when it was written after the book's file was (or there is no file).
std::optional<RecoveryCopy> FindRecovery(const std::filesystem::path& folder,
                                         const std::string& bookFile);
// The book held by an undo snapshot, written as the book's copy.
FileResult WriteRecovery(const std::filesystem::path& folder, const std::string& bookFile,
                         std::string_view snapshot);
void RemoveRecovery(const std::filesystem::path& folder, const std::string& bookFile);

// When a copy is due: at once after a posted voucher, otherwise at most once in kInterval, and
// only when the book changed since the last copy.
class RecoveryScheduler {
  public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::seconds kInterval{30};

    // `changes` grows with every change of the book. True when a copy is to be written now; the
    // write is then counted as done.
    bool due(std::uint64_t changes, bool posted, Clock::time_point now);
    // The book as it is now needs no copy (opened, saved).
    void settled(std::uint64_t changes) { m_written = changes; }

  private:
    std::uint64_t m_written = 0;
    std::optional<Clock::time_point> m_lastWrite;
};

// One thread that writes and removes the copies in the order asked; a write still waiting is
// replaced by a newer one of the same book. The destructor finishes what was asked.
class RecoveryWriter {
  public:
    explicit RecoveryWriter(std::filesystem::path folder);
    ~RecoveryWriter();
    RecoveryWriter(const RecoveryWriter&) = delete;
    RecoveryWriter& operator=(const RecoveryWriter&) = delete;

    const std::filesystem::path& folder() const { return m_folder; }
    void write(std::string bookFile, std::string snapshot);
    void remove(std::string bookFile);
    // Until everything asked has been done.
    void wait();

  private:
    struct Job {
        std::string bookFile;
        std::optional<std::string> snapshot; // none: remove
    };
    void run();

    std::filesystem::path m_folder;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::deque<Job> m_jobs;
    bool m_busy = false;
    bool m_stop = false;
    std::thread m_thread;
};

} // namespace kp

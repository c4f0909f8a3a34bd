// Recovery copies of a book with unsaved changes, and the thread that writes them.
#include "app/Recovery.h"

#include "app/UndoHistory.h"
#include "book/Backups.h"
#include "book/BookFile.h"
#include "book/FileIo.h"

#include <cstdlib>

namespace kp {
namespace fs = std::filesystem;

fs::path UserStateFolder() {
    if (const char* state = std::getenv("XDG_STATE_HOME"); state && *state == '/')
        return state;
    if (const char* home = std::getenv("HOME"); home && *home)
        return fs::path(home) / ".local" / "state";
    return {};
}

fs::path RecoveryFolder(const fs::path& stateFolder) {
    return stateFolder.empty() ? fs::path() : stateFolder / "kirjanpito" / "palautus";
}

fs::path RecoveryFileFor(const fs::path& folder, const std::string& bookFile) {
    if (bookFile.empty())
        return folder / "nimeton.tlk";
    const fs::path book(bookFile);
    return folder /
           (book.stem().string() + "-" + AbsolutePathTag(book) + book.extension().string());
}

namespace {

fs::path OwnerFile(const fs::path& copy) {
    return fs::path(copy).concat(".kirja");
}

std::string AbsoluteName(const std::string& bookFile) {
    std::error_code error;
    const fs::path absolute = fs::absolute(bookFile, error);
    return bookFile.empty() || error ? bookFile : absolute.lexically_normal().string();
}

} // namespace

std::optional<RecoveryCopy> FindRecovery(const fs::path& folder, const std::string& bookFile) {
    const fs::path copy = RecoveryFileFor(folder, bookFile);
    std::string owner;
    if (folder.empty() || !ReadWholeFile(OwnerFile(copy).string(), owner))
        return std::nullopt;
    if (owner.ends_with('\n'))
        owner.pop_back();
    // Another book whose path has the same tag is not this one.
    if (owner != AbsoluteName(bookFile))
        return std::nullopt;
    std::error_code error;
    const auto copyWritten = fs::last_write_time(copy, error);
    if (error)
        return std::nullopt;
    if (!bookFile.empty()) {
        const auto bookWritten = fs::last_write_time(bookFile, error);
        if (!error && bookWritten >= copyWritten)
            return std::nullopt;
    }
    return RecoveryCopy{copy, owner, WrittenText(copy)};
}

FileResult WriteRecovery(const fs::path& folder, const std::string& bookFile,
                         std::string_view snapshot) {
    BookTree book;
    if (!RestoreSnapshot(snapshot, book))
        return FileResult::failure("palautuskopion tiedot ovat virheelliset");
    std::error_code error;
    fs::create_directories(folder, error);
    if (error)
        return FileResult::failure(error.message());
    const fs::path copy = RecoveryFileFor(folder, bookFile);
    // The owner first: a copy is never found without knowing whose it is.
    if (FileResult r = WriteFileReplacing(OwnerFile(copy).string(), AbsoluteName(bookFile) + "\n");
        !r)
        return r;
    return SaveBook(book, copy.string());
}

void RemoveRecovery(const fs::path& folder, const std::string& bookFile) {
    if (folder.empty())
        return;
    const fs::path copy = RecoveryFileFor(folder, bookFile);
    std::error_code error;
    fs::remove(copy, error);
    fs::remove(OwnerFile(copy), error);
}

bool RecoveryScheduler::due(std::uint64_t changes, bool posted, Clock::time_point now) {
    if (changes == m_written)
        return false;
    if (!posted && m_lastWrite && now - *m_lastWrite < kInterval)
        return false;
    m_written = changes;
    m_lastWrite = now;
    return true;
}

RecoveryWriter::RecoveryWriter(fs::path folder)
    : m_folder(std::move(folder)), m_thread([this] { run(); }) {}

RecoveryWriter::~RecoveryWriter() {
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

void RecoveryWriter::write(std::string bookFile, std::string snapshot) {
    {
        std::lock_guard lock(m_mutex);
        if (!m_jobs.empty() && m_jobs.back().snapshot && m_jobs.back().bookFile == bookFile)
            m_jobs.back().snapshot = std::move(snapshot);
        else
            m_jobs.push_back({std::move(bookFile), std::move(snapshot)});
    }
    m_wake.notify_one();
}

void RecoveryWriter::remove(std::string bookFile) {
    {
        std::lock_guard lock(m_mutex);
        m_jobs.push_back({std::move(bookFile), std::nullopt});
    }
    m_wake.notify_one();
}

void RecoveryWriter::wait() {
    std::unique_lock lock(m_mutex);
    m_idle.wait(lock, [this] { return m_jobs.empty() && !m_busy; });
}

void RecoveryWriter::run() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stop || !m_jobs.empty(); });
        if (m_jobs.empty()) // stopping, with everything done
            return;
        Job job = std::move(m_jobs.front());
        m_jobs.pop_front();
        m_busy = true;
        lock.unlock();
        // A copy that cannot be written is no worse than none: the book itself is untouched.
        if (job.snapshot)
            WriteRecovery(m_folder, job.bookFile, *job.snapshot);
        else
            RemoveRecovery(m_folder, job.bookFile);
        lock.lock();
        m_busy = false;
        if (m_jobs.empty())
            m_idle.notify_all();
    }
}

} // namespace kp

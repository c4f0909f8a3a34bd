// The application's backups of the open book and its recovery copies.
#include "app/Application.h"
#include "book/FileIo.h"

namespace kp {

std::vector<BackupEntry> Application::backups() const {
    // A restored version shows those of the book it came from.
    const std::string& book = m_fileName.empty() ? m_restoredFrom : m_fileName;
    if (book.empty())
        return {};
    return ListBackups(book, UserDataFolder());
}

bool Application::restoreBackup(const BackupEntry& backup) {
    // Saving the changes first keeps one more version and may prune the oldest, the one chosen:
    // it is put back until the next save prunes it again.
    std::string bytes;
    const bool held = ReadWholeFile(backup.file.string(), bytes);
    if (askSaveChanges() == Answer::Cancel)
        return false;
    std::error_code error;
    if (held && !std::filesystem::exists(backup.file, error))
        WriteFileReplacing(backup.file.string(), bytes);
    const std::string from = m_fileName.empty() ? m_restoredFrom : m_fileName;
    if (!openCopy(backup.file.string(), std::string()))
        return false;
    m_restoredFrom = from;
    m_restoredLabel = backup.dateText() + " klo " + backup.timeText();
    return true;
}

bool Application::openCopy(const std::string& copy, std::string fileName) {
    // The copy is no book of the user's own: it stays out of the recent files.
    const std::vector<std::string> recent = m_settings.recentFiles;
    if (!openBook(copy))
        return false;
    m_settings.recentFiles = recent;
    m_fileName = std::move(fileName);
    m_state.unsavedChanges = true;
    m_undo.reset(m_state.openBook, false);
    return true;
}

void Application::enableRecovery(std::filesystem::path folder) {
    m_recovery = folder.empty() ? nullptr : std::make_unique<RecoveryWriter>(std::move(folder));
    m_recoveryScheduler.settled(m_changes);
}

void Application::keepRecoveryCopy(bool posted) {
    if (!m_recovery)
        return;
    if (!m_state.unsavedChanges) {
        dropRecovery(); // undone back to the saved book: nothing to recover
        return;
    }
    if (!m_recoveryScheduler.due(m_changes, posted, RecoveryScheduler::Clock::now()))
        return;
    // The window's thread only copies the snapshot the undo history keeps anyway; the book is
    // rebuilt from it and written on the writer's thread.
    m_recoveryKey = m_fileName;
    m_recovery->write(m_fileName, m_undo.snapshot());
}

void Application::dropRecovery() {
    if (m_recovery && m_recoveryKey)
        m_recovery->remove(*m_recoveryKey);
    m_recoveryKey.reset();
}

bool Application::offerRecovery() {
    if (!m_recovery)
        return false;
    std::vector<std::string> books{std::string()};
    if (m_pageControlVisible && !m_fileName.empty())
        books.insert(books.begin(), m_fileName);
    for (const std::string& book : books) {
        const std::optional<RecoveryCopy> copy = FindRecovery(m_recovery->folder(), book);
        if (!copy)
            continue;
        const std::string whose =
            book.empty() ? "nimett\u00f6m\u00e4st\u00e4 kirjasta" : "kirjasta " + copy->bookFile;
        if (!m_platform.askYesNo("Tallentamattomia muutoksia l\u00f6ytyi " + whose + " (" +
                                 copy->writtenText + "): palautetaanko?"))
            continue; // kept until the book is saved
        if (!openCopy(copy->file.string(), book))
            return false;
        m_recoveryKey = book; // the copy is this run's now: a normal close removes it
        return true;
    }
    return false;
}

} // namespace kp

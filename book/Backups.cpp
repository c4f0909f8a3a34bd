// Earlier versions of a book, kept when a save replaces its file, and the list of them.
#include "book/Backups.h"

#include "book/BookFile.h"
#include "book/BookQueries.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>

namespace kp {
namespace fs = std::filesystem;
namespace {

std::string TwoDigits(int n) {
    return (n < 10 ? "0" : "") + std::to_string(n);
}

// Reads exactly `digits` digits at `at`, moving past them.
bool ReadNumber(std::string_view text, size_t& at, size_t digits, int& value) {
    if (at + digits > text.size())
        return false;
    const char* first = text.data() + at;
    const auto [end, error] = std::from_chars(first, first + digits, value);
    if (error != std::errc() || end != first + digits)
        return false;
    at += digits;
    return true;
}

bool Expect(std::string_view text, size_t& at, char c) {
    if (at >= text.size() || text[at] != c)
        return false;
    ++at;
    return true;
}

// The parts of a version's name after "<stem>-": "2026-12-08-14.03.27" with an optional
// "-<sequence>", then the book's extension.
bool ParseVersionName(std::string_view rest, std::string_view extension, BackupEntry& entry) {
    if (!rest.ends_with(extension))
        return false;
    rest.remove_suffix(extension.size());
    size_t at = 0;
    if (!(ReadNumber(rest, at, 4, entry.year) && Expect(rest, at, '-') &&
          ReadNumber(rest, at, 2, entry.month) && Expect(rest, at, '-') &&
          ReadNumber(rest, at, 2, entry.day) && Expect(rest, at, '-') &&
          ReadNumber(rest, at, 2, entry.hour) && Expect(rest, at, '.') &&
          ReadNumber(rest, at, 2, entry.minute) && Expect(rest, at, '.') &&
          ReadNumber(rest, at, 2, entry.second)))
        return false;
    entry.sequence = 1;
    if (at == rest.size())
        return true;
    if (!Expect(rest, at, '-') || at == rest.size() || rest.size() - at > 4)
        return false;
    return ReadNumber(rest, at, rest.size() - at, entry.sequence) && entry.sequence > 1;
}

void ListFolder(const fs::path& folder, const fs::path& book, std::vector<BackupEntry>& out) {
    const std::string prefix = book.stem().string() + "-";
    const std::string extension = book.extension().string();
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        BackupEntry entry;
        if (!name.starts_with(prefix) ||
            !ParseVersionName(std::string_view(name).substr(prefix.size()), extension, entry))
            continue;
        std::error_code sizeError;
        if (!it->is_regular_file(sizeError))
            continue;
        entry.file = it->path();
        entry.size = it->file_size(sizeError);
        out.push_back(std::move(entry));
    }
}

// The local time the file was last written.
std::tm WrittenAt(const fs::path& file) {
    std::error_code error;
    const auto written = fs::last_write_time(file, error);
    std::time_t seconds = std::time(nullptr);
    if (!error)
        seconds = std::chrono::system_clock::to_time_t(
            std::chrono::time_point_cast<std::chrono::system_clock::duration>(
                std::chrono::file_clock::to_sys(written)));
    std::tm local{};
    localtime_r(&seconds, &local);
    return local;
}

// Copies the book into the folder under the next free name; empty on success.
std::string CopyInto(const fs::path& folder, const fs::path& book) {
    std::error_code error;
    fs::create_directories(folder, error);
    if (error)
        return error.message();
    const std::tm t = WrittenAt(book);
    const std::string base = book.stem().string() + "-" + std::to_string(t.tm_year + 1900) + "-" +
                             TwoDigits(t.tm_mon + 1) + "-" + TwoDigits(t.tm_mday) + "-" +
                             TwoDigits(t.tm_hour) + "." + TwoDigits(t.tm_min) + "." +
                             TwoDigits(t.tm_sec);
    const std::string extension = book.extension().string();
    fs::path target = folder / (base + extension);
    for (int sequence = 2; fs::exists(target, error) && sequence < 1000; ++sequence)
        target = folder / (base + "-" + std::to_string(sequence) + extension);
    // Copied under a passing name and renamed, so that a version is never listed half written.
    const fs::path partial = folder / ("." + target.filename().string() + ".kesken");
    fs::remove(partial, error);
    if (!fs::copy_file(book, partial, error) || error) {
        fs::remove(partial, error);
        return error ? error.message() : std::string("kopiointi ei onnistunut");
    }
    fs::rename(partial, target, error);
    if (error) {
        const std::string message = error.message();
        fs::remove(partial, error);
        return message;
    }
    return {};
}

} // namespace

std::string BackupEntry::dateText() const {
    return std::to_string(day) + "." + std::to_string(month) + "." + std::to_string(year);
}

std::string BackupEntry::timeText() const {
    return TwoDigits(hour) + "." + TwoDigits(minute) + "." + TwoDigits(second);
}

fs::path UserDataFolder() {
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data == '/')
        return data;
    if (const char* home = std::getenv("HOME"); home && *home)
        return fs::path(home) / ".local" / "share";
    return {};
}

fs::path BackupFolderBeside(const fs::path& book) {
    return fs::path(book).concat(".varmuuskopiot");
}

std::string AbsolutePathTag(const fs::path& file) {
    std::error_code error;
    fs::path absolute = fs::absolute(file, error).lexically_normal();
    if (error)
        absolute = file;
    // FNV-1a: short, and the same on every run.
    std::uint64_t hash = 14695981039346656037ull;
    for (const unsigned char c : absolute.string())
        hash = (hash ^ c) * 1099511628211ull;
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return hex;
}

std::string WrittenText(const fs::path& file) {
    std::error_code error;
    if (!fs::exists(file, error))
        return {};
    const std::tm t = WrittenAt(file);
    return std::to_string(t.tm_mday) + "." + std::to_string(t.tm_mon + 1) + "." +
           std::to_string(t.tm_year + 1900) + " klo " + std::to_string(t.tm_hour) + "." +
           TwoDigits(t.tm_min);
}

fs::path BackupFolderInData(const fs::path& book, const fs::path& dataFolder) {
    return dataFolder / "kirjanpito" / "varmuuskopiot" /
           (book.filename().string() + "-" + AbsolutePathTag(book));
}

std::vector<BackupEntry> ListBackups(const fs::path& book, const fs::path& dataFolder) {
    std::vector<BackupEntry> entries;
    ListFolder(BackupFolderBeside(book), book, entries);
    if (!dataFolder.empty())
        ListFolder(BackupFolderInData(book, dataFolder), book, entries);
    std::sort(entries.begin(), entries.end(),
              [](const BackupEntry& a, const BackupEntry& b) { return a.key() > b.key(); });
    return entries;
}

std::string KeepBackup(const fs::path& book, const fs::path& dataFolder) {
    std::error_code error;
    if (!fs::is_regular_file(book, error))
        return {};
    std::string why = CopyInto(BackupFolderBeside(book), book);
    if (!why.empty() && !dataFolder.empty())
        why = CopyInto(BackupFolderInData(book, dataFolder), book);
    if (!why.empty())
        return "Edellisest\u00e4 versiosta ei voitu tehd\u00e4 varmuuskopiota (" + why +
               "). Kirja tallennettiin silti.";
    const std::vector<BackupEntry> entries = ListBackups(book, dataFolder);
    for (size_t i = kKeptBackups; i < entries.size(); ++i)
        fs::remove(entries[i].file, error);
    return {};
}

int CountVouchers(const fs::path& file) {
    BookTree book;
    if (!LoadBook(book, file.string(), LoadMode::Salvage))
        return -1;
    const BookNode* fiscalYear = FiscalYearNode(book);
    const BookNode* map = AccountMapNode(fiscalYear);
    // The vouchers follow the account map, as the journal finds them.
    const BookNode* events = map ? fiscalYear->child(map->index() + 1) : nullptr;
    int count = 0;
    if (events)
        for (const BookNode* event : events->children())
            count += event->startsWith(kKeywords[KwEvent]) ? 1 : 0;
    return count;
}

namespace {
FileResult KeepingBackup(const std::string& fileName, const std::function<FileResult()>& save) {
    const std::string warning = KeepBackup(fileName, UserDataFolder());
    FileResult result = save();
    if (result && !warning.empty())
        result.message = warning;
    return result;
}
} // namespace

FileResult SaveBookKeepingBackup(const BookTree& tree, const std::string& fileName) {
    return KeepingBackup(fileName, [&] { return SaveBook(tree, fileName); });
}

FileResult SaveBookTextKeepingBackup(const std::string& text, const std::string& fileName) {
    return KeepingBackup(fileName, [&] { return SaveBookText(text, fileName); });
}

} // namespace kp

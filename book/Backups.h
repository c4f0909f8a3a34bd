// Earlier versions of a book, kept when a save replaces its file, and the list of them.
#pragma once

#include "book/BookTree.h"
#include "book/FileResult.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace kp {

// How many earlier versions of each book are kept; the oldest go first.
inline constexpr int kKeptBackups = 10;

// One earlier version: "kirja-2026-12-08-14.03.27.tlk" is the book as it was saved on
// 8.12.2026 at 14.03.27; a second version saved within the same second ends "-2".
struct BackupEntry {
    std::filesystem::path file;
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, sequence = 1;
    std::uintmax_t size = 0;

    // "8.12.2026" and "14.03.27".
    std::string dateText() const;
    std::string timeText() const;
    auto key() const { return std::tuple(year, month, day, hour, minute, second, sequence); }
};

// The user's data folder: $XDG_DATA_HOME, else ~/.local/share; empty when neither is known.
std::filesystem::path UserDataFolder();

// A tag of 16 hexadecimal digits that stands for the file's absolute path: the same on every
// run, different for two books of the same name in different folders.
std::string AbsolutePathTag(const std::filesystem::path& file);

// "8.12.2026 klo 14.03": the local time the file was last written; empty when it is gone.
std::string WrittenText(const std::filesystem::path& file);

// Where the versions of a book go: beside it ("kirja.tlk" keeps them in
// "kirja.tlk.varmuuskopiot"), or, when its folder cannot be written, under the user's data folder
// in kirjanpito/varmuuskopiot, in a folder named after the book and its absolute path so that
// two books of the same name stay apart.
std::filesystem::path BackupFolderBeside(const std::filesystem::path& book);
std::filesystem::path BackupFolderInData(const std::filesystem::path& book,
                                         const std::filesystem::path& dataFolder);

// The versions of the book in both folders, the newest first.
std::vector<BackupEntry> ListBackups(const std::filesystem::path& book,
                                     const std::filesystem::path& dataFolder);

// Copies the book's file as it is now into its versions, named by the time the file was last
// written, and removes the versions past the newest kKeptBackups. Nothing is done when there is
// no regular file to keep. An empty result on success, else why no copy could be kept (UTF-8).
std::string KeepBackup(const std::filesystem::path& book, const std::filesystem::path& dataFolder);

// The number of vouchers a book file holds; -1 when it cannot be read.
int CountVouchers(const std::filesystem::path& file);

// The save that every command replacing a book uses: the version on disk is kept first, then
// the book is written (and checked) as SaveBook writes it. A version that could not be kept does
// not stop the save, which matters more: the result is then a success whose message is the
// warning to show.
FileResult SaveBookKeepingBackup(const BookTree& tree, const std::string& fileName);
// The same for a book given as the bytes of its file (SaveBookText).
FileResult SaveBookTextKeepingBackup(const std::string& text, const std::string& fileName);

} // namespace kp

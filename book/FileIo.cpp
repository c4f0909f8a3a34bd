// Whole-file reading and crash-safe replacing writes (POSIX).
#include "book/FileIo.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kp {
namespace {

std::string SystemSays() {
    return std::strerror(errno);
}

bool WriteAll(int fd, std::string_view data) {
    size_t written = 0;
    while (written < data.size()) {
        const ssize_t n = ::write(fd, data.data() + written, data.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            return false;
        }
        written += static_cast<size_t>(n);
    }
    return true;
}

// The source's bytes, a piece at a time; on failure errno says why.
bool WriteAll(int fd, const ByteSource& source) {
    return WriteInPieces(source, [fd](std::string_view piece) { return WriteAll(fd, piece); });
}

// Whether the user may write the existing file by its permission bits. The super-user may write
// anything, but a book made read-only (no write bit at all) is not replaced even for them.
bool MayWrite(const std::string& name, const struct stat& st) {
    if (geteuid() == 0)
        return (st.st_mode & 0222) != 0;
    return access(name.c_str(), W_OK) == 0;
}

// Devices, pipes and the process's own streams are written as they are: there is nothing to
// replace, and a temporary file beside them could not be made or would never reach them.
bool WrittenDirectly(const std::string& name, bool exists, const struct stat& st) {
    if (exists && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode))
        return true;
    return name.rfind("/dev/", 0) == 0 || name.rfind("/proc/", 0) == 0;
}

FileResult WriteDirectly(const std::string& name, const ByteSource& source) {
    const int fd = ::open(name.c_str(), O_WRONLY | O_TRUNC | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        return FileResult::failure("Tiedostoa ei voi avata kirjoitettavaksi: " + SystemSays());
    bool ok = WriteAll(fd, source);
    std::string why = ok ? "" : SystemSays();
    if (::close(fd) != 0 && ok) {
        ok = false;
        why = SystemSays();
    }
    if (!ok)
        return FileResult::failure("Kirjoitus epäonnistui: " + why);
    return FileResult::success();
}

} // namespace

bool WriteInPieces(const ByteSource& source, const ByteSink::Drain& drain) {
    std::string buffer;
    ByteSink sink(buffer, drain);
    source(sink);
    return sink.finish();
}

bool ReadFileInPlace(const std::string& fileName, const std::function<char*(std::size_t)>& place,
                     std::size_t& got) {
    got = 0;
    const int fd = open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    // Closed however the reading ends, also when place finds no room and throws.
    struct Closer {
        int fd;
        ~Closer() { close(fd); }
    } closer{fd};
    struct stat st {};
    bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0;
    if (ok) {
        const auto size = static_cast<std::size_t>(st.st_size);
        char* space = place(size);
        while (got < size) {
            const ssize_t n = read(fd, space + got, size - got);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                ok = n == 0;
                break;
            }
            got += static_cast<std::size_t>(n);
        }
        char more = 0;
        ok = ok && read(fd, &more, 1) == 0;
    }
    return ok;
}

bool ReadWholeFile(const std::string& fileName, std::string& data) {
    data.clear();
    FILE* f = std::fopen(fileName.c_str(), "rb");
    if (!f)
        return false;
    struct stat st {};
    if (fstat(fileno(f), &st) == 0 && S_ISDIR(st.st_mode)) {
        std::fclose(f);
        return false;
    }
    // The size the file has now is read straight into place; whatever follows (a file still
    // growing, a pipe) in pieces.
    if (st.st_size > 0) {
        data.resize(static_cast<size_t>(st.st_size));
        size_t have = 0;
        while (have < data.size()) {
            const size_t got = std::fread(data.data() + have, 1, data.size() - have, f);
            if (got == 0)
                break;
            have += got;
        }
        data.resize(have);
    }
    char buffer[65536];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        data.append(buffer, got);
    const bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

FileResult WriteFileReplacing(const std::string& fileName, std::string_view data,
                              const WriteCheck& check) {
    return WriteFileReplacing(
        fileName, [data](ByteSink& sink) { sink << data; }, check);
}

FileResult WriteFileReplacing(const std::string& fileName, const ByteSource& source,
                              const WriteCheck& check) {
    std::string target = fileName;
    char resolved[PATH_MAX];
    struct stat lst {};
    if (lstat(fileName.c_str(), &lst) == 0 && S_ISLNK(lst.st_mode) &&
        realpath(fileName.c_str(), resolved))
        target = resolved;
    struct stat old {};
    const bool existed = stat(target.c_str(), &old) == 0;
    if (WrittenDirectly(fileName, existed, old) || WrittenDirectly(target, existed, old))
        return WriteDirectly(target, source);
    if (existed && S_ISDIR(old.st_mode))
        return FileResult::failure("Nimellä on kansio.");
    if (existed && !MayWrite(target, old))
        return FileResult::failure("Tiedosto on kirjoitussuojattu.");

    std::string temp = target + ".tmpXXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0)
        return FileResult::failure("Kansioon ei voi kirjoittaa: " + SystemSays());
    // Keep the permissions of the book being replaced; a new book gets the usual ones.
    mode_t mode = 0666;
    if (existed) {
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        mode = static_cast<mode_t>(0666 & ~mask);
    }
    std::string why;
    bool ok = fchmod(fd, mode) == 0 && WriteAll(fd, source) && fsync(fd) == 0;
    if (!ok)
        why = "Kirjoitus epäonnistui: " + SystemSays();
    if (::close(fd) != 0 && ok) {
        ok = false;
        why = "Kirjoitus epäonnistui: " + SystemSays();
    }
    if (ok && check) {
        why = check(temp);
        ok = why.empty();
    }
    if (ok && existed && old.st_nlink > 1) {
        // Renaming would leave the other names with the old content: write the same bytes again
        // over the file itself, and keep the checked copy until that has succeeded.
        const FileResult inPlace = WriteDirectly(target, source);
        if (inPlace) {
            const int targetFd = ::open(target.c_str(), O_RDONLY | O_CLOEXEC);
            if (targetFd >= 0) {
                fsync(targetFd);
                ::close(targetFd);
            }
            ::unlink(temp.c_str());
            return inPlace;
        }
        // The file may now be cut short: the checked copy stays where the user can take it.
        return FileResult::failure(inPlace.message + "\nTallennettu kirja on tiedostossa " + temp);
    }
    if (ok && std::rename(temp.c_str(), target.c_str()) != 0) {
        ok = false;
        why = "Tiedoston korvaaminen epäonnistui: " + SystemSays();
    }
    if (!ok) {
        ::unlink(temp.c_str());
        return FileResult::failure(why);
    }
    return FileResult::success();
}

} // namespace kp

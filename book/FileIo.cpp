// Whole-file reading and crash-safe replacing writes (POSIX).
#include "book/FileIo.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kp {

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
    if (st.st_size > 0)
        data.reserve(static_cast<size_t>(st.st_size));
    char buffer[65536];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        data.append(buffer, got);
    const bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

bool WriteFileReplacing(const std::string& fileName, std::string_view data) {
    std::string target = fileName;
    char resolved[PATH_MAX];
    struct stat lst {};
    if (lstat(fileName.c_str(), &lst) == 0 && S_ISLNK(lst.st_mode) &&
        realpath(fileName.c_str(), resolved))
        target = resolved;
    struct stat old {};
    const bool existed = stat(target.c_str(), &old) == 0;
    if (existed && !S_ISREG(old.st_mode))
        return false;

    std::string temp = target + ".tmpXXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0)
        return false;
    // Keep the permissions of the book being replaced; a new book gets the usual ones.
    mode_t mode = 0666;
    if (existed) {
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        mode = static_cast<mode_t>(0666 & ~mask);
    }
    bool ok = fchmod(fd, mode) == 0;
    size_t written = 0;
    while (ok && written < data.size()) {
        const ssize_t n = ::write(fd, data.data() + written, data.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            ok = false;
        else
            written += static_cast<size_t>(n);
    }
    ok = ok && fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && std::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok)
        ::unlink(temp.c_str());
    return ok;
}

} // namespace kp

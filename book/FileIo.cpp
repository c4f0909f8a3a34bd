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

bool ReadWholeFile(const std::string& fileName, std::string& data) {
    data.clear();
    FILE* f = std::fopen(fileName.c_str(), "rb");
    if (!f)
        return false;
    struct stat st {};
    if (fstat(fileno(f), &st) == 0 && S_ISDIR(st.st_mode)) {
        std::fclose(f);
        errno = EISDIR;
        return false;
    }
    if (st.st_size > 0)
        data.reserve(static_cast<size_t>(st.st_size));
    char buffer[65536];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        data.append(buffer, got);
    const bool ok = !std::ferror(f);
    const int error = errno;
    std::fclose(f);
    errno = ok ? 0 : error;
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
    if (existed && !S_ISREG(old.st_mode)) {
        errno = S_ISDIR(old.st_mode) ? EISDIR : EINVAL;
        return false;
    }

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
    int error = 0;
    const auto step = [&](bool done) {
        if (!done && error == 0)
            error = errno != 0 ? errno : EIO;
        return done;
    };
    bool ok = step(fchmod(fd, mode) == 0);
    size_t written = 0;
    while (ok && written < data.size()) {
        const ssize_t n = ::write(fd, data.data() + written, data.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0)
            errno = ENOSPC;
        if (!step(n > 0))
            ok = false;
        else
            written += static_cast<size_t>(n);
    }
    ok = ok && step(fsync(fd) == 0);
    ok = step(::close(fd) == 0) && ok;
    ok = ok && step(std::rename(temp.c_str(), target.c_str()) == 0);
    if (!ok) {
        ::unlink(temp.c_str());
        errno = error;
    }
    return ok;
}

namespace {

// The usual reasons in the user's words; the system's message follows them.
const char* FinnishReason(int error) {
    switch (error) {
    case ENOENT:
        return "Tiedostoa tai kansiota ei ole";
    case EACCES:
    case EPERM:
        return "Ei k\u00e4ytt\u00f6oikeutta";
    case EISDIR:
        return "Nimi on kansio eik\u00e4 tiedosto";
    case ENOTDIR:
        return "Jokin polun osa ei ole kansio";
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
    case EFBIG:
        return "Levy on t\u00e4ynn\u00e4 tai tiedosto liian suuri";
    case EROFS:
        return "Levylle ei voi kirjoittaa";
    case ENAMETOOLONG:
        return "Nimi on liian pitk\u00e4";
    default:
        return "J\u00e4rjestelm\u00e4n ilmoitus";
    }
}

} // namespace

std::string FileErrorMessage(FileAction action, const std::string& fileName, int error) {
    std::string text = action == FileAction::Open ? "Tiedostoa ei voitu avata: "
                                                  : "Tiedostoa ei voitu tallentaa: ";
    text += fileName;
    text += '\n';
    text += FinnishReason(error);
    if (error != 0) {
        text += " (";
        text += std::strerror(error);
        text += ')';
    }
    text += '.';
    return text;
}

} // namespace kp

// Replacing a file whole: write a temporary file beside it, then rename it over the old one,
// so that a full disk or a file-size limit never leaves a half-written file behind.
#include "board/file_replace.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// The process umask, read without changing it where the system tells it.
mode_t currentUmask() {
    if (std::FILE* status = std::fopen("/proc/self/status", "re")) {
        char line[256];
        unsigned int mask = 0;
        bool found = false;
        while (!found && std::fgets(line, sizeof line, status) != nullptr) {
            found = std::sscanf(line, "Umask: %o", &mask) == 1;
        }
        std::fclose(status);
        if (found) {
            return static_cast<mode_t>(mask);
        }
    }
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}

bool writeAll(int fd, std::string_view content) {
    while (!content.empty()) {
        const ssize_t written = ::write(fd, content.data(), content.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false; // EFBIG, ENOSPC, EIO ...
        }
        content.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

// Everything up to the rename; the caller removes the temporary file if this fails.
bool fillTemporary(int fd, std::string_view content, const std::string& path,
                   Durability durability) {
    struct stat old {};
    const mode_t mode = ::stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : (0644 & ~currentUmask());
    bool ok = writeAll(fd, content);
    ok = ok && ::fchmod(fd, mode) == 0;
    ok = ok && (durability == Durability::Unsynced || ::fsync(fd) == 0);
    // close() is checked too: some file systems report a failed write only there.
    const bool closed = ::close(fd) == 0;
    return ok && closed;
}

} // namespace

bool replaceFile(const std::string& path, std::string_view content, Durability durability) {
    const std::string pattern = path + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0) {
        return false; // the folder is missing or cannot take a new file
    }
    if (!fillTemporary(fd, content, path, durability)) {
        ::unlink(name.data());
        return false;
    }
    // Renaming over an existing file makes ext4 write the new data out first, which costs
    // milliseconds; exchanging the two names does not, and leaves the old content under the
    // temporary name to remove. A folder or a link at path takes the plain rename.
    struct stat target {};
    if (durability == Durability::Unsynced && ::lstat(path.c_str(), &target) == 0 &&
        S_ISREG(target.st_mode) &&
        ::renameat2(AT_FDCWD, name.data(), AT_FDCWD, path.c_str(), RENAME_EXCHANGE) == 0) {
        ::unlink(name.data());
        return true;
    }
    if (::rename(name.data(), path.c_str()) != 0) {
        ::unlink(name.data());
        return false;
    }
    return true;
}

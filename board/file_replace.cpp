// Replacing a file whole: write a temporary file beside it, then rename it over the old one,
// so that a full disk or a file-size limit never leaves a half-written file behind.
#include "board/file_replace.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif

namespace {

// The file a save through path writes: the end of its chain of symbolic links, which may not
// exist yet. Empty for a loop of links.
std::string linkedFile(std::filesystem::path path) {
    for (int hops = 0; hops < 40; ++hops) { // the kernel's own limit
        std::error_code notALink;
        const std::filesystem::path target = std::filesystem::read_symlink(path, notALink);
        if (notALink) return path.string();
        path = path.parent_path() / target; // an absolute target replaces the whole path
    }
    return {};
}

// The process umask, read without changing it where the system tells it.
mode_t currentUmask() {
#ifdef __EMSCRIPTEN__
    // Emscripten's umask starts at 0777, which would make every new file unreadable; a browser's
    // files have no other users to keep out.
    return 022;
#else
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
#endif
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

// close() is checked too: some file systems report a failed write only there.
bool finish(int fd, bool written, Durability durability) {
    const bool ok = written && (durability == Durability::Unsynced || ::fsync(fd) == 0);
    const bool closed = ::close(fd) == 0;
    return ok && closed;
}

// The game's old way, for a file that cannot be replaced: a failed write may leave it short.
// A pipe that nothing reads fails at once instead of holding the game.
bool writeInPlace(const std::string& file, std::string_view content, Durability durability) {
    const int fd = ::open(file.c_str(), O_WRONLY | O_TRUNC | O_NONBLOCK | O_CLOEXEC);
    return fd >= 0 && finish(fd, writeAll(fd, content), durability);
}

// Everything up to the rename. fchmod comes after fchown, which may clear a set-user-ID bit.
bool fillTemporary(int fd, std::string_view content, mode_t mode, Durability durability) {
    return finish(fd, writeAll(fd, content) && ::fchmod(fd, mode) == 0, durability);
}

// The temporary file named after the pattern in name, given the old file's owner. -1 with errno
// EACCES or EPERM when the player may not make one: a folder they cannot write, or someone else's
// file whose owner only root could give to a new one.
int makeTemporary(std::string& name, const struct stat* old) {
    const int fd = ::mkstemp(name.data());
    if (fd >= 0 && old != nullptr && ::fchown(fd, old->st_uid, old->st_gid) != 0) {
        const int error = errno;
        ::close(fd);
        ::unlink(name.c_str());
        errno = error;
        return -1;
    }
    return fd;
}

// Renaming over an existing file makes ext4 write the new data out first, which costs
// milliseconds; exchanging the two names does not, and leaves the old content under the
// temporary name to remove. Outside Linux, where there is no exchange, a plain rename.
bool putInPlace(const std::string& temporary, const std::string& file, bool exchange) {
#ifdef RENAME_EXCHANGE
    if (exchange &&
        ::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, file.c_str(), RENAME_EXCHANGE) == 0) {
        ::unlink(temporary.c_str());
        return true;
    }
#else
    (void)exchange;
#endif
    return ::rename(temporary.c_str(), file.c_str()) == 0;
}

// In a browser the files live in memory; a synced one is copied to the browser's own storage
// (IndexedDB, mounted by the page), so that it is still there after a reload.
void keepInBrowser() {
#ifdef __EMSCRIPTEN__
    EM_ASM({
        FS.syncfs(
            false, function(error) {
                if (error) console.error('kelvo: cannot keep the files: ' + error);
            });
    });
#endif
}

} // namespace

bool replaceFile(const std::string& path, std::string_view content, Durability durability) {
    const std::string file = linkedFile(path);
    struct stat old {};
    const bool exists = !file.empty() && ::stat(file.c_str(), &old) == 0;
    if (file.empty() || (exists && ::faccessat(AT_FDCWD, file.c_str(), W_OK, AT_EACCESS) != 0)) {
        return false; // a loop of links, or a file the player may not write
    }
    if (exists && !S_ISREG(old.st_mode)) {
        return writeInPlace(file, content, durability); // a device or a pipe is never replaced
    }
    std::string temporary = file + ".XXXXXX";
    const int fd = makeTemporary(temporary, exists ? &old : nullptr);
    if (fd < 0) {
        return exists && (errno == EACCES || errno == EPERM) &&
               writeInPlace(file, content, durability);
    }
    const mode_t mode = exists ? old.st_mode & 07777 : 0666 & ~currentUmask();
    if (fillTemporary(fd, content, mode, durability) &&
        putInPlace(temporary, file, exists && durability == Durability::Unsynced)) {
        if (durability == Durability::Synced) keepInBrowser();
        return true;
    }
    ::unlink(temporary.c_str());
    return false;
}

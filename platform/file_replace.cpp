// Replacing a file whole: write a temporary file beside it, then rename it over the old one,
// so that a full disk or a file-size limit never leaves a half-written file behind.
#include "platform/file_replace.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/file_descriptor.h"
#include "platform/platform.h"

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

// The game's old way, for a file that cannot be replaced: a failed write may leave it short.
// A pipe that nothing reads fails at once instead of holding the game.
bool writeInPlace(const std::string& file, std::string_view content, Durability durability) {
    FileDescriptor fd(::open(file.c_str(), O_WRONLY | O_TRUNC | O_NONBLOCK | O_CLOEXEC));
    return fd.valid() && writeAll(fd.get(), content) &&
           (durability == Durability::Unsynced || ::fsync(fd.get()) == 0) && fd.close();
}

// A new file named file.<pid>.<n>, made with mode 0666 so that the kernel applies the umask (or
// the folder's default ACL); O_EXCL never opens a file that is already there, nor a link.
FileDescriptor makeTemporary(const std::string& file, std::string& name) {
    prepareNewFiles();
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = file + "." + std::to_string(::getpid()) + "." + std::to_string(attempt);
        FileDescriptor fd(::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (fd.valid() || errno != EEXIST) {
            return fd;
        }
    }
    return FileDescriptor(-1);
}

// Everything up to the rename. An old file's owner and mode pass to the new one; fchmod comes
// after fchown, which may clear a set-user-ID bit.
bool fillTemporary(FileDescriptor& fd, std::string_view content, const struct stat* old,
                   Durability durability) {
    return writeAll(fd.get(), content) &&
           (old == nullptr || ::fchmod(fd.get(), old->st_mode & 07777) == 0) &&
           (durability == Durability::Unsynced || ::fsync(fd.get()) == 0) && fd.close();
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
    std::string temporary;
    FileDescriptor fd = makeTemporary(file, temporary);
    // A folder the player cannot write, or someone else's file whose owner only root could give
    // to a new one: the file is written in place.
    if (!fd.valid() || (exists && ::fchown(fd.get(), old.st_uid, old.st_gid) != 0)) {
        const int error = errno;
        if (fd.valid()) {
            fd.close();
            ::unlink(temporary.c_str());
        }
        return exists && (error == EACCES || error == EPERM) &&
               writeInPlace(file, content, durability);
    }
    if (fillTemporary(fd, content, exists ? &old : nullptr, durability) &&
        putInPlace(temporary, file, exists && durability == Durability::Unsynced)) {
        if (durability == Durability::Synced) keepSavedFiles();
        return true;
    }
    ::unlink(temporary.c_str());
    return false;
}

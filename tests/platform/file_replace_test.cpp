// Tests of saving a file whole: through links, keeping the old file's mode and owner, or leaving
// it as it was.
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <set>

#include "files.h"
#include "platform/file_replace.h"

namespace fs = std::filesystem;

constexpr uid_t nobody = 65534;

// Saves "new" in a child, under the umask given and as nobody if asked, so that this process
// keeps its own. 0: saved, 1: not saved, anything else: the child could not be set up.
static int saveInChild(const std::string& path, Durability durability, mode_t mask, bool asNobody) {
    const pid_t child = ::fork();
    if (child == 0) {
        ::umask(mask);
        if (asNobody && (::setgroups(0, nullptr) || ::setgid(nobody) || ::setuid(nobody)))
            ::_exit(2);
        ::_exit(replaceFile(path, "new", durability) ? 0 : 1);
    }
    int status = 0;
    return ::waitpid(child, &status, 0) == child && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Saving through links, and over files of other modes and owners. The rows with a second user
// come last: they need root, and save as nobody.
TEST(ReplaceFile, FollowsLinksAndKeepsModeAndOwnerOrLeavesTheFileAsItWas) {
    const uid_t me = ::geteuid();
    // save.txt is a link to `link` or the file itself, whose content is `old` (none if null);
    // `owner` owns the file before and after; `mode` is the old file's, `after` the saved one's.
    struct Case {
        const char *what, *link, *old;
        uid_t owner;
        bool asNobody, saved;
        mode_t mode, folder, umask, after;
    };
    const Case cases[] = {
        {"a link to a file", "real.txt", "old", me, false, true, 0640, 0700, 022, 0640},
        {"a dangling link", "real.txt", nullptr, me, false, true, 0, 0700, 022, 0644},
        {"a link to no folder", "gone/real.txt", nullptr, me, false, false, 0, 0700, 022, 0},
        {"a new file, umask 077", nullptr, nullptr, me, false, true, 0, 0700, 077, 0600},
        {"a new file, umask 002", nullptr, nullptr, me, false, true, 0, 0700, 002, 0664},
        {"another's 0600 file", nullptr, "old", nobody, false, true, 0600, 0700, 022, 0600},
        {"a read-only file", nullptr, "old", nobody, true, false, 0444, 0777, 022, 0444},
        {"another's file open to all", nullptr, "old", me, true, true, 0666, 0777, 022, 0666},
        {"a folder closed to the saver", nullptr, "old", nobody, true, true, 0644, 0755, 022, 0644},
    };
    for (const Case& c : cases)
        for (const Durability durability : {Durability::Synced, Durability::Unsynced}) {
            if ((c.asNobody || c.owner == nobody) && me != 0) GTEST_SKIP() << "needs root";
            SCOPED_TRACE(std::string(c.what) + (durability == Durability::Synced ? "" : ", fast"));
            const TempDir dir;
            const fs::path save = dir.path / "save.txt",
                           file = dir.path / (c.link ? c.link : "save.txt");
            const gid_t group = c.owner == nobody ? nobody : ::getegid();
            if (c.link) fs::create_symlink(c.link, save);
            if (c.old) writeFile(file, c.old);
            ASSERT_FALSE(c.old &&
                         (::chmod(file.c_str(), c.mode) || ::chown(file.c_str(), c.owner, group)));
            ASSERT_EQ(::chmod(dir.path.c_str(), c.folder), 0);
            std::set<std::string> expected = entries(dir.path);
            if (c.saved) expected.insert(file.filename());

            EXPECT_EQ(saveInChild(save, durability, c.umask, c.asNobody), c.saved ? 0 : 1);
            const char* content = c.saved ? "new" : c.old;
            struct stat st {};
            ASSERT_EQ(::stat(file.c_str(), &st) == 0, content != nullptr);
            EXPECT_TRUE(!content || (readFile(file) == content && (st.st_mode & 07777) == c.after &&
                                     st.st_uid == c.owner && st.st_gid == group))
                << readFile(file) << std::oct << " mode " << st.st_mode << std::dec << " owner "
                << st.st_uid << ":" << st.st_gid;
            EXPECT_TRUE(fs::is_symlink(save) == (c.link != nullptr) &&
                        entries(dir.path) == expected);
        }
}

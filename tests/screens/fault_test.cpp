// The whole program through a scripted session while its files are missing, hostile or cannot be
// written: every session ends normally, the saved motif is never damaged and the game goes on.
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "screen_fixture.h"
#include "session.h"

namespace {

namespace fs = std::filesystem;

void writeFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// Lowers the file-size limit for as long as it lives; writes past it fail with EFBIG, as the
// program ignores SIGXFSZ.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &old_);
        rlimit lowered = old_;
        lowered.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &old_); }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    rlimit old_{};
};

class FaultTest : public ScreenTest {
  protected:
    void SetUp() override {
        ScreenTest::SetUp();
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    }
    void TearDown() override {
        std::signal(SIGXFSZ, oldHandler_);
        ScreenTest::TearDown();
    }

    // The run directory as the build made it, for the next session of a test.
    void freshRunDir() {
        fs::remove_all("rc");
        fs::remove_all("trace.txt");
        fs::copy(fs::path(KELVO_RUN_DIR) / "rc", "rc", fs::copy_options::recursive);
    }

  private:
    void (*oldHandler_)(int) = SIG_DFL;
};

TEST_F(FaultTest, EveryScreenWithEverythingInPlace) {
    const session::Result r = session::run();
    session::expectSound(r, true, true);
    EXPECT_GT(r.moves.size(), 1u);
    EXPECT_EQ(r.motifBefore, "0 1 0 \n1 1 1 \n0 1 0 \n");
}

TEST_F(FaultTest, EachPictureMissingInTurnAndTheFontMissing) {
    for (const char* name :
         {"start.bmp", "bgindex.bmp", "background.bmp", "game.bmp", "win.bmp", "0.bmp", "1.bmp",
          "2.bmp", "3.bmp", "4.bmp", "icon.bmp", "Chalkduster.ttf"}) {
        SCOPED_TRACE(name);
        freshRunDir();
        fs::remove(fs::path("rc") / name);
        session::expectSound(session::run(), true, true);
    }
}

TEST_F(FaultTest, NoRcFolderAtAll) {
    fs::remove_all("rc");
    session::expectSound(session::run(), false, true);
    EXPECT_FALSE(fs::exists("rc"));
}

TEST_F(FaultTest, HostileMotifFiles) {
    const std::string digits(100 << 20, '9');
    // One number read to its end: 10 MB of leading zeros.
    std::string zeros(10 << 20, '0');
    zeros.back() = '1';
    const std::pair<const char*, const std::string*> hostile[] = {
        {"empty", nullptr},
        {"100 MB of digits", &digits},
        {"10 MB of zeros ending in 1", &zeros},
    };
    for (auto [what, content] : hostile) {
        SCOPED_TRACE(what);
        freshRunDir();
        writeFile(motifPath, content ? *content : "");
        session::expectSound(session::run(), true, true);
    }
    using namespace std::string_literals;
    for (const std::string& text :
         {"\x7f"
          "ELF\x02\x01\x01\0\xff\xfe garbage \x80\x81"s,
          "12\0 34 \xff 1"s, "4294967297 1 1 \n1 1 1 \n1 1 1 \n"s,
          "1 1 1 \n-99999999999 1 1 \n1 1 1 \n"s, "-1 -1 -1 \n-2 -2 -2 \n-2147483648 -3 -1 \n"s}) {
        SCOPED_TRACE(text);
        freshRunDir();
        writeFile(motifPath, text);
        session::expectSound(session::run(), true, true);
    }

    freshRunDir();
    fs::remove(motifPath);
    fs::create_directories("rc/motif.txt/inside");
    const auto entries = [] {
        return std::distance(fs::directory_iterator("rc"), fs::directory_iterator());
    };
    const auto before = entries();
    session::expectSound(session::run(), false, true);
    EXPECT_TRUE(fs::is_directory("rc/motif.txt/inside"));
    EXPECT_EQ(entries(), before) << "a temporary file was left in rc/";
}

TEST_F(FaultTest, TraceFileIsADirectory) {
    fs::create_directories("trace.txt/inside");
    session::expectSound(session::run(), true, false);
    EXPECT_TRUE(fs::is_directory("trace.txt/inside"));
}

TEST_F(FaultTest, FileSizeLimitDuringTheSaveAndDuringTheTrace) {
    // Smaller than the motif's text: the save starts writing, then the limit stops it.
    constexpr rlim_t limit = 8;
    {
        std::unique_ptr<FileSizeLimit> during;
        session::expectSound(session::run([&](int start) {
                                 if (start == 0)
                                     during = std::make_unique<FileSizeLimit>(limit);
                                 else
                                     during.reset();
                             }),
                             false, true);
    }

    freshRunDir();
    writeFile(tracePath, "7 \n");
    {
        std::unique_ptr<FileSizeLimit> during;
        const session::Result r = session::run([&](int start) {
            if (start == 1) during = std::make_unique<FileSizeLimit>(limit);
        });
        during.reset();
        session::expectSound(r, true, false);
        EXPECT_EQ(session::readFile(tracePath), "7 \n");
    }
    EXPECT_EQ(std::distance(fs::directory_iterator("."), fs::directory_iterator()), 2)
        << "a temporary file was left in the working directory";
}

// Makes the working directory read-only for this process alone: a read-only bind mount in a
// private mount namespace. False when the system allows no namespace.
bool mountWorkingDirectoryReadOnly() {
    const uid_t uid = geteuid();
    const gid_t gid = getegid();
    if (unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0 && unshare(CLONE_NEWNS) != 0) return false;
    // Keep our own user and group inside the new user namespace (ignored without one).
    const auto put = [](const char* file, const std::string& text) { std::ofstream(file) << text; };
    put("/proc/self/setgroups", "deny");
    put("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1");
    put("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1");
    const std::string here = fs::current_path().string();
    struct statvfs flags {};
    if (statvfs(here.c_str(), &flags) != 0) return false;
    // A remount must keep the flags the original mount is locked with.
    unsigned long keep = 0;
    if (flags.f_flag & ST_NOSUID) keep |= MS_NOSUID;
    if (flags.f_flag & ST_NODEV) keep |= MS_NODEV;
    if (flags.f_flag & ST_NOEXEC) keep |= MS_NOEXEC;
    if (flags.f_flag & ST_NOATIME) keep |= MS_NOATIME;
    if (flags.f_flag & ST_NODIRATIME) keep |= MS_NODIRATIME;
    if (flags.f_flag & ST_RELATIME) keep |= MS_RELATIME;
    // Entering the folder again puts the working directory on the new mount.
    return mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
           mount(here.c_str(), here.c_str(), nullptr, MS_BIND | MS_REC, nullptr) == 0 &&
           mount(nullptr, here.c_str(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY | keep,
                 nullptr) == 0 &&
           chdir(here.c_str()) == 0;
}

TEST_F(FaultTest, NothingCanBeCreatedInTheWorkingDirectory) {
    writeFile(tracePath, "7 \n");
    std::fflush(nullptr);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The session runs in a child, whose mounts and limits end with it.
        std::unique_ptr<FileSizeLimit> none;
        if (mountWorkingDirectoryReadOnly()) {
            std::error_code refused;
            if (fs::create_directory("made-anyway", refused)) _exit(3);
        } else {
            std::printf("no private mount namespace here: a file-size limit of zero instead\n");
            none = std::make_unique<FileSizeLimit>(0);
        }
        session::expectSound(session::run(), false, false);
        EXPECT_EQ(session::readFile(tracePath), "7 \n");
        std::fflush(nullptr);
        _exit(::testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the session died of signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the session in the read-only folder failed (above)";
    EXPECT_EQ(session::readFile(motifPath), "0 1 0 \n1 1 1 \n0 1 0 \n");
}

} // namespace

// The whole program through one scripted session, in a process of its own, while its files are
// missing, hostile or cannot be written: it ends with status 0, and nothing is lost.
#include <sys/stat.h>

#include "screen_test.h"

// A fault made in the session's process before it starts, and whether the save in the editor and
// the trace of a move still work.
struct Fault {
    std::string name;
    bool saves = true, traces = true;
    std::function<void()> make = [] {};
};
class FaultTest : public ScreenTest, public ::testing::WithParamInterface<Fault> {};
static void PrintTo(const Fault& fault, std::ostream* out) { *out << fault.name; }

static std::vector<Fault> faults() {
    // clang-format off
    const auto motif = [](std::string text) { return [=] { writeFile(motifPath, text); }; };
    const auto remove = [](std::string path) { return [=] { fs::remove(path); }; };
    const auto instead = [](auto make) { return [=] { fs::remove(motifPath); make(); }; };
    // A motif of ones not in the form a save writes, and a trace, both to be kept.
    const auto old = [] { writeFile(motifPath, "1 1 1 1 1 1 1 1 1"); writeFile(tracePath, "7\n"); };
    std::vector<Fault> all = {
        {.name = "EverythingInPlace"},
        {.name = "NoRcFolder", .saves = false, .make = [] { fs::remove_all("rc"); }},
        {.name = "NoMotifFile", .make = remove(motifPath)},
        {.name = "EmptyMotif", .make = motif("")},
        {.name = "HugeMotif", .make = [] { writeFile(motifPath, std::string(100 << 20, '9')); }},
        {.name = "ZerosThen1",
         .make = [] { writeFile(motifPath, std::string(10 << 20, '0') + '1'); }},
        {.name = "BinaryMotif", .make = motif(std::string("\177ELF\2\1\0\377\376 \200", 11))},
        {.name = "NumbersPast32Bits", .make = motif("4294967297 1 1 \n1 -99999999999 1 \n1 \n")},
        {.name = "NegativeMotif", .make = motif("-1 -1 -1 \n-2 -2 -2 \n-2147483648 -3 -1 \n")},
        {.name = "MotifIsFolder", .saves = false, .make = instead([] { mkdir(motifPath, 0700); })},
        // A pipe or a device is written in place, never replaced by a file.
        {.name = "MotifIsAPipe", .saves = false, .make = instead([] { mkfifo(motifPath, 0600); })},
        {.name = "MotifIsADevice", .saves = false,
         .make = instead([] { fs::create_symlink("/dev/zero", motifPath); })},
        {.name = "TraceIsAFolder", .traces = false,
         .make = [] { fs::create_directories("trace.txt/in"); }},
        {.name = "FileSizeLimit", .saves = false, .traces = false,
         .make = [=] { old(); const rlimit r{8, 8}; setrlimit(RLIMIT_FSIZE, &r); }},
        // Read and execute only, for root too: the session then runs as nobody.
        {.name = "ReadOnlyFolder", .saves = false, .traces = false, .make = [=] {
             old();
             for (const char* folder : {".", "rc"}) fs::permissions(folder, fs::perms(0555));
             if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(3); }}};
    // clang-format on
    for (const char* path : {startPicture, menuPicture, configPicture, gamePicture, victoryPicture,
                             iconPicture, fontPath, tilePictures[0], tilePictures[1],
                             tilePictures[2], tilePictures[3], tilePictures[4]})
        all.push_back({.name = "No_" + fs::path(path).stem().string(), .make = remove(path)});
    return all;
}
INSTANTIATE_TEST_SUITE_P(Faults, FaultTest, ::testing::ValuesIn(faults()),
                         [](const auto& info) { return info.param.name; });

// Past the start picture, a 3 x 3 board set, the motif made all ones in the editor and saved, the
// game won in one move, the victory screen closed and a quit request in the menu.
TEST_P(FaultTest, ASessionThroughEveryScreenEndsWithStatusZeroAndLosesNothing) {
    SDL_Quit(); // the session starts its own video system, in the child
    if (const pid_t child = fork(); child != 0) {
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        for (const char* folder : {".", "rc"}) chmod(folder, 0755);
        EXPECT_EQ(status, 0) << "the session failed (above), or died of a signal";
        return;
    }
    alarm(100);                    // a session that hangs dies before the test's time runs out
    std::signal(SIGXFSZ, SIG_IGN); // as the game's main does
    GetParam().make();
    const std::string motifBefore = readFile(motifPath), traceBefore = readFile(tracePath);
    Motif shown = currentMotif;
    loadMotif(motifPath, shown);
    Events menu;
    for (SDLKey k : {SDLK_SPACE, SDLK_DOWN, SDLK_RETURN, SDLK_LEFT, SDLK_DOWN, SDLK_DOWN, SDLK_DOWN,
                     SDLK_DOWN, SDLK_RETURN, SDLK_DOWN, SDLK_RETURN})
        menu.push_back(key(k));
    for (int i = 0; i < 9; ++i)
        for (; shown[i] != 1; shown[i] = int32_t((int64_t{shown[i]} + 1) % 2))
            menu.push_back(onMotif(i));
    for (SDLKey k : {SDLK_RETURN, SDLK_UP, SDLK_UP, SDLK_RETURN}) menu.push_back(key(k));
    // A release that the victory screen ignores and a key that closes it.
    atVideoStart =
        inTurn({menu, {onCell(1, 1), onCell(0, 0), key(SDLK_SPACE), quitRequest(), quitRequest()}});
    EXPECT_EQ(runMainMenu(), 0);
    EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
    // With the video system down, waiting for an event fails: that reads as a quit request.
    EXPECT_EQ(waitEvent().type, SDL_QUIT);
    EXPECT_EQ(moveCount, 1) << "the game did not end at its victory";
    EXPECT_EQ(readFile(motifPath), GetParam().saves ? "1 1 1 \n1 1 1 \n1 1 1 \n" : motifBefore);
    EXPECT_EQ(readFile(tracePath), GetParam().traces ? "0 0 0 \n0 1 0 \n0 0 0 \n" : traceBefore);
    std::fflush(nullptr);
    _exit(HasFailure() ? 1 : 0);
}

// The motif editor, driven through SDL's event queue: what it shows, what clicks switch, and
// what reaches the motif file.
#include "screens/motif_editor.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "screen_fixture.h"

namespace {

const Motif cross = {0, 1, 0, 1, 1, 1, 0, 1, 0};
constexpr const char* crossText = "0 1 0 \n1 1 1 \n0 1 0 \n";

class MotifEditorTest : public ScreenTest {
  protected:
    // Top-left corner of the square of m[i]: column i / 3, row i % 3 of the block at (267, 100).
    static int squareX(int i) { return 267 + 35 * (i / 3); }
    static int squareY(int i) { return 100 + 35 * (i % 3); }
    static void clickValue(int i, Uint8 button = SDL_BUTTON_LEFT) {
        pushClick(squareX(i) + 17, squareY(i) + 17, button);
    }

    static void writeFile(const std::string& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }
    static std::string readFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    // Runs the editor in the menu's window on the events queued so far.
    SDL_Surface* runEditor() {
        SDL_Surface* window = openMenuWindow();
        SDL_FillRect(window, nullptr, SDL_MapRGB(window->format, 1, 2, 3));
        runMotifEditor(window);
        return window;
    }

    // Empties SDL's queue and tells whether the editor had left events in it.
    static bool eventsLeft() {
        bool left = false;
        for (SDL_Event e; SDL_PollEvent(&e);) left = true;
        return left;
    }

    static std::set<std::string> rcEntries() {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator("rc"))
            names.insert(entry.path().filename().string());
        return names;
    }

    // Whether the window shows the background picture's own pixels over a rectangle.
    static bool showsBackground(SDL_Surface* window, int x, int y, int w, int h) {
        SDL_Surface* bg = picture("./rc/bgindex.bmp");
        if (!bg) return false;
        for (int py = y; py < y + h; ++py)
            for (int px = x; px < x + w; ++px)
                if (pixel(window, px, py) != pixel(bg, px, py)) return false;
        return true;
    }

    // Whether each square shows the tile of its value, or the background for a value without a
    // tile; names the first square that does not.
    static std::string motifShown(SDL_Surface* window, const Motif& m) {
        for (int i = 0; i < 9; ++i) {
            bool ok = tile(m[i]) ? shows(window, tile(m[i]), squareX(i), squareY(i))
                                 : showsBackground(window, squareX(i), squareY(i), 35, 35);
            if (!ok) return "square of m[" + std::to_string(i) + "] (value " +
                            std::to_string(m[i]) + ") is not drawn as it should be";
        }
        return "";
    }
};

TEST_F(MotifEditorTest, LeftClicksStrictlyInsideTheBlockSwitchTheValueUnderThePointer) {
    struct Case {
        std::vector<std::pair<int, int>> clicks;
        std::vector<int> switched;
    };
    const std::vector<Case> cases = {
        {{}, {}},
        {{{319, 152}}, {4}},
        {{{319, 152}, {319, 152}}, {}},
        {{{354, 117}}, {6}},
        // The block's first pixel column and row miss, its last ones hit.
        {{{267, 117}}, {}},
        {{{319, 100}}, {}},
        {{{268, 101}}, {0}},
        {{{371, 204}}, {8}},
        {{{372, 150}, {319, 205}, {266, 150}, {319, 99}}, {}},
        // 10 pixels below the block.
        {{{319, 214}}, {}},
        // Square borders inside the block: 35 pixels per square from x = 267 and y = 100.
        {{{301, 134}}, {0}},
        {{{302, 135}}, {4}},
        {{{336, 169}, {337, 170}}, {4, 8}},
        {{{280, 120}, {280, 150}, {280, 190}, {320, 120}, {320, 150}, {320, 190}, {360, 120},
          {360, 150}, {360, 190}},
         {0, 1, 2, 3, 4, 5, 6, 7, 8}},
    };
    for (const Case& c : cases) {
        for (auto [x, y] : c.clicks) pushClick(x, y);
        pushKey(SDLK_ESCAPE);
        SDL_Surface* window = runEditor();
        Motif expected = cross;
        for (int i : c.switched) expected[i] = 1 - expected[i];
        EXPECT_EQ(currentMotif, expected) << "after " << c.clicks.size() << " clicks";
        EXPECT_EQ(motifShown(window, expected), "") << "after " << c.clicks.size() << " clicks";
    }
}

TEST_F(MotifEditorTest, OnlyTheReleaseOfTheLeftButtonSwitchesAValue) {
    for (Uint8 button : {Uint8(SDL_BUTTON_MIDDLE), Uint8(SDL_BUTTON_RIGHT),
                         Uint8(SDL_BUTTON_WHEELUP), Uint8(SDL_BUTTON_WHEELDOWN)}) {
        clickValue(4, button);
        clickValue(6, button);
        pushKey(SDLK_ESCAPE);
        SDL_Surface* window = runEditor();
        EXPECT_EQ(currentMotif, cross) << "button " << int(button);
        EXPECT_EQ(motifShown(window, cross), "") << "button " << int(button);
    }

    // A press alone does nothing, a release alone switches; other keys and events neither
    // switch nor close the editor.
    pushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 280, 120);
    pushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 360, 190);
    SDL_Event motion{};
    motion.type = SDL_MOUSEMOTION;
    motion.motion.x = 319;
    motion.motion.y = 152;
    push(motion);
    pushKey(SDLK_a);
    pushKey(SDLK_SPACE);
    clickValue(2);
    pushKey(SDLK_ESCAPE);
    SDL_Surface* window = runEditor();
    Motif expected = cross;
    expected[8] = 1;
    expected[2] = 1;
    EXPECT_EQ(currentMotif, expected);
    EXPECT_EQ(motifShown(window, expected), "");
}

TEST_F(MotifEditorTest, ReturnSavesTheNineValuesThreePerLineAndCloses) {
    clickValue(0);
    clickValue(4);
    clickValue(8);
    pushKey(SDLK_RETURN);
    // Events after Return are no longer the editor's.
    clickValue(2);
    pushQuit();
    SDL_Surface* window = runEditor();
    const Motif expected = {1, 1, 0, 1, 0, 1, 0, 1, 1};
    EXPECT_TRUE(eventsLeft());
    EXPECT_EQ(currentMotif, expected);
    EXPECT_EQ(motifShown(window, expected), "");
    EXPECT_EQ(readFile("rc/motif.txt"), "1 1 0 \n1 0 1 \n0 1 1 \n");

    Motif readBack;
    readBack.fill(9);
    loadMotif("./rc/motif.txt", readBack);
    EXPECT_EQ(readBack, expected);

    // The next visit opens on the saved motif, even when the last one had unsaved changes.
    currentMotif = cross;
    pushKey(SDLK_ESCAPE);
    window = runEditor();
    EXPECT_EQ(currentMotif, expected);
    EXPECT_EQ(motifShown(window, expected), "");

    // Return without a change rewrites the file in the same form.
    writeFile("rc/motif.txt", "1\n2   3 4 5 6 7 8 9");
    pushKey(SDLK_RETURN);
    runEditor();
    EXPECT_EQ(readFile("rc/motif.txt"), "1 2 3 \n4 5 6 \n7 8 9 \n");
}

TEST_F(MotifEditorTest, EscapeOrAQuitRequestCloseWithoutSavingAndKeepTheChanges) {
    // Not in the form the editor writes, so that any rewrite shows.
    const std::string original = "1  0 0\n0 1 0\n0 0 1";
    for (bool quit : {false, true}) {
        writeFile("rc/motif.txt", original);
        clickValue(0);
        clickValue(4);
        clickValue(7);
        if (quit)
            pushQuit();
        else
            pushKey(SDLK_ESCAPE);
        clickValue(1);
        pushKey(SDLK_RETURN);
        SDL_Surface* window = runEditor();
        const Motif expected = {0, 0, 0, 0, 0, 0, 0, 1, 1};
        EXPECT_TRUE(eventsLeft()) << (quit ? "quit" : "Escape");
        EXPECT_EQ(currentMotif, expected) << (quit ? "quit" : "Escape");
        EXPECT_EQ(motifShown(window, expected), "") << (quit ? "quit" : "Escape");
        EXPECT_EQ(readFile("rc/motif.txt"), original) << (quit ? "quit" : "Escape");
    }
}

TEST_F(MotifEditorTest, TheEditorOpensOnTheBackgroundWithItsTitleInWhite) {
    pushKey(SDLK_ESCAPE);
    SDL_Surface* window = runEditor();
    // Everything but the title and the block is background, whatever the window held before.
    EXPECT_TRUE(showsBackground(window, 0, 0, 640, 30));
    EXPECT_TRUE(showsBackground(window, 0, 0, 50, 480));
    EXPECT_TRUE(showsBackground(window, 0, 205, 640, 275));
    EXPECT_TRUE(showsBackground(window, 372, 90, 268, 115));

    SDL_Surface* title = textPicture(30, "Editer le motif :", white);
    ASSERT_NE(title, nullptr);
    SDL_Surface* bg = picture("./rc/bgindex.bmp");
    ASSERT_NE(bg, nullptr);
    int whiteOverBackground = 0;
    for (int y = 30; y < 30 + title->h; ++y)
        for (int x = 50; x < 50 + title->w; ++x)
            if (pixel(window, x, y) == 0xffffffu && pixel(bg, x, y) != 0xffffffu)
                ++whiteOverBackground;
    EXPECT_GT(whiteOverBackground, 50);
    EXPECT_TRUE(showsBackground(window, 50 + title->w, 30, 640 - 50 - title->w, title->h));
}

TEST_F(MotifEditorTest, ValuesFromTheFileAreShownAsTheyAreAndSwitchWithTheTruncatingRemainder) {
    writeFile("rc/motif.txt", "3 2 -2 \n7 -1 2147483647 \n-2147483648 0 1 \n");
    pushKey(SDLK_ESCAPE);
    SDL_Surface* window = runEditor();
    const Motif read = {3, 2, -2, 7, -1, INT32_MAX, INT32_MIN, 0, 1};
    ASSERT_EQ(currentMotif, read);
    EXPECT_TRUE(shows(window, tile(3), 267, 100));
    // Values without a tile draw nothing: the background stays at their squares.
    EXPECT_EQ(motifShown(window, read), "");

    for (int i = 0; i < 9; ++i) clickValue(i);
    pushKey(SDLK_ESCAPE);
    window = runEditor();
    const Motif switched = {0, 1, -1, 0, 0, 0, -1, 1, 0};
    EXPECT_EQ(currentMotif, switched);
    EXPECT_TRUE(shows(window, tile(0), 267, 100));
    EXPECT_EQ(motifShown(window, switched), "");
}

TEST_F(MotifEditorTest, AMissingOrDirectoryMotifFileLeavesTheMotifAsItWas) {
    namespace fs = std::filesystem;
    const Motif before = {0, 0, 1, 0, 0, 0, 2, 0, 0};

    // Missing: the editor works on the motif it had, and Return writes a new file.
    fs::remove("rc/motif.txt");
    currentMotif = before;
    clickValue(4);
    pushKey(SDLK_RETURN);
    SDL_Surface* window = runEditor();
    Motif expected = before;
    expected[4] = 1;
    EXPECT_EQ(currentMotif, expected);
    EXPECT_EQ(motifShown(window, expected), "");
    EXPECT_EQ(readFile("rc/motif.txt"), "0 0 1 \n0 1 0 \n2 0 0 \n");

    // A directory in its place: nothing is read, and Escape leaves it there. The 2 switches to 1.
    fs::remove("rc/motif.txt");
    fs::create_directory("rc/motif.txt");
    currentMotif = before;
    clickValue(6);
    pushKey(SDLK_ESCAPE);
    window = runEditor();
    expected = before;
    expected[6] = 1;
    EXPECT_EQ(currentMotif, expected);
    EXPECT_EQ(motifShown(window, expected), "");
    EXPECT_TRUE(fs::is_directory("rc/motif.txt"));
}

TEST_F(MotifEditorTest, AReturnWhoseSaveFailsStillClosesTheEditor) {
    namespace fs = std::filesystem;
    // A directory with something in it cannot be replaced by the saved file.
    fs::remove("rc/motif.txt");
    fs::create_directories("rc/motif.txt/inside");
    const std::set<std::string> entriesBefore = rcEntries();
    currentMotif = cross;
    clickValue(1);
    pushKey(SDLK_RETURN);
    clickValue(3);
    pushQuit();
    SDL_Surface* window = runEditor();
    Motif expected = cross;
    expected[1] = 0;
    EXPECT_TRUE(eventsLeft());
    EXPECT_EQ(currentMotif, expected);
    EXPECT_EQ(motifShown(window, expected), "");
    EXPECT_TRUE(fs::is_directory("rc/motif.txt/inside"));
    EXPECT_EQ(rcEntries(), entriesBefore) << "nothing is left behind in rc/";
}

TEST_F(MotifEditorTest, AMissingFontOrTileDrawsNothingAndCrashesNothing) {
    namespace fs = std::filesystem;
    fs::remove("rc/Chalkduster.ttf");
    fs::remove("rc/1.bmp");
    clickValue(0);
    clickValue(4);
    pushKey(SDLK_RETURN);
    SDL_Surface* window = runEditor();
    const Motif expected = {1, 1, 0, 1, 0, 1, 0, 1, 0};
    EXPECT_EQ(font(30), nullptr);
    EXPECT_EQ(tile(1), nullptr);
    EXPECT_EQ(currentMotif, expected);
    // A square of value 1 keeps what it showed: the background where it was 1 from the start,
    // the tile of 0 where a click turned a 0 into 1. The title's place keeps the background.
    EXPECT_TRUE(shows(window, tile(0), 267, 100));
    EXPECT_TRUE(shows(window, tile(0), 302, 135));
    for (int i : {1, 3, 5, 7})
        EXPECT_TRUE(showsBackground(window, squareX(i), squareY(i), 35, 35)) << "m[" << i << "]";
    EXPECT_TRUE(showsBackground(window, 0, 0, 640, 100));
    EXPECT_EQ(readFile("rc/motif.txt"), "1 1 0 \n1 0 1 \n0 1 0 \n");
}

} // namespace

// The motif editor, driven through SDL's event queue: what it shows, what clicks switch, and
// what reaches the motif file.
#include "screens/motif_editor.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "screen_fixture.h"

namespace {

namespace fs = std::filesystem;

const Motif cross = {0, 1, 0, 1, 1, 1, 0, 1, 0};

class MotifEditorTest : public ScreenTest {
  protected:
    // Top-left corner of the square of m[i]: column i / 3, row i % 3 of the block at (267, 100).
    static int squareX(int i) { return 267 + 35 * (i / 3); }
    static int squareY(int i) { return 100 + 35 * (i % 3); }
    static void clickValue(int i, Uint8 button = SDL_BUTTON_LEFT) {
        pushClick(squareX(i) + 17, squareY(i) + 17, button);
    }
    static void clickValues(std::initializer_list<int> values) {
        for (int i : values) clickValue(i);
    }

    static void writeMotifFile(const std::string& text) {
        std::ofstream("rc/motif.txt", std::ios::binary) << text;
    }
    static std::string motifFile() {
        std::ifstream in("rc/motif.txt", std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    // Runs the editor in the menu's window, over junk, on the events queued so far.
    void runEditor() {
        window = openMenuWindow();
        SDL_FillRect(window, nullptr, SDL_MapRGB(window->format, 1, 2, 3));
        runMotifEditor(window);
    }

    // Empties SDL's queue and tells whether the editor had left events in it.
    static bool eventsLeft() {
        bool left = false;
        for (SDL_Event e; SDL_PollEvent(&e);) left = true;
        return left;
    }

    // Whether the window shows the background picture's own pixels over a rectangle.
    bool showsBackground(int x, int y, int w, int h) {
        SDL_Surface* bg = picture("./rc/bgindex.bmp");
        for (int py = y; py < y + h; ++py)
            for (int px = x; px < x + w; ++px)
                if (!bg || pixel(window, px, py) != pixel(bg, px, py)) return false;
        return true;
    }

    // The editor's motif is m, and each square shows the tile of its value, or the background
    // for a value without a tile.
    void expectMotif(const Motif& m) {
        EXPECT_EQ(currentMotif, m);
        for (int i = 0; i < 9; ++i)
            EXPECT_TRUE(tile(m[i]) ? shows(window, tile(m[i]), squareX(i), squareY(i))
                                   : showsBackground(squareX(i), squareY(i), 35, 35))
                << "square of m[" << i << "], value " << m[i];
    }

    SDL_Surface* window = nullptr;
};

TEST_F(MotifEditorTest, LeftClicksStrictlyInsideTheBlockSwitchTheValueUnderThePointer) {
    const std::pair<std::vector<std::pair<int, int>>, std::vector<int>> cases[] = {
        // The block's first pixel column and row miss, as do the pixels just past it.
        {{{267, 117}, {319, 100}, {372, 150}, {319, 205}}, {}},
        {{{268, 101}, {371, 204}}, {0, 8}},
        // Squares of 35 pixels from (267, 100); x picks the column.
        {{{301, 134}, {302, 135}, {354, 117}}, {0, 4, 6}},
        {{{280, 120},
          {280, 150},
          {280, 190},
          {320, 120},
          {320, 150},
          {320, 190},
          {360, 120},
          {360, 150},
          {360, 190}},
         {0, 1, 2, 3, 4, 5, 6, 7, 8}},
    };
    for (const auto& [clicks, switched] : cases) {
        SCOPED_TRACE(testing::PrintToString(clicks));
        for (auto [x, y] : clicks) pushClick(x, y);
        pushKey(SDLK_ESCAPE);
        runEditor();
        Motif expected = cross;
        for (int i : switched) expected[i] = 1 - expected[i];
        expectMotif(expected);
    }
}

TEST_F(MotifEditorTest, OnlyTheReleaseOfTheLeftButtonSwitchesAValue) {
    clickValue(4, SDL_BUTTON_MIDDLE);
    clickValue(6, SDL_BUTTON_RIGHT);
    clickValue(3, SDL_BUTTON_WHEELUP);
    clickValue(5, SDL_BUTTON_WHEELDOWN);
    // A press alone does nothing, a release alone switches; other keys and events neither
    // switch nor close the editor.
    pushButton(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 280, 120);
    pushButton(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 360, 190);
    SDL_Event motion{};
    motion.motion = {SDL_MOUSEMOTION, 0, 0, 319, 152, 0, 0};
    push(motion);
    pushKey(SDLK_a);
    pushKey(SDLK_SPACE);
    clickValue(2);
    pushKey(SDLK_ESCAPE);
    runEditor();
    expectMotif({0, 1, 1, 1, 1, 1, 0, 1, 1});
}

TEST_F(MotifEditorTest, ReturnSavesTheNineValuesThreePerLineAndCloses) {
    clickValues({0, 4, 8});
    pushKey(SDLK_RETURN);
    clickValue(2); // no longer the editor's
    pushQuit();
    runEditor();
    const Motif saved = {1, 1, 0, 1, 0, 1, 0, 1, 1};
    EXPECT_TRUE(eventsLeft());
    expectMotif(saved);
    EXPECT_EQ(motifFile(), "1 1 0 \n1 0 1 \n0 1 1 \n");

    // The next visit opens on the saved motif, even when the last one had unsaved changes.
    currentMotif = cross;
    pushKey(SDLK_ESCAPE);
    runEditor();
    expectMotif(saved);

    // Return without a change rewrites the file in the same form.
    writeMotifFile("1\n2   3 4 5 6 7 8 9");
    pushKey(SDLK_RETURN);
    runEditor();
    EXPECT_EQ(motifFile(), "1 2 3 \n4 5 6 \n7 8 9 \n");
}

TEST_F(MotifEditorTest, EscapeOrAQuitRequestCloseWithoutSavingAndKeepTheChanges) {
    // Not in the form the editor writes, so that any rewrite shows.
    const std::string original = "1  0 0\n0 1 0\n0 0 1";
    for (bool quit : {false, true}) {
        SCOPED_TRACE(quit ? "quit" : "Escape");
        writeMotifFile(original);
        clickValues({0, 4, 7});
        quit ? pushQuit() : pushKey(SDLK_ESCAPE);
        clickValue(1);
        pushKey(SDLK_RETURN);
        runEditor();
        EXPECT_TRUE(eventsLeft());
        expectMotif({0, 0, 0, 0, 0, 0, 0, 1, 1});
        EXPECT_EQ(motifFile(), original);
    }
}

TEST_F(MotifEditorTest, OpensOnItsBackgroundWithTheTitleTheHelpLineInWhiteAndTheTiles) {
    pushKey(SDLK_ESCAPE);
    runEditor();
    // Exactly this, whatever the window held before.
    Surface expected{SDL_CreateRGBSurface(SDL_SWSURFACE, 640, 480, 32, 0xff0000, 0xff00, 0xff, 0)};
    draw(expected.get(), picture("./rc/bgindex.bmp"), 0, 0);
    ASSERT_GT(drawText(expected.get(), 30, "Editer le motif :", white, 50, 30), 0);
    ASSERT_GT(drawText(expected.get(), 16,
                       "Clic : changer une case    Entree : enregistrer    Echap : annuler", white,
                       50, 440),
              0);
    for (int i = 0; i < 9; ++i) draw(expected.get(), tile(cross[i]), squareX(i), squareY(i));
    EXPECT_TRUE(shows(window, expected.get(), 0, 0));
}

TEST_F(MotifEditorTest, ValuesFromTheFileAreShownAsTheyAreAndSwitchWithTheTruncatingRemainder) {
    writeMotifFile("3 2 -2 \n7 -1 2147483647 \n-2147483648 0 1 \n");
    pushKey(SDLK_ESCAPE);
    runEditor();
    expectMotif({3, 2, -2, 7, -1, INT32_MAX, INT32_MIN, 0, 1});

    clickValues({0, 1, 2, 3, 4, 5, 6, 7, 8});
    pushKey(SDLK_ESCAPE);
    runEditor();
    expectMotif({0, 1, -1, 0, 0, 0, -1, 1, 0});
}

TEST_F(MotifEditorTest, AMissingFileIsWrittenOnReturnAndAFailedSaveStillCloses) {
    // Missing: the editor works on the motif it had.
    fs::remove("rc/motif.txt");
    currentMotif = {0, 0, 1, 0, 0, 0, 2, 0, 0};
    clickValues({4, 6});
    pushKey(SDLK_RETURN);
    runEditor();
    expectMotif({0, 0, 1, 0, 1, 0, 1, 0, 0});
    EXPECT_EQ(motifFile(), "0 0 1 \n0 1 0 \n1 0 0 \n");

    // A folder with something in it is neither read nor replaced, and nothing is left in rc/.
    fs::remove("rc/motif.txt");
    fs::create_directories("rc/motif.txt/inside");
    const auto rcEntries = [] {
        std::set<fs::path> names;
        for (const auto& entry : fs::directory_iterator("rc")) names.insert(entry.path());
        return names;
    };
    const auto entriesBefore = rcEntries();
    currentMotif = cross;
    clickValue(1);
    pushKey(SDLK_RETURN);
    clickValue(3);
    pushQuit();
    runEditor();
    EXPECT_TRUE(eventsLeft());
    expectMotif({0, 0, 0, 1, 1, 1, 0, 1, 0});
    EXPECT_TRUE(fs::is_directory("rc/motif.txt/inside"));
    EXPECT_EQ(rcEntries(), entriesBefore);
}

TEST_F(MotifEditorTest, AMissingFontOrTileDrawsNothingAndCrashesNothing) {
    fs::remove("rc/Chalkduster.ttf");
    fs::remove("rc/1.bmp");
    clickValues({0, 4});
    pushKey(SDLK_RETURN);
    runEditor();
    EXPECT_EQ(currentMotif, (Motif{1, 1, 0, 1, 0, 1, 0, 1, 0}));
    // A square of value 1 keeps what it showed: the background where it was 1 from the start,
    // the tile of 0 where a click turned a 0 into 1. The title's place keeps the background.
    EXPECT_TRUE(shows(window, tile(0), 267, 100));
    EXPECT_TRUE(shows(window, tile(0), 302, 135));
    for (int i : {1, 3, 5, 7}) EXPECT_TRUE(showsBackground(squareX(i), squareY(i), 35, 35)) << i;
    EXPECT_TRUE(showsBackground(0, 0, 640, 100));
    EXPECT_EQ(motifFile(), "1 1 0 \n1 0 1 \n0 1 0 \n");
}

} // namespace

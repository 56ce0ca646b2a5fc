// The game's command line: the board a code or --jour asks for, and the one French line each
// refusal gets on stderr, after which the game starts as without arguments.
#include <gtest/gtest.h>

#include <cstdlib>

#include "board/daily.h"
#include "screens/shared_board.h"

TEST(SharedBoard, ArgumentsGiveTheBoardOrOneLineOnStderr) {
    const CodedBoard zero{{4, 2, 0, 0}, {0, 1, 0, 1, 1, 1, 0, 1, 0}, newGrid(4)};
    const CodedBoard day = dailyBoard(std::chrono::year{2026} / 12 / 8).value();
    const std::string usage =
        " (kelvo CODE ou kelvo --jour) : le jeu s'ouvre sans plateau partagé.\n";
    const char* notADate = "2026-12-32";
    const struct {
        std::vector<std::string> args;
        std::optional<CodedBoard> board;
        std::string err, out = "";
        const char* date = "2026-12-08";
    } cases[] = {
        {{}, std::nullopt, ""},
        {{"142BA2"}, zero, ""},
        {{" 142ba2\n"}, zero, ""},
        {{"--jour"}, day, "", "Kelvo, plateau du 8 décembre\n"},
        {{"--jour"},
         std::nullopt,
         "kelvo: KELVO_DATE « 2026-12-32 » n'est pas une date AAAA-MM-JJ : plateau du jour "
         "d'aujourd'hui.\n",
         "Kelvo, plateau du ",
         notADate},
        {{"142BA3"},
         std::nullopt,
         "kelvo: Code du plateau refusé : il a été mal recopié (caractère de contrôle faux).\n"},
        {{"142B"}, std::nullopt, "kelvo: Code du plateau refusé : il est incomplet.\n"},
        {{"--help"}, std::nullopt, "kelvo: argument inconnu « --help »" + usage},
        {{"142BA2", "--jour"}, std::nullopt, "kelvo: trop d'arguments" + usage},
    };
    for (const auto& c : cases) {
        setenv(dateVariable, c.date, 1);
        testing::internal::CaptureStderr();
        testing::internal::CaptureStdout();
        const std::optional<CodedBoard> board = boardFromArguments(c.args);
        const std::string out = testing::internal::GetCapturedStdout();
        EXPECT_EQ(testing::internal::GetCapturedStderr(), c.err) << c.err;
        if (c.date == notADate) { // today's board, whichever it is
            EXPECT_TRUE(board && out.starts_with(c.out)) << out;
        } else {
            EXPECT_EQ(board, c.board) << c.err;
            EXPECT_EQ(out, c.out);
        }
    }
    unsetenv(dateVariable);
}

// Tests of the board's code: every setting round-trips on random boards, and a table of refused
// codes with the line each gets.
#include <gtest/gtest.h>

#include <random>

#include "board/board_code.h"
#include "board/daily.h"

static const Motif cross{0, 1, 0, 1, 1, 1, 0, 1, 0};

// Every side, colour count and torus, on a random board and on a zero board, with values up to
// 2k - 1: the code reads back as the game reduced modulo k, in lower case and blanks around too.
TEST(BoardCode, EverySettingRoundTrips) {
    std::mt19937 rng(3);
    for (int32_t n = minBoardSize; n <= maxGridSize; ++n)
        for (int32_t k = minColorCount; k <= maxColorCount; ++k)
            for (const int32_t torus : {0, 1})
                for (const bool zero : {false, true}) {
                    CodedBoard board{{n, k, 0, torus}, {}, newGrid(n)};
                    for (int32_t& v : board.motif) v = int32_t(rng() % (2 * k));
                    for (int32_t x = 0; x < n; ++x)
                        for (int32_t y = 0; y < n; ++y)
                            board.start.cells[x][y] =
                                int32_t(zero ? k * (rng() % 2) : rng() % (2 * k));
                    CodedBoard reduced{board.config, board.motif, reduceGrid(board.start, k)};
                    for (int32_t& v : reduced.motif) v %= k;
                    const std::string code = encodeBoardCode(board).value_or("");
                    ASSERT_LE(code.size(), zero ? 9u : 160u) << code;
                    EXPECT_EQ(decodeBoardCode(code).board, reduced) << code;
                    std::string lower;
                    for (const char c : code) lower += char(std::tolower(c));
                    EXPECT_EQ(decodeBoardCode(" " + lower + "\n").board, reduced) << lower;
                }
    // The zero 4 x 4 board with the cross, and the longest code of all.
    EXPECT_EQ(encodeBoardCode({{4, 2, 0, 0}, cross, newGrid(4)}), "142BA2");
    CodedBoard longest{{18, 5, 0, 1}, cross, newGrid(18)};
    for (int32_t x = 0; x < 18; ++x) longest.start.cells[x].fill(4);
    EXPECT_EQ(encodeBoardCode(longest)->size(), 160u);
    // No code for a negative value, settings out of range, or a board of another side.
    Grid negative = newGrid(4);
    negative.cells[3][3] = -1;
    for (const CodedBoard& board :
         {CodedBoard{{4, 2, 0, 0}, {0, -1}, newGrid(4)}, CodedBoard{{4, 3, 0, 0}, cross, negative},
          CodedBoard{{19, 2, 0, 0}, cross, newGrid(19)},
          CodedBoard{{4, 6, 0, 0}, cross, newGrid(4)}, CodedBoard{{5, 2, 0, 0}, cross, newGrid(4)}})
        EXPECT_EQ(encodeBoardCode(board), std::nullopt);
}

// A body of code characters followed by its check character.
static std::string checked(const std::string& body) { return body + codeCheckCharacter(body); }

TEST(BoardCode, RefusedCodesGetTheirLine) {
    const std::string zero = "142BA2"; // the zero 4 x 4 board with the cross
    struct Case {
        std::string code;
        CodeRefusal refusal;
        std::string line;
    };
    const Case cases[] = {
        {"", CodeRefusal::Empty, "il est vide"},
        {" \n", CodeRefusal::Empty, "il est vide"},
        {std::string(1001, '0'), CodeRefusal::TooLong, "il est beaucoup trop long"},
        {"142!A2", CodeRefusal::UnknownCharacter, "caractère inconnu « ! »"},
        {"142UA2", CodeRefusal::UnknownCharacter, "caractère inconnu « U »"},
        {"14 2BA2", CodeRefusal::UnknownCharacter, "caractère inconnu (espace)"},
        {"14é2BA2", CodeRefusal::UnknownCharacter, "caractère inconnu « é »"},
        {"14\t2BA2", CodeRefusal::UnknownCharacter, "caractère inconnu (octet 0x09)"},
        {"142", CodeRefusal::CutShort, "il est incomplet"},
        {"142BA", CodeRefusal::CutShort, "il est incomplet"},
        {"142BA20", CodeRefusal::ExtraCharacters, "il a des caractères en trop"},
        {"142BA2A", CodeRefusal::ExtraCharacters, "il a des caractères en trop"},
        {checked("142B"), CodeRefusal::CutShort, "il est incomplet"},
        {"142BA3", CodeRefusal::WrongCheck, "il a été mal recopié (caractère de contrôle faux)"},
        {"142AB2", CodeRefusal::WrongCheck, "il a été mal recopié (caractère de contrôle faux)"},
        {checked("242BA"), CodeRefusal::UnknownVersion,
         "version « 2 » inconnue (code d'une version plus récente du jeu ?)"},
        {checked("1K2BA"), CodeRefusal::SizeOutOfRange, "taille 19 hors des limites (2 à 18)"},
        {checked("112BA"), CodeRefusal::SizeOutOfRange, "taille 1 hors des limites (2 à 18)"},
        {checked("146BA"), CodeRefusal::ColorCountOutOfRange,
         "nombre de couleurs 6 hors des limites (2 à 5)"},
        {checked("141BA"), CodeRefusal::ColorCountOutOfRange,
         "nombre de couleurs 1 hors des limites (2 à 5)"},
        {checked("142BZ"), CodeRefusal::NoBoard, "il ne décrit aucun plateau"},
    };
    for (const Case& c : cases) {
        const CodeReading reading = decodeBoardCode(c.code);
        EXPECT_EQ(reading.board, std::nullopt) << c.code;
        EXPECT_EQ(reading.refusal, c.refusal) << c.code;
        EXPECT_EQ(reading.message, "Code du plateau refusé : " + c.line + ".") << c.code;
    }
    // One character changed anywhere, or two neighbours swapped, and the code is refused.
    const std::string code =
        encodeBoardCode(*dailyBoard(std::chrono::year{2026} / 12 / 13)).value();
    const std::string alphabet = "0123456789ABCDEFGHJKMNPQRSTVWXYZ";
    for (size_t i = 0; i < code.size(); ++i) {
        for (const char c : alphabet) {
            std::string typo = code;
            typo[i] = c;
            EXPECT_TRUE(c == code[i] || !decodeBoardCode(typo).board) << typo;
        }
        std::string swapped = code;
        if (i + 1 < code.size()) std::swap(swapped[i], swapped[i + 1]);
        EXPECT_TRUE(swapped == code || !decodeBoardCode(swapped).board) << swapped;
    }
}

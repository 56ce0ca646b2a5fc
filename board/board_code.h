// A board's code: one short text that holds a whole game (side, colours, torus, motif and start
// board), for links and chat messages, and its reader, which refuses a mistyped code.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "board/game_config.h"
#include "board/motif.h"

// What a code holds: the settings (randomStart is always 0, the start board is given), the motif
// with values 0 ... k-1, and the start board of side config.size with cells 0 ... k-1.
struct CodedBoard {
    GameConfig config;
    Motif motif{};
    Grid start;

    bool operator==(const CodedBoard&) const = default;
};

// Inputs longer than this are refused before they are read.
inline constexpr size_t maxCodeLength = 1000;

enum class CodeRefusal {
    None,
    Empty,
    TooLong,
    UnknownCharacter,
    CutShort,
    ExtraCharacters,
    WrongCheck,
    UnknownVersion,
    SizeOutOfRange,
    ColorCountOutOfRange,
    NoBoard,
};

struct CodeReading {
    std::optional<CodedBoard> board; // the game, when the code is accepted
    CodeRefusal refusal = CodeRefusal::None;
    std::string message; // the one French line that says why the code is refused
};

// The code of a game, in upper case. The motif's values and the cells are taken modulo k; a
// negative one, a side or colour count out of range, or a start board of another side, has none.
std::optional<std::string> encodeBoardCode(const CodedBoard& board);
// Reads a code: case does not matter, I and L read as 1 and O as 0, and blanks around it are
// ignored.
CodeReading decodeBoardCode(std::string_view code);

// The check character that ends a code whose other characters are body.
char codeCheckCharacter(std::string_view body);

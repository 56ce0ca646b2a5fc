// libFuzzer target for the board code's reader: any bytes are either refused with their line, or
// read as a game whose own code reads back the same and spells the bytes read.
#include <cstdlib>
#include <string>
#include <string_view>

#include "board/board_code.h"

// The code as the reader takes it: without the blanks around it, in upper case, I and L as 1, O
// as 0.
static std::string spelled(std::string_view text) {
    constexpr std::string_view blanks = " \t\n\v\f\r";
    const size_t first = text.find_first_not_of(blanks);
    std::string code(
        first == text.npos ? "" : text.substr(first, text.find_last_not_of(blanks) + 1 - first));
    for (char& c : code) {
        c = c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
        c = c == 'I' || c == 'L' ? '1' : c == 'O' ? '0' : c;
    }
    return code;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const CodeReading reading = decodeBoardCode(text);
    if (!reading.board) {
        if (reading.refusal == CodeRefusal::None ||
            !reading.message.starts_with("Code du plateau refusé : ") ||
            !reading.message.ends_with("."))
            std::abort();
        return 0;
    }
    const CodedBoard& board = *reading.board;
    const std::optional<std::string> code = encodeBoardCode(board);
    if (size > maxCodeLength || reading.refusal != CodeRefusal::None || !code ||
        decodeBoardCode(*code).board != board)
        std::abort();
    // Only a zero board written cell by cell has a shorter code than the one read.
    if (spelled(text) != *code && board.start != newGrid(board.config.size)) std::abort();
    return 0;
}

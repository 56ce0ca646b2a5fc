// A board's code: a version, the side, the colours and flags, the motif and the cells packed
// several to a character, and a check character, all in a case-free alphabet of 32 characters.
#include "board/board_code.h"

#include <algorithm>
#include <vector>

namespace {

// Digits and capitals without I, L, O and U, which are too easily taken for 1, 1, 0 and V.
constexpr std::string_view alphabet = "0123456789ABCDEFGHJKMNPQRSTVWXYZ";
constexpr int32_t codeVersion = 1;
// The third character: the colour count, plus these flags.
constexpr int32_t torusFlag = 8;
constexpr int32_t cellsFlag = 16; // the start board follows the motif; without it, all cells are 0
constexpr size_t headerLength = 3;

// A character's value in the alphabet, -1 for none.
int32_t characterValue(char c) {
    if (c >= 'a' && c <= 'z') {
        c = static_cast<char>(c - 'a' + 'A');
    }
    if (c == 'I' || c == 'L') {
        return 1;
    }
    if (c == 'O') {
        return 0;
    }
    const size_t at = alphabet.find(c);
    return at == std::string_view::npos ? -1 : static_cast<int32_t>(at);
}

// The check reads the characters as the coefficients of a polynomial over GF(32), evaluated at
// x: every weight is non-zero and differs from its neighbours', so any one changed character, or
// two neighbours swapped, changes the sum. A code is sound when the sum with its check is 0.
int32_t timesX(int32_t v) { return (v << 1) ^ ((v & 16) != 0 ? 0b100101 : 0); } // x^5 = x^2 + 1

int32_t checkSum(const std::vector<int32_t>& digits) {
    int32_t sum = 0;
    for (const int32_t d : digits) {
        sum = timesX(sum) ^ d;
    }
    return sum;
}

// How many values of k colours one group packs: 5 in 1 character, 22 in 7, 5 in 2, 15 in 7, the
// groups with k^values <= 32^characters that waste little and fit in 64 bits.
size_t groupValues(int32_t k) {
    constexpr size_t values[] = {0, 0, 5, 22, 5, 15};
    return values[k];
}

uint64_t power(uint64_t base, size_t exponent) {
    uint64_t p = 1;
    for (size_t i = 0; i < exponent; ++i) {
        p *= base;
    }
    return p;
}

// The fewest characters that hold r values of k colours.
size_t groupCharacters(int32_t k, size_t r) {
    const uint64_t span = power(k, r);
    size_t chars = 0;
    for (uint64_t room = 1; room < span; room *= 32) {
        ++chars;
    }
    return chars;
}

// The characters of `count` values packed in groups.
size_t packedLength(int32_t k, size_t count) {
    const size_t g = groupValues(k);
    return count / g * groupCharacters(k, g) + groupCharacters(k, count % g);
}

size_t valueCount(int32_t n, bool withCells) { return 9 + (withCells ? size_t(n) * n : 0); }

CodeReading refused(CodeRefusal refusal, const std::string& why) {
    return {std::nullopt, refusal, "Code du plateau refusé : " + why + "."};
}

// How an unknown character is named to the player: as itself when it can be shown.
std::string shownCharacter(std::string_view rest) {
    const auto byte = static_cast<unsigned char>(rest[0]);
    if (byte > ' ' && byte < 0x7f) {
        return "« " + std::string(1, rest[0]) + " »";
    }
    if (byte == ' ') {
        return "(espace)";
    }
    // A Latin letter with an accent, written in UTF-8 as two bytes, U+00C0 ... U+017F.
    if (rest.size() >= 2 && (byte == 0xc3 || byte == 0xc4 || byte == 0xc5) &&
        (static_cast<unsigned char>(rest[1]) & 0xc0) == 0x80) {
        return "« " + std::string(rest.substr(0, 2)) + " »";
    }
    constexpr char hex[] = "0123456789ABCDEF";
    return std::string("(octet 0x") + hex[byte >> 4] + hex[byte & 15] + ")";
}

CodeReading wrongLength(size_t length, size_t expected) {
    return length < expected ? refused(CodeRefusal::CutShort, "il est incomplet")
                             : refused(CodeRefusal::ExtraCharacters, "il a des caractères en trop");
}

} // namespace

char codeCheckCharacter(std::string_view body) {
    std::vector<int32_t> digits;
    for (const char c : body) {
        digits.push_back(std::max(characterValue(c), 0));
    }
    return alphabet[timesX(checkSum(digits))];
}

std::optional<std::string> encodeBoardCode(const CodedBoard& board) {
    const int32_t n = board.config.size;
    const int32_t k = board.config.colorCount;
    if (n < minBoardSize || n > maxGridSize || k < minColorCount || k > maxColorCount ||
        board.start.size != n) {
        return std::nullopt;
    }
    std::vector<int32_t> values(board.motif.begin(), board.motif.end());
    for (int32_t x = 0; x < n; ++x) {
        values.insert(values.end(), board.start.cells[x].begin(), board.start.cells[x].begin() + n);
    }
    if (std::any_of(values.begin(), values.end(), [](int32_t v) { return v < 0; })) {
        return std::nullopt;
    }
    for (int32_t& v : values) {
        v %= k;
    }
    const bool withCells =
        std::any_of(values.begin() + 9, values.end(), [](int32_t v) { return v; });
    values.resize(valueCount(n, withCells));

    std::string code{
        alphabet[codeVersion], alphabet[n],
        alphabet[k + (wrapsAround(board.config) ? torusFlag : 0) + (withCells ? cellsFlag : 0)]};
    const size_t g = groupValues(k);
    for (size_t first = 0; first < values.size(); first += g) {
        const size_t r = std::min(g, values.size() - first);
        uint64_t group = 0;
        for (size_t i = 0; i < r; ++i) {
            group = group * k + values[first + i];
        }
        for (size_t c = groupCharacters(k, r); c-- > 0;) {
            code += alphabet[(group >> (5 * c)) & 31];
        }
    }
    code += codeCheckCharacter(code);
    return code;
}

CodeReading decodeBoardCode(std::string_view code) {
    if (code.size() > maxCodeLength) {
        return refused(CodeRefusal::TooLong, "il est beaucoup trop long");
    }
    constexpr std::string_view blanks = " \t\n\v\f\r";
    code.remove_prefix(std::min(code.size(), code.find_first_not_of(blanks)));
    code.remove_suffix(code.size() - (code.find_last_not_of(blanks) + 1));
    if (code.empty()) {
        return refused(CodeRefusal::Empty, "il est vide");
    }
    std::vector<int32_t> digits;
    for (size_t i = 0; i < code.size(); ++i) {
        digits.push_back(characterValue(code[i]));
        if (digits.back() < 0) {
            return refused(CodeRefusal::UnknownCharacter,
                           "caractère inconnu " + shownCharacter(code.substr(i)));
        }
    }
    if (digits.size() <= headerLength) {
        return refused(CodeRefusal::CutShort, "il est incomplet");
    }
    const int32_t n = digits[1];
    const int32_t k = digits[2] % torusFlag;
    const bool withCells = (digits[2] & cellsFlag) != 0;
    const bool readable = digits[0] == codeVersion && n >= minBoardSize && n <= maxGridSize &&
                          k >= minColorCount && k <= maxColorCount;
    const size_t expected =
        readable ? headerLength + packedLength(k, valueCount(n, withCells)) + 1 : 0;
    // A code cut short or run on fails its check too; its header says which it is.
    if (checkSum(digits) != 0) {
        if (readable && digits.size() != expected) {
            return wrongLength(digits.size(), expected);
        }
        return refused(CodeRefusal::WrongCheck,
                       "il a été mal recopié (caractère de contrôle faux)");
    }
    if (digits[0] != codeVersion) {
        return refused(CodeRefusal::UnknownVersion,
                       "version « " + std::string(1, alphabet[digits[0]]) +
                           " » inconnue (code d'une version plus récente du jeu ?)");
    }
    if (n < minBoardSize || n > maxGridSize) {
        return refused(CodeRefusal::SizeOutOfRange,
                       "taille " + std::to_string(n) + " hors des limites (2 à 18)");
    }
    if (k < minColorCount || k > maxColorCount) {
        return refused(CodeRefusal::ColorCountOutOfRange,
                       "nombre de couleurs " + std::to_string(k) + " hors des limites (2 à 5)");
    }
    if (digits.size() != expected) {
        return wrongLength(digits.size(), expected);
    }

    std::vector<int32_t> values(valueCount(n, withCells));
    const size_t g = groupValues(k);
    for (size_t first = 0, at = headerLength; first < values.size(); first += g) {
        const size_t r = std::min(g, values.size() - first);
        uint64_t group = 0;
        for (size_t c = groupCharacters(k, r); c > 0; --c) {
            group = group * 32 + static_cast<uint64_t>(digits[at++]);
        }
        if (group >= power(k, r)) {
            return refused(CodeRefusal::NoBoard, "il ne décrit aucun plateau");
        }
        for (size_t i = r; i-- > 0; group /= k) {
            values[first + i] = static_cast<int32_t>(group % k);
        }
    }
    CodedBoard board{.config = {.size = n,
                                .colorCount = k,
                                .randomStart = 0,
                                .torus = (digits[2] & torusFlag) != 0 ? 1 : 0},
                     .start = newGrid(n)};
    std::copy_n(values.begin(), 9, board.motif.begin());
    for (size_t cell = 9; cell < values.size(); ++cell) {
        board.start.cells[(cell - 9) / n][(cell - 9) % n] = values[cell];
    }
    return {board, CodeRefusal::None, ""};
}

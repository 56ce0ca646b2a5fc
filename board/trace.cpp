// Writing the click counts: rows of the board, left to right, top row first.
#include "board/trace.h"

#include "platform/file_replace.h"

std::string traceText(const Grid& counts) {
    std::string text;
    for (int32_t y = 0; y < counts.size; ++y) {
        for (int32_t x = 0; x < counts.size; ++x) {
            text += std::to_string(counts.cells[x][y]);
            text += ' ';
        }
        text += '\n';
    }
    return text;
}

// Rewritten after every move: a crash may lose the latest counts, never the whole file, and the
// move does not wait for the disk.
bool writeTrace(const Grid& counts) {
    return replaceFile(tracePath, traceText(counts), Durability::Unsynced);
}

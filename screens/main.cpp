// Program entry: the game runs from its main menu, after the board its arguments ask for.
#include <csignal>
#include <string>
#include <vector>

#include "screens/menu.h"
#include "screens/shared_board.h"

int main(int argc, char** argv) {
    // A file-size limit makes a write fail with EFBIG instead of killing the game; the files are
    // replaced whole, so a failed write loses nothing.
    std::signal(SIGXFSZ, SIG_IGN);
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    return runMainMenu(boardFromArguments(args));
}

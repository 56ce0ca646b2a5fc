// Program entry: the game runs from its main menu.
#include <csignal>

#include "screens/menu.h"

int main(int, char**) {
    // A file-size limit makes a write fail with EFBIG instead of killing the game; the files are
    // replaced whole, so a failed write loses nothing.
    std::signal(SIGXFSZ, SIG_IGN);
    return runMainMenu();
}

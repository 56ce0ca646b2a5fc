// Program entry: the game runs from its main menu.
#include <malloc.h>

#include <csignal>

#include "screens/menu.h"

int main(int, char**) {
    // A file-size limit makes a write fail with EFBIG instead of killing the game; the files are
    // replaced whole, so a failed write loses nothing.
    std::signal(SIGXFSZ, SIG_IGN);
    // Windows and pictures are large blocks that come and go with each game. Mapped on their own
    // (glibc's first threshold, kept fixed), they go back to the system when freed instead of
    // leaving holes in the heap.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    return runMainMenu();
}

// Draws every picture of the game at build time: the screen backgrounds, the five tiles and the
// icons.
//
//     make-pictures [--png] <font-file> <rc-dir> <icon-dir> <icon-size>... [--maskable <size>...]
//
// With --png the game's pictures are PNG files, for the browser's build; the sizes after
// --maskable are those of the maskable icons that an installed web page needs.

#include "draw.h"
#include "scenes.h"

#include <cstring>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "--png") == 0) {
        writeBitmapsAsPng();
        --argc;
        ++argv;
    }
    if (argc < 4) {
        std::cerr << "usage: make-pictures [--png] <font-file> <rc-dir> <icon-dir> <icon-size>... "
                     "[--maskable <size>...]\n";
        return 2;
    }
    try {
        std::vector<int> iconSizes;
        std::vector<int> maskableSizes;
        std::vector<int>* sizes = &iconSizes;
        for (int i = 4; i < argc; ++i) {
            if (std::strcmp(argv[i], "--maskable") == 0)
                sizes = &maskableSizes;
            else
                sizes->push_back(std::stoi(argv[i]));
        }
        makePictures(argv[1], argv[2], argv[3], iconSizes, maskableSizes);
    } catch (const std::exception& e) {
        std::cerr << "make-pictures: " << e.what() << '\n';
        return 1;
    }
    return 0;
}

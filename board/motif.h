// The motif laid on the board by a move, its file, and the move rule.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "board/grid.h"

// m[3a + b] acts on the cell at horizontal offset a - 1 and vertical offset b - 1 of the click.
using Motif = std::array<int32_t, 9>;

inline constexpr const char* motifPath = "./rc/motif.txt";

// The one motif of the program, refreshed from the file when a game or the editor starts.
extern Motif currentMotif;

// Reads up to nine numbers into motif; the values not read keep what they held.
// A missing or unreadable file, or anything but a regular file (a folder, a pipe, a device),
// leaves motif as it was.
void loadMotif(const std::string& path, Motif& motif);
void loadMotif();
// Replaces the file with the motif, three lines of "%d %d %d \n"; on any failure the old
// file stays as it was. Returns whether the new content is in place.
bool saveMotif(const std::string& path, const Motif& motif);
void saveMotif();

// The motif file's text for a motif: line a holds m[3a], m[3a+1], m[3a+2].
std::string motifText(const Motif& motif);

// Brings i into 0 ... n-1 for i in -n ... 2n-1.
int32_t wrapIndex(int32_t i, int32_t n);
// A fresh board of side n holding the motif centred on (x, y), wrapped round the edges.
Grid placeMotifTorus(int32_t n, int32_t x, int32_t y, const Motif& motif);
// The same without the values that fall outside the board.
Grid placeMotifClipped(int32_t n, int32_t x, int32_t y, const Motif& motif);

// One move: the motif laid on (x, y), added to the board and reduced modulo k.
Grid playMove(const Grid& board, int32_t x, int32_t y, const Motif& motif, int32_t k, bool torus);

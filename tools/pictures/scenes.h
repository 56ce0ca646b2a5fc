// Every picture of the game, drawn at build time.
#pragma once

#include <filesystem>
#include <vector>

// Writes the screens' backgrounds, the tiles and the window icon as bitmaps into `rcDir`, and
// the desktop icons and the maskable ones (full squares, for a phone to cut) of the sizes given
// as PNG into `iconDir`; throws when a picture cannot be drawn or written.
void makePictures(const std::filesystem::path& fontFile, const std::filesystem::path& rcDir,
                  const std::filesystem::path& iconDir, const std::vector<int>& iconSizes,
                  const std::vector<int>& maskableSizes = {});

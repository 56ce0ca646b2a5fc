// Replacing a small file whole, so that a failed write never leaves it half written.
#pragma once

#include <string>
#include <string_view>

// Synced forces the new content to the disk before it takes the old one's place, so that even a
// power cut finds the old or the new file. Unsynced keeps that promise against failed writes
// only (after a power cut the file may be empty) and costs no wait for the disk: enough for a
// file rewritten after every move, not for the player's motif.
enum class Durability { Synced, Unsynced };

// Writes content to a temporary file beside path and renames it over path. On any failure
// (disk full, file-size limit, unwritable folder) path keeps its old content, the temporary
// file is removed, and false is returned.
bool replaceFile(const std::string& path, std::string_view content,
                 Durability durability = Durability::Synced);

// Replacing a small file whole, so that a failed write never leaves it half written.
#pragma once

#include <string>
#include <string_view>

// Synced forces the new content to the disk before it takes the old one's place, so that even a
// power cut finds the old or the new file. Unsynced keeps that promise against failed writes
// only (after a power cut the file may be empty) and costs no wait for the disk: enough for a
// file rewritten after every move, not for the player's motif.
enum class Durability { Synced, Unsynced };

// Writes content to a temporary file beside path and renames it over path. A symbolic link is
// followed and stays a link; the file keeps its mode and owner, and a new one gets 0666 less
// the umask. On any failure (disk full, file-size limit, a file the player may not write, a
// missing folder) path keeps its old content, the temporary file is removed, and false is
// returned. Where no temporary file can be made (a folder the player cannot write, someone
// else's file) the file is written in place, as a plain write would.
bool replaceFile(const std::string& path, std::string_view content,
                 Durability durability = Durability::Synced);

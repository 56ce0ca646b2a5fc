// Replacing a small file whole, so that a failed write never leaves it half written.
#pragma once

#include <string>
#include <string_view>

// Writes content to a temporary file beside path and renames it over path. On any failure
// (disk full, file-size limit, unwritable folder) path keeps its old content, the temporary
// file is removed, and false is returned.
bool replaceFile(const std::string& path, std::string_view content);

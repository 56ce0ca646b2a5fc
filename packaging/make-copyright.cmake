# Writes the Debian copyright file: our own paragraphs, then the font's, taken from the font
# package's machine-readable copyright file, its "Files: *" paragraph aimed at the shipped font.
#   cmake -DHEADER=copyright.in -DFONT_LICENCE=... -DFONT_FILE=... -DOUTPUT=... -P make-copyright.cmake
file(READ "${HEADER}" header)
file(READ "${FONT_LICENCE}" font)
string(FIND "${font}" "\nFiles: *\n" start)
if(start EQUAL -1)
  message(FATAL_ERROR "${FONT_LICENCE}: no \"Files: *\" paragraph")
endif()
math(EXPR start "${start} + 1")
string(SUBSTRING "${font}" ${start} -1 font)
# A paragraph ends at the first blank line; the ones after it are about the font's packaging.
string(FIND "${font}" "\n\n" end)
if(NOT end EQUAL -1)
  string(SUBSTRING "${font}" 0 ${end} font)
endif()
string(REPLACE "Files: *\n" "Files: ${FONT_FILE}\n" font "${font}")
file(WRITE "${OUTPUT}" "${header}\n${font}\n")

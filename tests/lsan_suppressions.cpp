// Leaks that LeakSanitizer should not report: blocks that SDL 2 (under the SDL 1.2 interface),
// Xlib, D-Bus and fontconfig keep until the process ends. They are the system libraries' own, not
// ours.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libSDL2\nleak:libSDL-1.2\nleak:libX11\nleak:libdbus\nleak:libfontconfig\n";
}

// Keeps the list of suppressions used out of the programs' error output.
extern "C" const char* __lsan_default_options() { return "print_suppressions=0"; }

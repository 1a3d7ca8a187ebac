#include "app/usage.h"

namespace vellox {

const char kVersion[] = "vellox 1.0.0\n";

const char kBanner[] =
    "Converter PDF Outlines to Amazon Kindle bookmarks\n"
    "Copyright (C) 2026 the Vellox developers\n";

const char kUsage[] =
    "Usage: vellox FILE.pdf [-ML DEPTH] [-PL]\n"
    "       vellox FOLDER [-ML DEPTH] [-PL] [-j THREADS]\n"
    "       vellox --show FILE.pdr|FILE.pdf [-ML DEPTH] [-PL]\n"
    "\n"
    "Reads the outline (the bookmarks) of FILE.pdf and writes them as a Kindle\n"
    "bookmark file beside it: the same path with the extension \".pdr\".\n"
    "Each bookmark keeps its page and its title, indented by its depth.\n"
    "Given a FOLDER, converts every PDF below it, each bookmark file beside\n"
    "its PDF.\n"
    "\n"
    "A relative FILE or FOLDER is taken from the current directory. On Windows,\n"
    "when vellox is started by a path with a backslash (C:\\Tools\\vellox, and\n"
    "always from PowerShell, a shortcut or \"start\"), it is looked for in the\n"
    "program's own folder first; where both folders have it, the program's\n"
    "wins, with a warning: give the full path for the other (\"$PWD\\book.pdf\"\n"
    "in PowerShell, $PWD for the current directory itself). One FILE or FOLDER\n"
    "a run; wildcards (*.pdf) are not expanded on Windows: give the folder.\n"
    "\n"
    "Options (after the file name):\n"
    "  -ML DEPTH     keep bookmarks down to level DEPTH only (0: top level)\n"
    "  -PL           label each bookmark with its page's printed label (iv,\n"
    "                A-1, ...) where the PDF defines one, not the page number\n"
    "  -j THREADS    convert a folder with this many threads (default: one\n"
    "                per processor core)\n"
    "  --show FILE   print the bookmarks of a .pdr file, or those a PDF's .pdr\n"
    "                would hold, one \"PAGE<tab>TEXT\" line each (control\n"
    "                characters as \\xHH); writes nothing\n"
    "  -h, --help    show this help and exit (on Windows, /? too)\n"
    "  --version     show the version and exit\n"
    "\n"
    "Exit status: 0 converted, 1 failed (nothing written, an existing .pdr\n"
    "left as it was; in a folder, at least one PDF failed), 2 wrong usage.\n";

}  // namespace vellox

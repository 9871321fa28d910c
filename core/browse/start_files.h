// The files named when the program starts (`Norvane FILE...`, or the desktop
// entry's %F): which of them the setup window's target grid takes, and the
// folder the browser opens in. The grid takes them as a click in the file
// list takes a file: as full native paths, so a name keeps its bytes whatever
// the code page holds of it, up to the grid's 20 rows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace core {

// The program's own command line, after Qt has taken out its options.
struct StartArguments {
    std::vector<std::string> files;  // as given
    bool help = false;               // --help
    bool checkHelp = false;          // --check-help, the package test's
    std::string unknownOption;       // the first option not known; empty when none
};

// Reads the arguments (the program's name left out). "--" ends the options;
// "-" and every word not starting with "-" are files.
StartArguments ReadStartArguments(std::span<const std::string> arguments);

// A named file the grid does not take, and why: a platform error code, whose
// message the error table gives (2 missing, 3 a folder on the way missing or a
// name a listing could not be read back with, 5 a folder, a device or a FIFO,
// or a file that can't be read).
struct RefusedFile {
    std::string named;  // as it was named
    std::int32_t code;
};

struct StartFiles {
    // What one message can list; past that the refusals are only counted.
    static constexpr std::size_t kRefusalsListed = 10;

    std::vector<std::string> targets;  // full native paths, in the order named, at most 20
    std::string folder;                // the first target's folder; empty when none was taken
    std::vector<RefusedFile> refused;  // the first refusals, up to kRefusalsListed
    std::size_t moreRefused = 0;       // refusals past those
    std::size_t leftOver = 0;          // named after the 20th target: not looked at
};

// Chooses the grid's rows from the named files, in order. A relative name is
// taken from currentFolder; the folder part of each is resolved as the system
// walks it (links, "." and ".."), the name itself kept, so a link to a file
// keeps the link's name. A file is taken when it opens for reading as a
// regular file and its path holds no "*"; the same file named twice is taken
// twice, as two clicks take it.
StartFiles ChooseStartFiles(std::span<const std::string> named, std::string_view currentFolder);

}  // namespace core

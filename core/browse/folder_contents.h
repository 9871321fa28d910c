// What the folder list and the file list show of a folder.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace core {

struct FolderContents {
    std::vector<std::string> folders;  // sub-folders
    std::vector<std::string> files;    // regular files
};

// Reads the folder: its sub-folders and its regular files, names native,
// each list sorted without regard to case. Hidden entries (names starting
// with "."), names holding "*" (a file header line that named one could not
// be read back: " *" ends its path) and everything neither a folder nor a
// regular file are left out. A folder that can't be read raises EInOutError
// with the platform's code.
FolderContents ReadFolderContents(std::string_view folder);

// Makes the folder the process's current folder; EInOutError when it can't be.
void ChangeCurrentFolder(std::string_view folder);

}  // namespace core

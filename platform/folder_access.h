// Folders as the browser lists them: the entries of a folder and the
// process's current folder. Paths and names are native, as the system gives
// them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

enum class EntryKind { File, Folder, Other };

struct FolderEntry {
    std::string name;  // native
    EntryKind kind;    // of what a symbolic link names; Other for a broken one
};

// Lists the entries of a folder, without "." and "..", in the order the file
// system gives them. Returns 0 or the platform error code: a missing folder
// gives kFileNotFound (kPathNotFound when a folder on the way is missing), a
// file gives kPathNotFound, and a folder that can be listed but not entered
// gives kAccessDenied, since the file list could not make it current.
std::int32_t ReadFolderEntries(std::string_view path, std::vector<FolderEntry>& entries);

// Makes the folder the process's current folder; 0 or the error code.
std::int32_t SetCurrentFolder(std::string_view path);

// The absolute form of an existing path, with every ".", ".." and symbolic
// link resolved, as the system walks them; 0 or the error code, with real
// left empty.
std::int32_t RealPath(std::string_view path, std::string& real);

// The process's current folder; "/" when the system can't
// tell it (it was removed, or lies outside the process's root).
std::string CurrentFolder();

}  // namespace platform

// Full paths of the browser: native names with "/" between them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace core {

// The folder and the name joined by "/", with no second "/" when the folder
// already ends in one (the root "/").
std::string JoinPath(std::string_view folder, std::string_view name);

// Whether path is the folder itself or lies inside it.
bool PathIsWithin(std::string_view path, std::string_view folder);

// One level of the folder list's tree.
struct FolderLevel {
    std::string path;  // the folder's full path
    std::string name;  // what the list shows: the root's whole path, else the folder's name
};

// The folders from root down to folder, both included; just the root when
// folder doesn't lie inside it.
std::vector<FolderLevel> FolderLevels(std::string_view root, std::string_view folder);

}  // namespace core

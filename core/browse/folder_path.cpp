#include "core/browse/folder_path.h"

#include <algorithm>

namespace core {

// "/" (0x2F) is never the second byte of a double-byte character, so a byte
// test for it is a character test.

std::string JoinPath(std::string_view folder, std::string_view name) {
    std::string path(folder);
    if (path.empty() || path.back() != '/') path += '/';
    path += name;
    return path;
}

bool PathIsWithin(std::string_view path, std::string_view folder) {
    if (path.substr(0, folder.size()) != folder) return false;
    if (path.size() == folder.size()) return true;
    return (!folder.empty() && folder.back() == '/') || path[folder.size()] == '/';
}

std::vector<FolderLevel> FolderLevels(std::string_view root, std::string_view folder) {
    std::vector<FolderLevel> levels{{std::string(root), std::string(root)}};
    if (!PathIsWithin(folder, root)) return levels;
    std::string path(root);
    std::size_t at = root.size();
    while (at < folder.size()) {
        while (at < folder.size() && folder[at] == '/') ++at;
        const auto end = std::min(folder.find('/', at), folder.size());
        if (end > at) {
            const std::string_view name = folder.substr(at, end - at);
            path = JoinPath(path, name);
            levels.push_back({path, std::string(name)});
        }
        at = end;
    }
    return levels;
}

}  // namespace core

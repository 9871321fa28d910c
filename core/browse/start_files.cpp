#include "core/browse/start_files.h"

#include "core/browse/folder_path.h"
#include "core/browse/target_grid.h"
#include "platform/file_access.h"
#include "platform/folder_access.h"

#include <utility>

namespace core {

namespace {

constexpr std::size_t kMostTargets = TargetGrid::kLastTargetRow - TargetGrid::kFirstRow + 1;

// The path's folder part and its last name ("/" and "a.txt" for "/a.txt").
std::pair<std::string, std::string> SplitLast(std::string_view path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string_view::npos) return {".", std::string(path)};
    return {std::string(path.substr(0, slash == 0 ? 1 : slash)), std::string(path.substr(slash + 1))};
}

// The full path of the file named, as the browser would hold it; 0 or the
// code that refuses it.
std::int32_t ResolveNamed(std::string_view named, std::string_view currentFolder, std::string& path) {
    if (named.empty()) return platform::err::kPathNotFound;
    const std::string absolute = named.front() == '/' ? std::string(named) : JoinPath(currentFolder, named);
    auto [folder, name] = SplitLast(absolute);
    // A name that is a folder itself ("x/", ".", ".."): resolved whole, it is
    // then refused as a folder.
    if (name.empty() || name == "." || name == "..") return platform::RealPath(absolute, path);
    std::string real;
    if (const std::int32_t code = platform::RealPath(folder, real)) {
        // The file's folder missing is a path that can't be made, as the
        // search would say of it.
        return code == platform::err::kFileNotFound ? platform::err::kPathNotFound : code;
    }
    path = JoinPath(real, name);
    return 0;
}

std::int32_t CheckNamed(std::string_view named, std::string_view currentFolder, std::string& path) {
    if (const std::int32_t code = ResolveNamed(named, currentFolder, path)) return code;
    // " *" ends a file header line's path: the listing could not be read back.
    // The browser lists no such name either; code 3's message calls it invalid.
    if (path.find('*') != std::string::npos) return platform::err::kPathNotFound;
    // What the search would open: a regular file that opens for reading.
    platform::File file;
    return file.OpenExisting(path);
}

}  // namespace

StartArguments ReadStartArguments(std::span<const std::string> arguments) {
    StartArguments read;
    bool options = true;
    for (const std::string& argument : arguments) {
        if (options && argument == "--") {
            options = false;
        } else if (!options || argument.size() < 2 || argument.front() != '-') {
            read.files.push_back(argument);
        } else if (argument == "--help") {
            read.help = true;
        } else if (argument == "--check-help") {
            read.checkHelp = true;
        } else if (read.unknownOption.empty()) {
            read.unknownOption = argument;
        }
    }
    return read;
}

StartFiles ChooseStartFiles(std::span<const std::string> named, std::string_view currentFolder) {
    StartFiles start;
    for (const std::string& one : named) {
        if (start.targets.size() == kMostTargets) {
            ++start.leftOver;
            continue;
        }
        std::string path;
        if (const std::int32_t code = CheckNamed(one, currentFolder, path)) {
            if (start.refused.size() < StartFiles::kRefusalsListed) {
                start.refused.push_back({one, code});
            } else {
                ++start.moreRefused;
            }
            continue;
        }
        start.targets.push_back(std::move(path));
    }
    if (!start.targets.empty()) start.folder = SplitLast(start.targets.front()).first;
    return start;
}

}  // namespace core

#include "core/search/target_paths.h"

#include "core/search/global_search.h"
#include "platform/native_names.h"

#include <algorithm>

namespace core {

std::string NativeFor(std::string_view path, std::string_view native) {
    if (platform::NameToCodePage(native) == path) return std::string(native);
    return platform::NameFromCodePage(path);
}

std::string SelectedFile(std::span<const std::string> listed, int index, std::string_view path) {
    const bool inList = index >= 1 && static_cast<std::size_t>(index) <= listed.size();
    return NativeFor(path, inList ? std::string_view(listed[static_cast<std::size_t>(index) - 1]) : std::string_view());
}

std::vector<std::string> TargetFiles(std::span<const std::string> shown, std::span<const std::string> natives) {
    std::vector<std::string> files;
    for (std::size_t i = 0; i < std::min(shown.size(), kMaxTargets) && !shown[i].empty(); ++i) {
        files.push_back(NativeFor(shown[i], i < natives.size() ? std::string_view(natives[i]) : std::string_view()));
    }
    return files;
}

}  // namespace core

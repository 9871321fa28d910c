#include "core/browse/folder_contents.h"

#include "core/browse/name_case.h"
#include "core/io_check.h"
#include "platform/folder_access.h"

#include <algorithm>

namespace core {

FolderContents ReadFolderContents(std::string_view folder) {
    std::vector<platform::FolderEntry> entries;
    SetPendingIOCode(platform::ReadFolderEntries(folder, entries));
    CheckIO();

    FolderContents contents;
    for (auto& entry : entries) {
        if (entry.name.empty() || entry.name.front() == '.') continue;
        // " *" in a listing's file header line would end its path early when
        // the line is read back.
        if (entry.name.find('*') != std::string::npos) continue;
        if (entry.kind == platform::EntryKind::Folder) contents.folders.push_back(std::move(entry.name));
        if (entry.kind == platform::EntryKind::File) contents.files.push_back(std::move(entry.name));
    }
    std::sort(contents.folders.begin(), contents.folders.end(), NameLessNoCase);
    std::sort(contents.files.begin(), contents.files.end(), NameLessNoCase);
    return contents;
}

void ChangeCurrentFolder(std::string_view folder) {
    SetPendingIOCode(platform::SetCurrentFolder(folder));
    CheckIO();
}

}  // namespace core

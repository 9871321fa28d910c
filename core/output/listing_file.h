// Saving the result listing as a text file.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace core {

// Writes every byte of the listing to the file at path (native; a relative
// path starts at the current folder), replacing any file there only once the
// new one is complete.
// Throws EFCreateError "ﾌｧｲﾙ %s を作成できません" (the path in place of %s,
// as platform::NameToCodePage writes it) when the file can't be made there, and EInOutError "ｽﾄﾘｰﾑへの書き込みｴﾗｰ"
// with the platform code when the bytes can't all be stored. Either way any
// earlier file is intact and nothing else is left behind.
void SaveListingFile(std::string_view path, std::string_view listing);

// Whether path (native; a relative path starts at the current folder) names
// the very file (same device and inode, links followed) of one of files,
// native paths, by whatever name: another spelling, a symbolic or hard link.
// A path that names no file names none of them; a copy is a file of its own.
// Saving over one of them would destroy a text being searched.
bool NamesOneOf(std::string_view path, std::span<const std::string> files);
// The refusal to save over one of the targets, for a path in code-page bytes.
std::string TargetNotReplacedMessage(std::string_view path);

// The message of EFCreateError for a path in code-page bytes.
std::string CreateErrorMessage(std::string_view path);
// The message of a write that stored fewer bytes than it was given.
const std::string& WriteErrorMessage();

}  // namespace core

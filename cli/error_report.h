// The command's messages on standard error, as grep words them:
// "norvane-search: FILE: message", with the true reason.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace cli {

// Why the file at path (native; or standard input's target) failed with the
// platform error code: the windows' fixed text for the code where one fits,
// with what the system says in parentheses; for a folder, FIFO, device or
// socket, what it is. The path is looked at again to tell.
std::string FileErrorMessage(const std::string& path, std::int32_t code);

// The same for an error the system gave as errno while reading a folder.
std::string SystemErrorMessage(int errorNumber);

// Writes "norvane-search: name: message" and a line end to standard error.
void ReportFileError(std::string_view name, std::string_view message);

// Writes "norvane-search: message" and a line end to standard error.
void ReportError(std::string_view message);

}  // namespace cli

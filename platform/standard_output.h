// The process's standard output, for the command line: whether a terminal
// shows it, and bytes written to it whole.
#pragma once

#include <string_view>

namespace platform {

bool StandardOutputIsTerminal() noexcept;

// Writes all of bytes, going on after an interrupted or partial write.
// Returns 0, or the system's error number of the write that failed.
int WriteStandardOutput(std::string_view bytes) noexcept;

}  // namespace platform

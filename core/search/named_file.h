// The files that the windows read.
#pragma once

#include <string_view>

namespace core {

// An empty path would make the line reader take standard input, which a
// windowed program must never wait on: it raises EInOutError as a path that
// does not exist (code 3). Any other path is returned as it is.
std::string_view RequireNamedFile(std::string_view path);

}  // namespace core

// Runs a parsed norvane-search command: the search, its output and its exit status.
#pragma once

#include "cli/options.h"

#include <cstddef>

namespace cli {

constexpr int kExitListed = 0;
constexpr int kExitNothingListed = 1;
constexpr int kExitError = 2;

// The longest search text -f takes: far more than a search box holds, and
// little enough that its first line is never read without bound.
constexpr std::size_t kMaxSearchText = std::size_t{1} << 20;

// Writes the listing to standard output, or an error message to standard
// error and nothing to standard output.
int RunSearchCommand(const Options& options);

}  // namespace cli

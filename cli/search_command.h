// Runs a parsed norvane-search command: the search, its output and its exit status.
#pragma once

#include "cli/options.h"

namespace cli {

constexpr int kExitListed = 0;
constexpr int kExitNothingListed = 1;
constexpr int kExitError = 2;

// Writes the listing to standard output, or an error message to standard
// error and nothing to standard output.
int RunSearchCommand(const Options& options);

}  // namespace cli

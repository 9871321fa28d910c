// norvane-search: the search core without windows, for scripts and checks.
#include "cli/options.h"
#include "cli/search_command.h"

#include <cstdio>

int main(int argc, char** argv) {
    cli::Options options;
    try {
        options = cli::ParseOptions(std::span<const char* const>(argv + 1, static_cast<std::size_t>(argc - 1)));
    } catch (const cli::UsageError& e) {
        cli::ReportUsageError(e);
        return cli::kExitError;
    }
    if (options.help) {
        std::fputs(cli::HelpText(), stdout);
        return 0;
    }
    return cli::RunSearchCommand(options);
}

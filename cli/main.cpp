// norvane-search: the search core without windows, for scripts and checks.
#include "cli/error_report.h"
#include "cli/options.h"
#include "cli/search_command.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

// --help and --version: a text on standard output, which may fail as the
// listing may.
int PrintText(const std::string& text) {
    if (std::fputs(text.c_str(), stdout) == EOF || std::fflush(stdout) != 0) {
        cli::ReportError(std::string("write error: ") + std::strerror(errno));
        return cli::kExitError;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    cli::Options options;
    try {
        options = cli::ParseOptions(std::span<const char* const>(argv + 1, static_cast<std::size_t>(argc - 1)));
    } catch (const cli::UsageError& e) {
        cli::ReportUsageError(e);
        return cli::kExitError;
    }
    if (options.help) return PrintText(cli::HelpText());
    if (options.version) return PrintText(cli::VersionText());
    return cli::RunSearchCommand(options);
}

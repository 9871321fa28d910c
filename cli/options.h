// The command line of norvane-search.
#pragma once

#include "core/search/text_form.h"

#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace cli {

enum class OutputForm {
    Auto,      // code-page bytes, or UTF-8 when standard output is a terminal
    CodePage,  // always the listing's own bytes
    Utf8,      // always converted to UTF-8
};

// What is written for the hit lines found.
enum class Report {
    Listing,        // the windows' listing (the default)
    GrepLines,      // --format=grep: "path:line:text" for editors
    FilesWithHits,  // -l: the name of each file with a hit line
    Count,          // -c: the hit lines of each file
    Quiet,          // -q: nothing; the exit status says it
};

struct Options {
    bool help = false;
    bool version = false;
    bool local = false;                     // one file, the local listing
    bool recursive = false;                 // -r: a folder's files as targets
    std::optional<std::string> searchFile;  // -f: the search text is its first line
    std::string text;                       // TEXT as typed (UTF-8), without -f
    std::vector<std::string> files;         // as given on the command line
    std::vector<std::string> includes;      // --include: globs a found file's name must match one of
    OutputForm output = OutputForm::Auto;
    Report report = Report::Listing;
    // How the files are written (--encoding, --newline): found in each file
    // by default (--encoding=auto); the listing is then code page 932 or
    // UTF-8, as the output asks. A named encoding holds for every file and
    // for the listing.
    core::TextForm form = core::TextForm::FoundInFile();
};

// A command line that can't be run; the message says why (empty when the
// option parser has said it already).
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Parses the arguments after the program's name as getopt_long does:
// options anywhere before "--", long ones with "=VALUE" or a separate
// VALUE, short ones clustered and with their value attached or not.
Options ParseOptions(std::span<const char* const> args);

// Writes the message of a usage error, and where to read more, to standard error.
void ReportUsageError(const UsageError& error);

// The text that --help prints, and the one --version prints.
const char* HelpText();
std::string VersionText();

}  // namespace cli

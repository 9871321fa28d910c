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

struct Options {
    bool help = false;
    bool local = false;                     // one file, the local listing
    std::optional<std::string> searchFile;  // -f: the search text is its first line
    std::string text;                       // TEXT as typed (UTF-8), without -f
    std::vector<std::string> files;         // as given on the command line
    OutputForm output = OutputForm::Auto;
    // How the files are written (--encoding, --newline): found in each file
    // by default (--encoding=auto); the listing is then code page 932 or
    // UTF-8, as the output asks. A named encoding holds for every file and
    // for the listing.
    core::TextForm form = core::TextForm::FoundInFile();
};

// A command line that can't be run; the message says why.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Options may stand anywhere before "--"; everything after it is TEXT and FILEs.
Options ParseOptions(std::span<const char* const> args);

// Writes the message of a usage error, and where to read more, to standard error.
void ReportUsageError(const UsageError& error);

// The few lines that --help prints.
const char* HelpText();

}  // namespace cli

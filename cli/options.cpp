#include "cli/options.h"

#include "core/search/global_search.h"
#include "platform/code_page.h"

#include <cstdio>
#include <string_view>

namespace cli {

Options ParseOptions(std::span<const char* const> args) {
    Options options;
    std::vector<std::string> positional;
    bool optionsEnded = false;
    std::optional<core::LineEnds> newline;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            positional.emplace_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "-h" || arg == "--help") {
            options.help = true;
        } else if (arg == "--local") {
            options.local = true;
        } else if (arg == "-f") {
            if (++i == args.size()) throw UsageError("option -f needs a file name");
            if (options.searchFile) throw UsageError("option -f given twice");
            options.searchFile = args[i];
        } else if (arg == "--encoding=auto") {
            options.form = core::TextForm::FoundInFile();
        } else if (arg.starts_with("--encoding=")) {
            options.form.found = false;
            options.form.encoding = platform::EncodingNamed(arg.substr(11));
            if (!options.form.encoding) throw UsageError("unknown encoding " + std::string(arg.substr(11)));
        } else if (arg == "--newline=crlf") {
            newline = core::LineEnds::CrLf;
        } else if (arg == "--newline=any") {
            newline = core::LineEnds::Any;
        } else if (arg == "--output=cp932") {
            options.output = OutputForm::CodePage;
        } else if (arg == "--output=utf-8") {
            options.output = OutputForm::Utf8;
        } else {
            throw UsageError("unknown option " + std::string(arg));
        }
    }
    if (options.help) return options;
    // Files from Unix end their lines with LF alone; the home files never do.
    options.form.lineEnds = newline.value_or(core::LineEnds::ByEncoding);
    const bool homeEncoding = options.form.found || options.form.encoding == &platform::Cp932();
    if (options.output == OutputForm::CodePage && !homeEncoding) {
        throw UsageError("--output=cp932 writes the listing's own bytes, which are " +
                         std::string(options.form.encoding->name) + " here: leave it out, or use --output=utf-8");
    }

    auto next = positional.begin();
    if (!options.searchFile) {
        if (next == positional.end()) throw UsageError("no search text given");
        options.text = *next++;
        // The windows refuse it too: it would find nothing, reported as a search.
        if (options.text.empty()) throw UsageError("the search text is empty");
    }
    options.files.assign(next, positional.end());
    if (options.files.empty()) throw UsageError("no file given");
    if (options.local && options.files.size() > 1) throw UsageError("--local searches exactly one file");
    if (options.files.size() > core::kMaxTargets) {
        throw UsageError("at most " + std::to_string(core::kMaxTargets) + " files can be searched, " +
                         std::to_string(options.files.size()) + " given");
    }
    for (const auto& file : options.files) {
        if (file.empty()) throw UsageError("a file name is empty");
    }
    return options;
}

void ReportUsageError(const UsageError& error) {
    std::fprintf(stderr, "norvane-search: %s\nTry 'norvane-search --help' for more information.\n", error.what());
}

const char* HelpText() {
    return R"(usage: norvane-search [OPTIONS] TEXT FILE...
       norvane-search [OPTIONS] -f SFILE FILE...
       norvane-search --local [OPTIONS] (TEXT | -f SFILE) FILE

Lists, file by file, every line of up to 20 text files in which TEXT
begins, also when TEXT runs on into the next line. Leading ideographic
spaces of every line but the first are ignored and not listed. --local
lists the lines of one file without that cleaning.

Each file is read in the encoding found in its own first bytes: a byte
order mark (UTF-8, UTF-16LE, UTF-16BE), UTF-8 holding Japanese, EUC-JP
that can't be Shift-JIS, and else Shift-JIS (code page 932). Code page 932
ends a line at CR LF or a lone CR only; the others at a lone LF too. TEXT
is searched in each file in that file's encoding.

  -f SFILE          take the search text from the first line of SFILE
                    ("-" reads it from standard input); see below
  --output=cp932    write the listing in code page 932, even to a terminal
  --output=utf-8    write the listing in UTF-8, even into a pipe or file
  --local           the local listing of one file
  --encoding=NAME   auto (the default): found in each file, as above;
                    cp932, euc-jp or utf-8: every file is written in NAME,
                    TEXT is converted to it, and the listing is written in it
  --newline=crlf    only CR LF or a lone CR ends a line; an LF elsewhere is
                    part of the line (the default for cp932)
  --newline=any     a lone LF ends a line too (the default for the others)
  -h, --help        show this help
  --                everything after it is TEXT and FILEs

TEXT is typed in UTF-8; with a named encoding it must fit it. The first line
of SFILE is taken as bytes of SFILE's own encoding, found in it as in the
files (or the named one): byte for byte in files of that encoding, any byte
string of up to 1048576 bytes; converted for files of another one, where a
byte that forms no character matches nothing. An empty search text (an
empty TEXT, or an SFILE whose first line is empty or starts with a NUL byte)
is a usage error, and so is a longer first line.
The listing goes to standard output in one encoding: code page 932 into a
pipe or file, UTF-8 to a terminal (with a named encoding: that encoding,
or UTF-8 to a terminal). A line of a file in another encoding is converted,
each character the listing's encoding lacks written as 〓. The listing is
written as it is made, file by file: when a file fails part-way (missing,
unreadable, a read error), what was written before stays written, the
message goes to standard error and the exit status is 2.
Exit status: 0 some line was listed, 1 none, 2 an error or a usage error
(message on stderr).
)";
}

}  // namespace cli

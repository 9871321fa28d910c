#include "cli/options.h"

#include "cli/encoding_names.h"
#include "platform/code_page.h"

#include <getopt.h>

#include <cstdio>
#include <string_view>

namespace cli {

namespace {

// The long options without a short form.
enum LongOnly : int { kLocal = 256, kEncoding, kNewline, kOutput, kFormat, kInclude };

constexpr char kShortOptions[] = "f:hVrlcq";
constexpr option kLongOptions[] = {
    {"file", required_argument, nullptr, 'f'},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, 'V'},
    {"recursive", no_argument, nullptr, 'r'},
    {"files-with-matches", no_argument, nullptr, 'l'},
    {"count", no_argument, nullptr, 'c'},
    {"quiet", no_argument, nullptr, 'q'},
    {"silent", no_argument, nullptr, 'q'},
    {"local", no_argument, nullptr, kLocal},
    {"encoding", required_argument, nullptr, kEncoding},
    {"newline", required_argument, nullptr, kNewline},
    {"output", required_argument, nullptr, kOutput},
    {"format", required_argument, nullptr, kFormat},
    {"include", required_argument, nullptr, kInclude},
    {nullptr, 0, nullptr, 0},
};

void SetEncoding(Options& options, std::string_view name) {
    if (NameKey(name) == "auto") {
        options.form = core::TextForm::FoundInFile();
        return;
    }
    const platform::Encoding* encoding = EncodingByName(name);
    if (encoding == nullptr) {
        throw UsageError("unknown encoding '" + std::string(name) +
                         "': auto, cp932 (sjis, shift_jis, windows-31j, ms932), euc-jp (eucjp, ujis) or utf-8");
    }
    options.form.found = false;
    options.form.encoding = encoding;
}

OutputForm OutputNamed(std::string_view name) {
    const platform::Encoding* encoding = EncodingByName(name);
    if (encoding == &platform::Cp932()) return OutputForm::CodePage;
    if (encoding == &platform::Utf8()) return OutputForm::Utf8;
    throw UsageError("--output takes cp932 or utf-8, not '" + std::string(name) + "'");
}

core::LineEnds NewlineNamed(std::string_view name) {
    const std::string key = NameKey(name);
    if (key == "crlf") return core::LineEnds::CrLf;
    if (key == "any") return core::LineEnds::Any;
    throw UsageError("--newline takes crlf or any, not '" + std::string(name) + "'");
}

// The options of the arguments, and the rest in their order.
std::vector<std::string> ParseArguments(std::span<const char* const> args, Options& options,
                                        std::optional<core::LineEnds>& newline, std::optional<Report>& format,
                                        bool& quiet, bool& names, bool& count) {
    // getopt_long names the program after argv[0] in its messages, and may
    // reorder the pointers (never the strings).
    std::vector<char*> argv;
    static char program[] = "norvane-search";
    argv.push_back(program);
    for (const char* arg : args) argv.push_back(const_cast<char*>(arg));
    argv.push_back(nullptr);
    const int argc = static_cast<int>(argv.size() - 1);
    optind = 0;  // a fresh scan, also of a second command line
    opterr = 1;
    for (int c; (c = getopt_long(argc, argv.data(), kShortOptions, kLongOptions, nullptr)) != -1;) {
        switch (c) {
        case 'f':
            if (options.searchFile) throw UsageError("option -f given twice");
            options.searchFile = optarg;
            break;
        case 'h': options.help = true; break;
        case 'V': options.version = true; break;
        case 'r': options.recursive = true; break;
        case 'l': names = true; break;
        case 'c': count = true; break;
        case 'q': quiet = true; break;
        case kLocal: options.local = true; break;
        case kEncoding: SetEncoding(options, optarg); break;
        case kNewline: newline = NewlineNamed(optarg); break;
        case kOutput: options.output = OutputNamed(optarg); break;
        case kFormat: {
            const std::string key = NameKey(optarg);
            if (key == "listing") {
                format = Report::Listing;
            } else if (key == "grep") {
                format = Report::GrepLines;
            } else {
                throw UsageError("--format takes listing or grep, not '" + std::string(optarg) + "'");
            }
            break;
        }
        case kInclude: options.includes.emplace_back(optarg); break;
        default: throw UsageError("");  // getopt_long has said what is wrong
        }
    }
    return std::vector<std::string>(argv.begin() + optind, argv.end() - 1);
}

}  // namespace

Options ParseOptions(std::span<const char* const> args) {
    Options options;
    std::optional<core::LineEnds> newline;
    std::optional<Report> format;
    bool quiet = false, names = false, count = false;
    const std::vector<std::string> positional = ParseArguments(args, options, newline, format, quiet, names, count);
    if (options.help || options.version) return options;

    // As in grep: -q over -l over -c, and any of them over the lines' form.
    options.report = quiet   ? Report::Quiet
                     : names ? Report::FilesWithHits
                     : count ? Report::Count
                             : format.value_or(Report::Listing);
    // Files from Unix end their lines with LF alone; the home files never do.
    options.form.lineEnds = newline.value_or(core::LineEnds::ByEncoding);
    const bool homeEncoding = options.form.found || options.form.encoding == &platform::Cp932();
    if (options.output == OutputForm::CodePage && !homeEncoding) {
        throw UsageError("--output=cp932 writes the listing's own bytes, which are " +
                         std::string(options.form.encoding->name) + " here: leave it out, or use --output=utf-8");
    }
    if (options.output == OutputForm::CodePage && format == Report::GrepLines) {
        throw UsageError("--format=grep writes UTF-8: leave --output=cp932 out");
    }
    if (options.local && (options.recursive || options.report != Report::Listing || !options.includes.empty())) {
        throw UsageError("--local lists one file: it takes none of -r, --include, -l, -c, -q and --format=grep");
    }

    auto next = positional.begin();
    if (!options.searchFile) {
        if (next == positional.end()) throw UsageError("no search text given");
        options.text = *next++;
        // The windows refuse it too: it would find nothing, reported as a search.
        if (options.text.empty()) throw UsageError("the search text is empty");
    }
    options.files.assign(next, positional.end());
    for (const auto& file : options.files) {
        if (file.empty()) throw UsageError("a file name is empty");
    }
    // As grep -r does, a recursive search without a file searches the working
    // folder (the empty operand), naming its files without "./".
    if (options.files.empty() && options.recursive) options.files.emplace_back();
    if (options.files.empty()) throw UsageError("no file given");
    if (options.local && options.files.size() > 1) throw UsageError("--local searches exactly one file");
    for (const auto& file : options.files) {
        if (file == "-" && options.searchFile == "-") {
            throw UsageError("standard input (-) can't give both the search text and a file to search");
        }
    }
    return options;
}

void ReportUsageError(const UsageError& error) {
    if (*error.what() != '\0') std::fprintf(stderr, "norvane-search: %s\n", error.what());
    std::fputs("Try 'norvane-search --help' for more information.\n", stderr);
}

std::string VersionText() { return "norvane-search (Norvane) " NORVANE_VERSION "\n"; }

const char* HelpText() {
    return R"help(usage: norvane-search [OPTION]... TEXT [FILE]...
       norvane-search [OPTION]... -f SFILE [FILE]...
       norvane-search --local [OPTION]... (TEXT | -f SFILE) FILE

Lists, file by file, every line of the FILEs in which TEXT begins, also
when TEXT runs on into the next line. Leading ideographic spaces of every
line but the first are ignored and not listed. --local lists the lines of
one file without that cleaning. A FILE of - is standard input, named
"(standard input)" in the output.

Each file is read in the encoding found in its own first bytes: a byte
order mark (UTF-8, UTF-16LE, UTF-16BE), UTF-8 holding Japanese, EUC-JP
that can't be Shift-JIS, and else Shift-JIS (code page 932). Code page 932
ends a line at CR LF or a lone CR only; the others at a lone LF too. TEXT
is searched in each file in that file's encoding.

  -f, --file=SFILE  take the search text from the first line of SFILE
                    ("-" reads it from standard input); see below
  -r, --recursive   search the regular files under each FILE that is a
                    folder, in name order, following links to folders but
                    no folder twice; without FILE, the working folder,
                    its files named without "./"
      --include=GLOB  only the files whose name (the path's last part)
                    matches GLOB, as in grep; folders are searched through
                    whatever their name (may be given more than once)
      --format=grep  write "path:line:text" lines instead of the listing:
                    the full line number, the text in UTF-8, LF line ends
                    (an LF inside a line shown as U+240A)
  -l, --files-with-matches  write only the name of each file with a hit line
  -c, --count       write each file's number of hit lines, after its name
                    when there is more than one file or -r is given
  -q, --quiet, --silent  write nothing; exit 0 at the first hit line
      --output=cp932  write the listing in code page 932, even to a terminal
      --output=utf-8  write the listing in UTF-8, even into a pipe or file
      --local       the local listing of one file
      --encoding=NAME  auto (the default): found in each file, as above;
                    cp932 (also sjis, shift_jis, windows-31j, ms932),
                    euc-jp (eucjp, ujis) or utf-8 (utf8), without regard
                    to case, - or
                    _: every file is written in NAME, TEXT is converted to
                    it, and the listing is written in it
      --newline=crlf  only CR LF or a lone CR ends a line; an LF elsewhere
                    is part of the line (the default for cp932)
      --newline=any  a lone LF ends a line too (the default for the others)
  -h, --help        show this help
  -V, --version     show the version
  --                everything after it is TEXT and FILEs

Options take the forms of GNU programs: --output=utf-8 or --output utf-8,
-fSFILE or -f SFILE, short options together (-rl), and anywhere before --.

TEXT is typed in UTF-8; with a named encoding it must fit it. The first line
of SFILE is taken as bytes of SFILE's own encoding, found in it as in the
files (or the named one): byte for byte in files of that encoding, any byte
string of up to 1048576 bytes; converted for files of another one, where a
byte that forms no character matches nothing. An empty search text (an
empty TEXT, or an SFILE whose first line is empty or starts with a NUL byte)
is a usage error, and so is a longer first line, and a search text holding
a CR or a Ctrl-Z, or an LF where a lone LF ends a line (--newline=any, or
euc-jp or utf-8 named without --newline): it could never be found.
The listing goes to standard output in one encoding: code page 932 into a
pipe or file, UTF-8 to a terminal (with a named encoding: that encoding,
or UTF-8 to a terminal). A line of a file in another encoding is converted,
each character the listing's encoding lacks written as 〓. The listing is
written as it is made, file by file; its files are numbered 01, 02 and on,
with all their digits from 100. A file that is the output itself is not
read.
A file that fails (missing, a folder without -r, a FIFO or device, access
denied, a read error) does not stop the others: its message goes to
standard error as "norvane-search: FILE: message", what was written of it
before stays written, the next file is searched, and the exit status is 2.
Exit status: 0 some line was listed, 1 none, 2 an error or a usage error
(message on stderr); with -q, 0 as soon as a line is found, even after an
error.
)help";
}

}  // namespace cli

#include "cli/search_command.h"

#include "cli/error_report.h"
#include "cli/output_forms.h"
#include "cli/target_walk.h"
#include "core/error_text.h"
#include "core/errors.h"
#include "core/io_check.h"
#include "core/search/command_search.h"
#include "core/search/line_reader.h"
#include "core/search/local_search.h"
#include "core/search/target_search.h"
#include "core/search/text_bytes.h"
#include "platform/code_page.h"
#include "platform/standard_output.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>

namespace cli {

namespace {

// An error of the command itself, already worded for the terminal.
class CommandError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A file error, with the file it is about.
class FileError : public std::runtime_error {
public:
    FileError(std::string name, const std::string& message) : std::runtime_error(message), name_(std::move(name)) {}
    const std::string& Name() const noexcept { return name_; }

private:
    std::string name_;
};

std::string HexCodePoint(char32_t c) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "U+%04X", static_cast<unsigned>(c));
    return buffer;
}

// A search text holding what ends a line or the text, where it does, can
// never be found: the reader ends the line (or the text) there.
void RefuseUnfindable(std::string_view text, const core::TextForm& form, const std::string& what) {
    text = core::UpToNul(text);
    const bool lfEnds = form.lineEnds == core::LineEnds::Any || (form.lineEnds == core::LineEnds::ByEncoding &&
                                                                 !form.found && form.encoding != &platform::Cp932());
    const char* held = text.find('\r') != std::string_view::npos             ? "a CR, which ends a line"
                       : text.find('\x1A') != std::string_view::npos         ? "a Ctrl-Z, which ends the text"
                       : lfEnds && text.find('\n') != std::string_view::npos ? "an LF, which ends a line here"
                                                                             : nullptr;
    if (held != nullptr) throw UsageError(what + " holds " + held + ": it could never be found");
}

// TEXT as typed, for each file in that file's encoding. In a named
// encoding it must fit: never a near miss for a character the encoding lacks.
core::SearchText TypedSearchText(const std::string& typed, const core::TextForm& form) {
    const auto chars = platform::DecodeUtf8(typed);
    if (!chars) throw CommandError("TEXT is not valid UTF-8");
    RefuseUnfindable(typed, form, "the search text");
    core::SearchText text = core::SearchText::Typed(typed);
    if (form.found) return text;
    std::size_t unheld = 0;
    if (!platform::EncodeTyped(*form.encoding, *chars, &unheld)) {
        const std::u32string_view c(&(*chars)[unheld], 1);
        const platform::Encoding& encoding = *form.encoding;
        const std::string holder = &encoding == &platform::Cp932() ? "code page 932" : std::string(encoding.name);
        throw CommandError("TEXT holds " + HexCodePoint(c.front()) + " (" + platform::EncodeUtf8(c) + "), which " +
                           holder + " cannot hold there");
    }
    return text;
}

// A FILE operand as the search takes it: "-" is standard input.
std::string TargetOf(const std::string& file) {
    return file == "-" ? core::StandardInputTarget(kStandardInputName) : file;
}

// The first line of the file, as the line reader reads it, holding no more
// of it than a search text may have: bytes of the file's encoding, which is
// found in it as in the targets unless one is named. One that is empty up to
// its first NUL is refused, as an empty TEXT is, and so is one longer than
// kMaxSearchText.
core::SearchText SearchTextFromFile(const std::string& name, const core::TextForm& form) {
    core::LineReader reader;
    reader.SetForm(form);
    const std::string path = TargetOf(name);
    bool whole = false;
    const platform::Encoding* encoding = nullptr;
    std::string text;
    try {
        text = core::WithTextFile(reader, path, [&](core::LineReader& r) {
            std::string_view head;
            whole = r.PeekLine(head, kMaxSearchText);
            core::CheckIO();
            encoding = r.Form().encoding;
            return std::string(head);
        });
    } catch (const core::EInOutError& e) {
        throw FileError(std::string(core::TargetName(path)), FileErrorMessage(path, e.ErrorCode()));
    }
    if (text.empty() || text.front() == '\0') {
        throw UsageError("the search text is empty: the first line of " + name + " is empty or starts with a NUL byte");
    }
    if (!whole) {
        throw UsageError("the search text is too long: the first line of " + name + " is longer than " +
                         std::to_string(kMaxSearchText) + " bytes");
    }
    RefuseUnfindable(text, form, "the first line of " + name);
    return core::SearchText::Bytes(text, *encoding);
}

// The output as it is made, each block written at once, so that the
// command's memory does not grow with it. A failed write stops the search.
class StandardOutputSink final : public core::ListingSink {
public:
    void Write(std::string block) override {
        const int error = platform::WriteStandardOutput(block);
        if (error != 0) throw CommandError(std::string("cannot write the listing: ") + std::strerror(error));
    }
};

// The encoding the listing is written in: UTF-8 when asked (each file's
// lines are converted as they are listed, a long one between characters),
// else code page 932 when each file's encoding is found, else the one named.
const platform::Encoding* ListingEncodingOf(const Options& options, bool toUtf8) {
    if (toUtf8) return &platform::Utf8();
    return options.form.found ? &platform::Cp932() : nullptr;
}

// Reports each failing target and lets the search go on; anything but a
// file error (a failed write, the quiet form's first line) ends it.
class FailureReport final : public core::TargetFailures {
public:
    void Failed(const std::string& target, const std::exception_ptr& error) override {
        try {
            std::rethrow_exception(error);
        } catch (const core::EInOutError& e) {
            ReportFileError(core::TargetName(target), FileErrorMessage(target, e.ErrorCode()));
            ++count_;
        }
    }
    void Refused(const std::string& name, const std::string& message) {
        ReportFileError(name, message);
        ++count_;
    }
    int Count() const noexcept { return count_; }

private:
    int count_ = 0;
};

// How many targets are handed to the search at once: enough that its two
// readers are seldom idle, and few enough that what it keeps for each
// target stays small however many there are.
constexpr std::size_t kBatch = 64;

int RunGlobalCommand(const Options& options, const core::SearchText& searchText, bool toUtf8) {
    // One output, one encoding: each file's lines are turned into the
    // listing's as they are listed. The other forms are written in UTF-8 as
    // they are made.
    const bool listingForm = options.report == Report::Listing;
    const platform::Encoding* listing = ListingEncodingOf(options, toUtf8);
    StandardOutputSink out;
    const auto output = OutputFor(options.report, options.files.size() > 1 || options.recursive);
    FailureReport failures;
    core::CommandSearch search(searchText, options.form, listing, output.get(), failures);
    if (listingForm) search.WriteHeading(out);

    // As in grep, only output that grows with what is read guards against
    // reading itself.
    const bool growing = listingForm || options.report == Report::GrepLines;
    TargetWalk walk(options.files, options.recursive, options.includes,
                    growing ? std::optional(OwnOutput::OfStandardOutput()) : std::nullopt);
    std::vector<std::string> batch;
    std::size_t hitLines = 0;
    for (;;) {
        TargetWalk::Step step = walk.Next();
        if (step.kind == TargetWalk::Step::Target) batch.push_back(std::move(step.path));
        if (step.kind != TargetWalk::Step::Target || batch.size() == kBatch) {
            hitLines += search.Search(batch, out);
            batch.clear();
        }
        if (step.kind == TargetWalk::Step::Refused) {
            failures.Refused(step.path, step.message);
            if (step.file) search.PassOver();
        }
        if (step.kind == TargetWalk::Step::End) break;
    }
    if (failures.Count() > 0) return kExitError;
    return hitLines > 0 ? kExitListed : kExitNothingListed;
}

int RunLocalCommand(const Options& options, const core::SearchText& searchText, bool toUtf8) {
    const platform::Encoding* listing = ListingEncodingOf(options, toUtf8);
    StandardOutputSink out;
    const std::string path = TargetOf(options.files.front());
    try {
        const std::size_t hitLines = core::StreamLocalSearch(path, searchText, out, nullptr, options.form, listing);
        return hitLines > 0 ? kExitListed : kExitNothingListed;
    } catch (const core::EInOutError& e) {
        throw FileError(std::string(core::TargetName(path)), FileErrorMessage(path, e.ErrorCode()));
    }
}

}  // namespace

int RunSearchCommand(const Options& options) {
    try {
        const core::SearchText searchText = options.searchFile ? SearchTextFromFile(*options.searchFile, options.form)
                                                               : TypedSearchText(options.text, options.form);
        const bool toUtf8 = options.output == OutputForm::Utf8 ||
                            (options.output == OutputForm::Auto && platform::StandardOutputIsTerminal());
        return options.local ? RunLocalCommand(options, searchText, toUtf8)
                             : RunGlobalCommand(options, searchText, toUtf8);
    } catch (const LineFound&) {
        return kExitListed;
    } catch (const UsageError& e) {
        ReportUsageError(e);
    } catch (const FileError& e) {
        ReportFileError(e.Name(), e.what());
    } catch (const core::EAbort&) {
        return kExitError;
    } catch (const core::Exception& e) {
        // The same words as the error display shows.
        ReportError(platform::CodePageToUtf8(core::WithClosingPeriod(e.Message())));
    } catch (const CommandError& e) {
        ReportError(e.what());
    } catch (const std::bad_alloc&) {
        ReportError("out of memory");
    }
    return kExitError;
}

}  // namespace cli

#include "cli/search_command.h"

#include "core/error_text.h"
#include "core/errors.h"
#include "core/io_check.h"
#include "core/search/global_search.h"
#include "core/search/line_reader.h"
#include "core/search/local_search.h"
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

std::string HexCodePoint(char32_t c) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "U+%04X", static_cast<unsigned>(c));
    return buffer;
}

// TEXT as typed, for each file in that file's encoding. In a named
// encoding it must fit: never a near miss for a character the encoding lacks.
core::SearchText TypedSearchText(const std::string& typed, const core::TextForm& form) {
    const auto chars = platform::DecodeUtf8(typed);
    if (!chars) throw CommandError("TEXT is not valid UTF-8");
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

// The first line of the file, as the line reader reads it, holding no more
// of it than a search text may have: bytes of the file's encoding, which is
// found in it as in the targets unless one is named. One that is empty up to
// its first NUL is refused, as an empty TEXT is, and so is one longer than
// kMaxSearchText.
core::SearchText SearchTextFromFile(const std::string& name, const core::TextForm& form) {
    core::LineReader reader;
    reader.SetForm(form);
    const std::string path = name == "-" ? std::string() : name;
    bool whole = false;
    const platform::Encoding* encoding = nullptr;
    std::string text = core::WithTextFile(reader, path, [&](core::LineReader& r) {
        std::string_view head;
        whole = r.PeekLine(head, kMaxSearchText);
        core::CheckIO();
        encoding = r.Form().encoding;
        return std::string(head);
    });
    if (text.empty() || text.front() == '\0') {
        throw UsageError("the search text is empty: the first line of " + name + " is empty or starts with a NUL byte");
    }
    if (!whole) {
        throw UsageError("the search text is too long: the first line of " + name + " is longer than " +
                         std::to_string(kMaxSearchText) + " bytes");
    }
    return core::SearchText::Bytes(text, *encoding);
}

// The listing as it is made, each block written at once (converted to UTF-8
// from the files' encoding when asked), so that the command's memory does
// not grow with the listing. A failed write stops the search.
class StandardOutputSink final : public core::ListingSink {
public:
    explicit StandardOutputSink(const platform::Encoding* toUtf8From) noexcept : toUtf8From_(toUtf8From) {}
    void Write(std::string block) override {
        // A block holds whole lines, so no character is cut by the conversion.
        const int error =
            platform::WriteStandardOutput(toUtf8From_ ? platform::EncodingToUtf8(*toUtf8From_, block) : block);
        if (error != 0) throw CommandError(std::string("cannot write the listing: ") + std::strerror(error));
    }

private:
    const platform::Encoding* toUtf8From_;
};

void ReportError(const std::string& utf8Message) { std::fprintf(stderr, "%s\n", utf8Message.c_str()); }

}  // namespace

int RunSearchCommand(const Options& options) {
    try {
        const core::SearchText searchText = options.searchFile ? SearchTextFromFile(*options.searchFile, options.form)
                                                               : TypedSearchText(options.text, options.form);
        // The operands are opened as the system gave them.
        const std::vector<std::string>& targets = options.files;

        const bool toUtf8 = options.output == OutputForm::Utf8 ||
                            (options.output == OutputForm::Auto && platform::StandardOutputIsTerminal());
        // One output, one encoding: each file's lines are turned into the
        // listing's as they are listed; in a named encoding the listing is
        // written in it, and turned into UTF-8 as it goes out when asked.
        const platform::Encoding* listing = nullptr;
        if (options.form.found) listing = toUtf8 ? &platform::Utf8() : &platform::Cp932();
        StandardOutputSink out(toUtf8 && !options.form.found ? options.form.encoding : nullptr);
        std::size_t hitLines = 0;
        if (options.local) {
            hitLines = core::StreamLocalSearch(targets.front(), searchText, out, nullptr, options.form, listing);
        } else {
            core::HitTable hits;
            hitLines = core::StreamGlobalSearch(searchText, targets, hits, out, nullptr, core::Readers::Auto,
                                                options.form, listing);
        }
        return hitLines > 0 ? kExitListed : kExitNothingListed;
    } catch (const UsageError& e) {
        ReportUsageError(e);
    } catch (const core::EAbort&) {
        return kExitError;
    } catch (const core::Exception& e) {
        // The same words as the error display shows.
        ReportError(platform::CodePageToUtf8(core::WithClosingPeriod(e.Message())));
    } catch (const CommandError& e) {
        ReportError(std::string("norvane-search: ") + e.what());
    } catch (const std::bad_alloc&) {
        ReportError("norvane-search: out of memory");
    }
    return kExitError;
}

}  // namespace cli

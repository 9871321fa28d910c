#include "core/search/target_search.h"

#include "core/search/command_search.h"
#include "core/search/line_reader.h"
#include "core/search/listing_format.h"
#include "core/search/scan_lines.h"
#include "platform/native_names.h"

#include <algorithm>

namespace core {

namespace {

// A target's native path as the listing names it: each character the
// listing's encoding can't write (and each malformed byte) as 〓, or as
// U+FFFD in UTF-8.
std::string PathIn(const platform::Encoding& listing, std::string_view path) {
    if (&listing == &platform::Cp932()) return platform::NameToCodePage(path);
    return platform::EncodeMarked(listing, platform::DecodeUtf8Lossy(path));
}

// Ends the scan of a target whose output form needs no more of its lines.
struct EnoughLines {};

// Reads the target at path and hands each hit line, with its number, label,
// text and the file's encoding, to take, which returns false when the
// target's further lines are not needed; counts them into the result.
template <class Take>
void ScanTarget(const TargetSearch& search, const std::string& path, TargetResult& result, RunProgress* progress,
                Take&& take) {
    LineReader reader;
    reader.SetForm(search.form);
    reader.SetWays(search.ways);
    WithTextFile(reader, path, [&](LineReader& r) {
        if (progress) progress->StartFile(path);
        r.SetProgress(progress);
        const platform::Encoding& encoding = *r.Form().encoding;
        // A text with no form in the file's encoding is in none of its lines.
        const std::string* phrase = search.text.In(encoding);
        try {
            ScanLines(r, phrase != nullptr ? std::string_view(*phrase) : std::string_view(),
                      LineCleaning::StripIdeographicSpaces,
                      [&](std::int64_t n, std::string_view label, const HitText& text) {
                          const bool more = take(n, label, text, encoding);
                          ++result.hitLines;
                          if (result.row.size() + 1 < HitTable::kSlots) result.row.push_back(n);
                          if (!more) throw EnoughLines{};
                      });
        } catch (const EnoughLines&) {}
    });
}

// A target in the command's output form, when it is not the listing: its
// lines found before an error go out with it.
void SearchForOutput(const TargetSearch& search, const std::string& path, ListingSink& out, TargetResult& result,
                     RunProgress* progress) noexcept {
    try {
        TargetOutput& output = *search.output;
        const std::string_view name = TargetName(path);
        ListingPart part(out);
        try {
            ScanTarget(search, path, result, progress,
                       [&](std::int64_t n, std::string_view, const HitText& text, const platform::Encoding& encoding) {
                           return output.Hit(part, name, n, text, encoding);
                       });
            output.End(part, name, result.hitLines);
        } catch (...) {
            result.error = std::current_exception();
        }
        part.Flush();
    } catch (...) {
        if (!result.error) result.error = std::current_exception();
    }
}

}  // namespace

std::string_view TargetName(std::string_view path) noexcept {
    return !path.empty() && path.front() == '\0' ? path.substr(1) : path;
}

void SearchTarget(const TargetSearch& search, const std::string& path, int k, ListingSink& out, TargetResult& result,
                  RunProgress* progress) noexcept {
    if (search.output != nullptr) return SearchForOutput(search, path, out, result, progress);
    try {
        ListingPart part(out);
        try {
            part.Append(FileHeaderLine(PathIn(search.listing, TargetName(path)), k), kCRLF);
            ScanTarget(
                search, path, result, progress,
                [&](std::int64_t, std::string_view label, const HitText& text, const platform::Encoding& encoding) {
                    part.AppendLabelled(label, text, encoding, search.listing);
                    return true;
                });
            part.Append(kCRLF);
        } catch (...) {
            // The lines found before the error go out with it, as they would
            // have had the block been full; a target that failed before its
            // first hit line adds nothing, not even its header, unless part
            // of a long first hit line went out before its reading failed.
            result.error = std::current_exception();
            if (result.hitLines == 0 && !part.Wrote()) return;
        }
        part.Flush();
    } catch (...) {
        if (!result.error) result.error = std::current_exception();
    }
}

std::size_t Settle(const TargetSearch& search, const std::string& path, const TargetResult& result, int k,
                   HitTable& hits) {
    if (k <= HitTable::kTargets) std::copy(result.row.begin(), result.row.end(), hits.Row(k).begin());
    if (result.error) {
        if (search.failures == nullptr) std::rethrow_exception(result.error);
        search.failures->Failed(path, result.error);
    }
    return result.hitLines;
}

}  // namespace core

#include "core/search/target_search.h"

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

}  // namespace

void SearchTarget(const TargetSearch& search, const std::string& path, int k, ListingSink& out, TargetResult& result,
                  RunProgress* progress) noexcept {
    try {
        ListingPart part(out);
        try {
            part.Append(FileHeaderLine(PathIn(search.listing, path), k), kCRLF);
            LineReader reader;
            reader.SetForm(search.form);
            WithTextFile(reader, path, [&](LineReader& r) {
                if (progress) progress->StartFile(path);
                r.SetProgress(progress);
                const platform::Encoding& encoding = *r.Form().encoding;
                // A text with no form in the file's encoding is in none of its lines.
                const std::string* phrase = search.text.In(encoding);
                ScanLines(r, phrase != nullptr ? std::string_view(*phrase) : std::string_view(),
                          LineCleaning::StripIdeographicSpaces,
                          [&](std::int64_t n, std::string_view label, const HitText& text) {
                              part.AppendLabelled(label, text, encoding, search.listing);
                              ++result.hitLines;
                              if (result.row.size() + 1 < HitTable::kSlots) result.row.push_back(n);
                          });
            });
            part.Append(kCRLF);
        } catch (...) {
            // The lines found before the error go out with it, as they would
            // have had the block been full; a target that failed before its
            // first hit line adds nothing, not even its header.
            result.error = std::current_exception();
            if (result.hitLines == 0) return;
        }
        part.Flush();
    } catch (...) {
        if (!result.error) result.error = std::current_exception();
    }
}

std::size_t Settle(const TargetResult& result, int k, HitTable& hits) {
    std::copy(result.row.begin(), result.row.end(), hits.Row(k).begin());
    if (result.error) std::rethrow_exception(result.error);
    return result.hitLines;
}

}  // namespace core

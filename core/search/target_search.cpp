#include "core/search/target_search.h"

#include "core/search/line_reader.h"
#include "core/search/listing_format.h"
#include "core/search/scan_lines.h"

#include <algorithm>

namespace core {

namespace {

// A target's path (code-page bytes, as opened) as the listing of files in
// another encoding names it; a name that encoding can't write stays as it is.
std::string PathIn(const platform::Encoding& encoding, std::string_view path) {
    if (&encoding == &platform::Cp932()) return std::string(path);
    return platform::Utf8ToEncoding(encoding, platform::CodePageToUtf8(path)).value_or(std::string(path));
}

}  // namespace

void SearchTarget(std::string_view searchText, const TextForm& form, const std::string& path, int k, ListingSink& out,
                  TargetResult& result, RunProgress* progress) noexcept {
    try {
        ListingPart part(out);
        try {
            part.Append(FileHeaderLine(PathIn(*form.encoding, path), k), kCRLF);
            LineReader reader;
            reader.SetForm(form);
            WithTextFile(reader, path, [&](LineReader& r) {
                if (progress) progress->StartFile(path);
                r.SetProgress(progress);
                ScanLines(r, searchText, LineCleaning::StripIdeographicSpaces,
                          [&](std::int64_t n, std::string_view label, std::string_view text) {
                              part.AppendLabelled(label, text);
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

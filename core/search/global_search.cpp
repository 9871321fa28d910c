#include "core/search/global_search.h"

#include "core/search/listing_format.h"
#include "core/search/read_ways.h"
#include "core/search/target_search.h"
#include "core/search/text_bytes.h"
#include "core/search/two_readers.h"

#include "platform/file_access.h"

#include <algorithm>
#include <thread>

namespace core {

namespace {

// The bytes of the targets as they are now (0 for one that is no regular
// file), and whether one is standard input (a path that is empty up to its NUL).
struct TargetSizes {
    std::size_t count = 0;
    std::uint64_t total = 0;
    bool standardInput = false;
};

TargetSizes SizesOf(std::span<const std::string> targets) {
    TargetSizes sizes;
    for (const std::string& target : targets) {
        const std::string_view path = UpToNul(target);
        sizes.standardInput = sizes.standardInput || path.empty();
        ++sizes.count;
        sizes.total += platform::RegularFileSize(path).value_or(0);
    }
    return sizes;
}

// Two files are searched at a time when the machine has two cores and there
// is enough to read: starting a second thread costs about what scanning a
// few hundred kilobytes does, and more on a busy machine. Standard input is
// only ever read in turn.
bool SearchInParallel(const TargetSizes& sizes, Readers readers) {
    constexpr std::uint64_t kWorthASecondThread = 1 << 20;
    if (sizes.count < 2 || sizes.standardInput) return false;
    return readers == Readers::Two || (std::thread::hardware_concurrency() >= 2 && sizes.total >= kWorthASecondThread);
}

}  // namespace

std::size_t StreamTargets(const TargetSearch& search, std::span<const std::string> targets, int first, HitTable& hits,
                          ListingSink& sink, RunProgress* progress, Readers readers) {
    const TargetSizes sizes = SizesOf(targets);
    if (progress) progress->SetTotal(sizes.total);
    if (SearchInParallel(sizes, readers)) {
        if (const auto hitLines =
                SearchWithTwoReaders(search, targets, first, progress, readers == Readers::Two, sink, hits)) {
            return *hitLines;
        }
    }
    std::size_t hitLines = 0;
    for (std::size_t i = 0; i < targets.size(); ++i) {
        const int k = first + static_cast<int>(i);
        TargetResult result;
        SearchTarget(search, targets[i], k, sink, result, progress);
        hitLines += Settle(search, targets[i], result, k, hits);
    }
    return hitLines;
}

std::size_t StreamGlobalSearch(const SearchText& text, std::span<const std::string> targets, HitTable& hits,
                               ListingSink& sink, RunProgress* progress, Readers readers, const TextForm& form,
                               const platform::Encoding* listing) {
    ReadWays ways;
    const TargetSearch search{text, form, ListingEncoding(form, listing), nullptr, nullptr, &ways};
    hits.Clear();
    std::size_t count = 0;
    while (count < std::min(targets.size(), kMaxTargets) && !targets[count].empty()) ++count;
    sink.Write(ListingHeading(search.listing, text.Shown(search.listing)));
    return StreamTargets(search, targets.first(count), 1, hits, sink, progress, readers);
}

std::size_t StreamGlobalSearch(std::string_view searchText, std::span<const std::string> targets, HitTable& hits,
                               ListingSink& sink, RunProgress* progress, Readers readers, const TextForm& form,
                               const platform::Encoding* listing) {
    return StreamGlobalSearch(SearchTextOfBytes(searchText, form), targets, hits, sink, progress, readers, form,
                              listing);
}

GlobalListing RunGlobalSearch(const SearchText& text, std::span<const std::string> targets, HitTable& hits,
                              RunProgress* progress, Readers readers, const TextForm& form,
                              const platform::Encoding* listing) {
    CollectingSink sink;
    GlobalListing result;
    result.hitLines = StreamGlobalSearch(text, targets, hits, sink, progress, readers, form, listing);
    result.text = sink.Take();
    return result;
}

GlobalListing RunGlobalSearch(std::string_view searchText, std::span<const std::string> targets, HitTable& hits,
                              RunProgress* progress, Readers readers, const TextForm& form,
                              const platform::Encoding* listing) {
    return RunGlobalSearch(SearchTextOfBytes(searchText, form), targets, hits, progress, readers, form, listing);
}

}  // namespace core

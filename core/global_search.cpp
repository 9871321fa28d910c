#include "core/global_search.h"

#include "core/hit_rule.h"
#include "core/line_reader.h"
#include "core/listing_format.h"
#include "core/texts.h"

#include "platform/file_access.h"

#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace core {

namespace {

// A target's part of the listing, in blocks that are filled and never
// moved: growing it copies nothing, and the parts are joined once, at the
// end, into a listing of the exact size.
class ListingPart {
public:
    void Append(std::string_view a, std::string_view b = {}, std::string_view c = {}, std::string_view d = {}) {
        const std::size_t n = a.size() + b.size() + c.size() + d.size();
        if (blocks_.empty() || blocks_.back().capacity() - blocks_.back().size() < n) {
            // Small for a small part, up to a megabyte a block for a big one.
            const std::size_t last = blocks_.empty() ? 0 : blocks_.back().capacity();
            blocks_.emplace_back().reserve(std::max(n, std::clamp<std::size_t>(2 * last, 4096, 1 << 20)));
        }
        std::string& block = blocks_.back();
        block.append(a).append(b).append(c).append(d);
        size_ += n;
    }
    std::size_t size() const noexcept { return size_; }
    // Appends the part to out, freeing its blocks on the way.
    void MoveTo(std::string& out) {
        for (std::string& block : blocks_) {
            out += block;
            std::string().swap(block);
        }
        blocks_.clear();
        size_ = 0;
    }

private:
    std::vector<std::string> blocks_;
    std::size_t size_ = 0;
};

// What the search of one target gave: its part of the listing, the line
// numbers its row of the hit table keeps, and the error that ended it.
struct TargetResult {
    ListingPart part;
    std::vector<std::int64_t> row;
    std::size_t hitLines = 0;
    std::exception_ptr error;
};

// Searches target k; never throws, the error is kept in the result.
void SearchTarget(std::string_view searchText, const std::string& path, int k, TargetResult& result,
                  RunProgress* progress) noexcept {
    try {
        result.part.Append(FileHeaderLine(path, k), kCRLF);
        LineReader reader;
        WithTextFile(reader, path, [&](LineReader& r) {
            if (progress) progress->StartFile(path);
            r.SetProgress(progress);
            ScanLines(r, searchText, LineCleaning::StripIdeographicSpaces,
                      [&](std::int64_t n, std::string_view label, std::string_view text) {
                          result.part.Append(label, ": ", text, kCRLF);  // as AppendLabelledLine
                          ++result.hitLines;
                          if (result.row.size() + 1 < HitTable::kSlots) result.row.push_back(n);
                      });
        });
        result.part.Append(kCRLF);
    } catch (...) {
        result.error = std::current_exception();
    }
}

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
        std::string native;
        struct stat st {};
        const bool regular =
            !path.empty() && platform::NativePath(path, native) == 0 && ::stat(native.c_str(), &st) == 0 && S_ISREG(st.st_mode);
        ++sizes.count;
        if (regular) sizes.total += static_cast<std::uint64_t>(st.st_size);
    }
    return sizes;
}

// The listing: the targets' parts, kept in target order as they are merged
// and joined once, at the end, into a string of the exact size. Nothing is
// reserved that the listing will not hold, whatever the targets' sizes.
class Listing {
public:
    explicit Listing(std::string_view searchText) {
        parts_.emplace_back().Append(texts::ListingHeading(), searchText, kCRLF, kCRLF);
    }

    // Adds target k's result and its row of the table; raises its error
    // after recording what the target recorded before it.
    void Merge(TargetResult& result, int k, HitTable& hits) {
        std::copy(result.row.begin(), result.row.end(), hits.Row(k).begin());
        if (result.error) std::rethrow_exception(result.error);
        hitLines_ += result.hitLines;
        parts_.push_back(std::move(result.part));
        result = {};
    }
    GlobalListing Take() {
        GlobalListing listing;
        std::size_t size = 0;
        for (const ListingPart& part : parts_) size += part.size();
        listing.text.reserve(size);
        for (ListingPart& part : parts_) part.MoveTo(listing.text);
        parts_.clear();
        listing.hitLines = hitLines_;
        return listing;
    }

private:
    std::vector<ListingPart> parts_;
    std::size_t hitLines_ = 0;
};

// Two files are searched at a time when the machine has two cores and there
// is enough to read: starting a second thread costs about what scanning a
// few hundred kilobytes does, and more on a busy machine. Results are merged
// in target order as they come, so the listing, the table and the first
// error are those of the one-at-a-time search. Standard input is only ever
// read in turn.
bool SearchInParallel(const TargetSizes& sizes) {
    constexpr std::uint64_t kWorthASecondThread = 1 << 20;
    return sizes.count >= 2 && std::thread::hardware_concurrency() >= 2 && !sizes.standardInput &&
           sizes.total >= kWorthASecondThread;
}

}  // namespace

GlobalListing RunGlobalSearch(std::string_view searchText, std::span<const std::string> targets, HitTable& hits,
                              RunProgress* progress) {
    hits.Clear();
    std::size_t count = 0;
    while (count < std::min(targets.size(), kMaxTargets) && !targets[count].empty()) ++count;
    targets = targets.first(count);
    const TargetSizes sizes = SizesOf(targets);
    if (progress) progress->SetTotal(sizes.total);
    Listing listing(searchText);

    if (!SearchInParallel(sizes)) {
        for (std::size_t i = 0; i < count; ++i) {
            TargetResult result;
            SearchTarget(searchText, targets[i], static_cast<int>(i) + 1, result, progress);
            listing.Merge(result, static_cast<int>(i) + 1, hits);
        }
        return listing.Take();
    }

    std::vector<TargetResult> results(count);
    std::vector<char> done(count, 0);  // guarded by mutex
    std::mutex mutex;
    std::condition_variable finished;
    std::atomic<std::size_t> next{0};
    std::atomic<bool> stop{false};
    const auto searchNext = [&] {
        const std::size_t i = next.fetch_add(1);
        if (i >= count || stop.load()) return false;
        SearchTarget(searchText, targets[i], static_cast<int>(i) + 1, results[i], progress);
        {
            std::lock_guard lock(mutex);
            done[i] = 1;
        }
        finished.notify_all();
        return true;
    };

    // The helper stops taking targets once the search has failed, and is
    // joined on every way out.
    std::thread helper;
    struct Joiner {
        std::thread& thread;
        std::atomic<bool>& stop;
        ~Joiner() {
            stop.store(true);
            if (thread.joinable()) thread.join();
        }
    } joiner{helper, stop};
    try {
        helper = std::thread([&] {
            while (searchNext()) {
            }
        });
    } catch (const std::system_error&) {
        // No second thread: this one searches every target.
    }

    std::size_t merged = 0;
    const auto isDone = [&](std::size_t i) {
        std::lock_guard lock(mutex);
        return done[i] != 0;
    };
    const auto mergeDone = [&] {
        for (; merged < count && isDone(merged); ++merged) listing.Merge(results[merged], static_cast<int>(merged) + 1, hits);
    };
    while (searchNext()) mergeDone();
    while (merged < count) {
        {
            std::unique_lock lock(mutex);
            finished.wait(lock, [&] { return done[merged] != 0; });
        }
        mergeDone();
    }
    return listing.Take();
}

}  // namespace core

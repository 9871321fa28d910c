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

// What the search of one target gave: its part of the listing, the line
// numbers its row of the hit table keeps, and the error that ended it.
struct TargetResult {
    std::string text;
    std::vector<std::int64_t> row;
    std::size_t hitLines = 0;
    std::exception_ptr error;
};

// Searches target k; never throws, the error is kept in the result.
void SearchTarget(std::string_view searchText, const std::string& path, int k, TargetResult& result) noexcept {
    try {
        result.text += FileHeaderLine(path, k);
        result.text += kCRLF;
        LineReader reader;
        WithTextFile(reader, path, [&](LineReader& r) {
            ScanLines(r, searchText, LineCleaning::StripIdeographicSpaces,
                      [&](std::int64_t n, std::string_view label, std::string_view text) {
                          AppendLabelledLine(result.text, label, text);
                          ++result.hitLines;
                          if (result.row.size() + 1 < HitTable::kSlots) result.row.push_back(n);
                      });
        });
        result.text += kCRLF;
    } catch (...) {
        result.error = std::current_exception();
    }
}

// Adds target k's result to the listing and the table; raises its error
// after recording what the target recorded before it.
void Merge(TargetResult& result, int k, GlobalListing& listing, HitTable& hits) {
    std::copy(result.row.begin(), result.row.end(), hits.Row(k).begin());
    if (result.error) std::rethrow_exception(result.error);
    listing.text += result.text;
    listing.hitLines += result.hitLines;
    result = {};  // its part of the listing is not kept twice
}

// Two files are searched at a time when the machine has two cores and there
// is enough to read: starting a second thread costs about what scanning a
// few hundred kilobytes does, and more on a busy machine. Results are merged
// in target order as they come, so the listing, the table and the first
// error are those of the one-at-a-time search. Standard input (a path that
// is empty up to its NUL) is only ever read in turn.
bool SearchInParallel(std::span<const std::string> targets) {
    constexpr std::uint64_t kWorthASecondThread = 1 << 20;
    if (targets.size() < 2 || std::thread::hardware_concurrency() < 2) return false;
    std::uint64_t total = 0;
    for (const std::string& target : targets) {
        const std::string_view path = UpToNul(target).substr(0, LineReader::kMaxPath);
        if (path.empty()) return false;
        std::string native;
        struct stat st {};
        if (platform::NativePath(path, native) == 0 && ::stat(native.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
            total += static_cast<std::uint64_t>(st.st_size);
        }
    }
    return total >= kWorthASecondThread;
}

}  // namespace

GlobalListing RunGlobalSearch(std::string_view searchText, std::span<const std::string> targets, HitTable& hits) {
    hits.Clear();
    GlobalListing listing;
    listing.text += texts::ListingHeading();
    listing.text += searchText;
    listing.text += kCRLF;
    listing.text += kCRLF;

    std::size_t count = 0;
    while (count < std::min(targets.size(), kMaxTargets) && !targets[count].empty()) ++count;
    targets = targets.first(count);

    if (!SearchInParallel(targets)) {
        for (std::size_t i = 0; i < count; ++i) {
            TargetResult result;
            SearchTarget(searchText, targets[i], static_cast<int>(i) + 1, result);
            Merge(result, static_cast<int>(i) + 1, listing, hits);
        }
        return listing;
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
        SearchTarget(searchText, targets[i], static_cast<int>(i) + 1, results[i]);
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
        for (; merged < count && isDone(merged); ++merged) Merge(results[merged], static_cast<int>(merged) + 1, listing, hits);
    };
    while (searchNext()) mergeDone();
    while (merged < count) {
        {
            std::unique_lock lock(mutex);
            finished.wait(lock, [&] { return done[merged] != 0; });
        }
        mergeDone();
    }
    return listing;
}

}  // namespace core

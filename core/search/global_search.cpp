#include "core/search/global_search.h"

#include "core/search/hit_rule.h"
#include "core/search/line_reader.h"
#include "core/search/listing_format.h"
#include "core/texts.h"

#include "platform/file_access.h"

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

// A target's path (code-page bytes, as opened) as the listing of files in
// another encoding names it; a name that encoding can't write stays as it is.
std::string PathIn(const platform::Encoding& encoding, std::string_view path) {
    if (&encoding == &platform::Cp932()) return std::string(path);
    return platform::Utf8ToEncoding(encoding, platform::CodePageToUtf8(path)).value_or(std::string(path));
}

// Searches target k; never throws, the error is kept in the result.
void SearchTarget(std::string_view searchText, const TextForm& form, const std::string& path, int k,
                  TargetResult& result, RunProgress* progress) noexcept {
    try {
        result.part.Append(FileHeaderLine(PathIn(*form.encoding, path), k), kCRLF);
        LineReader reader;
        reader.SetForm(form);
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
        ++sizes.count;
        sizes.total += platform::RegularFileSize(path).value_or(0);
    }
    return sizes;
}

// The listing: the targets' parts, kept in target order as they are merged
// and joined once, at the end, into a string of the exact size. Nothing is
// reserved that the listing will not hold, whatever the targets' sizes.
class Listing {
public:
    Listing(std::string_view searchText, const TextForm& form) {
        parts_.emplace_back().Append(texts::ListingHeading(*form.encoding), searchText, kCRLF, kCRLF);
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
bool SearchInParallel(const TargetSizes& sizes, Readers readers) {
    constexpr std::uint64_t kWorthASecondThread = 1 << 20;
    if (sizes.count < 2 || sizes.standardInput) return false;
    return readers == Readers::Two ||
           (std::thread::hardware_concurrency() >= 2 && sizes.total >= kWorthASecondThread);
}

// Stops the reading of one target at its next block once it can no longer
// count: a target before it failed, or the search is being left. Everything
// else goes on to the caller's progress, when given.
class TargetWatch final : public RunProgress {
public:
    TargetWatch(RunProgress* outer, std::size_t index, const std::atomic<std::size_t>& firstFailed,
                const std::atomic<bool>& leaving) noexcept
        : outer_(outer), index_(index), firstFailed_(firstFailed), leaving_(leaving) {}
    void SetTotal(std::uint64_t) override {}
    void StartFile(std::string_view path) override {
        if (outer_) outer_->StartFile(path);
    }
    bool Read(std::uint64_t bytes) override {
        if (leaving_.load() || firstFailed_.load() < index_) return false;
        return outer_ == nullptr || outer_->Read(bytes);
    }

private:
    RunProgress* outer_;
    std::size_t index_;
    const std::atomic<std::size_t>& firstFailed_;
    const std::atomic<bool>& leaving_;
};

// The targets searched by this thread and a helper, merged here in order.
// An error is raised as soon as the targets before it are merged; the helper
// then stops at its next block and is joined, on every way out.
class TwoReaders {
public:
    TwoReaders(std::string_view searchText, const TextForm& form, std::span<const std::string> targets,
               RunProgress* progress, bool takeTurns)
        : searchText_(searchText),
          form_(form),
          targets_(targets),
          progress_(progress),
          results_(targets.size()),
          done_(targets.size(), 0),
          turns_(takeTurns),
          firstFailed_(targets.size()) {}
    TwoReaders(const TwoReaders&) = delete;
    TwoReaders& operator=(const TwoReaders&) = delete;
    ~TwoReaders() {
        {
            std::lock_guard lock(mutex_);
            leaving_.store(true);
        }
        changed_.notify_all();
        if (helper_.joinable()) helper_.join();
    }

    void Run(Listing& listing, HitTable& hits) {
        try {
            helper_ = std::thread([this] { SearchTaken(1); });
        } catch (const std::system_error&) {
            // No second thread: this one searches every target.
            std::lock_guard lock(mutex_);
            turns_ = false;
        }
        std::size_t merged = 0;
        const auto mergeDone = [&] {
            for (; merged < targets_.size() && IsDone(merged); ++merged) {
                listing.Merge(results_[merged], static_cast<int>(merged) + 1, hits);
            }
        };
        for (std::size_t i; (i = Take(0)) < targets_.size();) {
            Search(i);
            mergeDone();
        }
        while (merged < targets_.size()) {
            {
                std::unique_lock lock(mutex_);
                changed_.wait(lock, [&] { return done_[merged] != 0; });
            }
            mergeDone();
        }
    }

private:
    void SearchTaken(int reader) {
        for (std::size_t i; (i = Take(reader)) < targets_.size();) Search(i);
    }

    // The next target for reader 0 (this thread) or 1 (the helper); the
    // target count when none is left to take. Taking turns, each reader
    // waits for its own and the first waits until the second has one too,
    // so that both are at work from the start.
    std::size_t Take(int reader) {
        const std::size_t count = targets_.size();
        std::unique_lock lock(mutex_);
        const auto over = [&] { return leaving_.load() || next_ >= count || next_ > firstFailed_.load(); };
        changed_.wait(lock, [&] { return over() || !turns_ || static_cast<int>(next_ % 2) == reader; });
        if (over()) return count;
        const std::size_t i = next_++;
        changed_.notify_all();
        if (turns_ && i == 0) changed_.wait(lock, [&] { return over() || next_ > 1; });
        return i;
    }

    void Search(std::size_t i) {
        TargetWatch watch(progress_, i, firstFailed_, leaving_);
        SearchTarget(searchText_, form_, targets_[i], static_cast<int>(i) + 1, results_[i], &watch);
        if (results_[i].error) {
            std::size_t seen = firstFailed_.load();
            while (i < seen && !firstFailed_.compare_exchange_weak(seen, i)) {
            }
        }
        {
            std::lock_guard lock(mutex_);
            done_[i] = 1;
        }
        changed_.notify_all();
    }

    bool IsDone(std::size_t i) {
        std::lock_guard lock(mutex_);
        return done_[i] != 0;
    }

    std::string_view searchText_;
    TextForm form_;
    std::span<const std::string> targets_;
    RunProgress* progress_;
    std::vector<TargetResult> results_;  // each written by the reader of its target until it is done
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<char> done_;                // guarded by mutex_
    std::size_t next_ = 0;                  // guarded by mutex_: the next target to take
    bool turns_;                            // guarded by mutex_
    std::atomic<std::size_t> firstFailed_;  // no target after it is taken, or read on
    std::atomic<bool> leaving_{false};
    std::thread helper_;
};

}  // namespace

GlobalListing RunGlobalSearch(std::string_view searchText, std::span<const std::string> targets, HitTable& hits,
                              RunProgress* progress, Readers readers, const TextForm& form) {
    hits.Clear();
    std::size_t count = 0;
    while (count < std::min(targets.size(), kMaxTargets) && !targets[count].empty()) ++count;
    targets = targets.first(count);
    const TargetSizes sizes = SizesOf(targets);
    if (progress) progress->SetTotal(sizes.total);
    Listing listing(searchText, form);

    if (!SearchInParallel(sizes, readers)) {
        for (std::size_t i = 0; i < count; ++i) {
            TargetResult result;
            SearchTarget(searchText, form, targets[i], static_cast<int>(i) + 1, result, progress);
            listing.Merge(result, static_cast<int>(i) + 1, hits);
        }
        return listing.Take();
    }
    TwoReaders(searchText, form, targets, progress, readers == Readers::Two).Run(listing, hits);
    return listing.Take();
}

}  // namespace core

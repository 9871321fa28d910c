#include "core/search/two_readers.h"

#include "core/search/target_search.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

namespace core {

namespace {

// The memory that the blocks of targets' lines may take before the writer
// takes them: enough to keep both readers busy, little enough that the
// command's memory does not follow the listing's size. The target being
// written is drained as it is read, so it needs little; the targets after
// it share more, so that a reader ahead of the writer seldom waits.
constexpr std::size_t kWritingAhead = 2 * 1024 * 1024;
constexpr std::size_t kLaterAhead = 8 * 1024 * 1024;

std::function<void(std::size_t, std::size_t)> roomWaitHook;

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

// The two readers and the writer. Every reader hands its target's blocks to
// that target's queue; the writer empties the queues in target order. The
// readers are joined on every way out: leaving, they stop at their next block.
class TwoReaders {
public:
    TwoReaders(const TargetSearch& search, std::span<const std::string> targets, int first, RunProgress* progress,
               bool takeTurns)
        : search_(search),
          targets_(targets),
          first_(first),
          progress_(progress),
          queues_(targets.size()),
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
        for (std::thread& reader : readers_) {
            if (reader.joinable()) reader.join();
        }
    }

    std::optional<std::size_t> Run(ListingSink& sink, HitTable& hits) {
        for (int reader = 0; reader < 2; ++reader) {
            try {
                readers_[reader] = std::thread([this, reader] { SearchTaken(reader); });
            } catch (const std::system_error&) {
                // One reader fewer: the other one takes every target.
                std::lock_guard lock(mutex_);
                turns_ = false;
            }
        }
        if (!readers_[0].joinable() && !readers_[1].joinable()) return std::nullopt;

        std::size_t hitLines = 0;
        for (std::size_t i = 0; i < targets_.size(); ++i) {
            Queue& queue = queues_[i];
            {
                std::lock_guard lock(mutex_);
                writing_ = i;
            }
            changed_.notify_all();
            for (;;) {
                // One block at a time, so that a reader may put its next
                // one while this one is written, and no more are held.
                std::string block;
                {
                    std::unique_lock lock(mutex_);
                    changed_.wait(lock, [&] { return !queue.blocks.empty() || queue.done; });
                    if (queue.blocks.empty()) break;
                    block = std::move(queue.blocks.front());
                    queue.blocks.pop_front();
                    queue.bytes -= block.capacity();
                }
                changed_.notify_all();
                sink.Write(std::move(block));
            }
            hitLines += Settle(search_, targets_[i], queue.result, first_ + static_cast<int>(i), hits);
        }
        return hitLines;
    }

private:
    struct Queue {
        std::deque<std::string> blocks;  // guarded by mutex_
        std::size_t bytes = 0;           // guarded by mutex_
        bool done = false;               // guarded by mutex_; then result is the writer's
        TargetResult result;             // the reader's until done
    };

    // Hands a target's blocks to its queue, waiting while the queue is full.
    class QueueOut final : public ListingSink {
    public:
        QueueOut(TwoReaders& owner, std::size_t index) noexcept
            : owner_(owner), index_(index), queue_(owner.queues_[index]) {}
        void Write(std::string block) override {
            {
                std::unique_lock lock(owner_.mutex_);
                if (roomWaitHook && !owner_.HasRoom(index_) && !owner_.leaving_.load()) {
                    roomWaitHook(index_, queue_.bytes);
                }
                owner_.changed_.wait(lock, [&] { return owner_.HasRoom(index_) || owner_.leaving_.load(); });
                if (owner_.leaving_.load()) return;
                queue_.bytes += block.capacity();  // what it holds of memory
                queue_.blocks.push_back(std::move(block));
            }
            owner_.changed_.notify_all();
        }

    private:
        TwoReaders& owner_;
        std::size_t index_;
        Queue& queue_;
    };

    // Whether target i's reader may put another block. Called with mutex_ held.
    bool HasRoom(std::size_t i) const noexcept {
        if (i == writing_) return queues_[i].bytes < kWritingAhead;
        std::size_t later = 0;
        for (std::size_t j = writing_ + 1; j < queues_.size(); ++j) later += queues_[j].bytes;
        return later < kLaterAhead;
    }

    void SearchTaken(int reader) {
        for (std::size_t i; (i = Take(reader)) < targets_.size();) Search(i);
    }

    // The next target for reader 0 or 1; the target count when none is left
    // to take. Taking turns, each reader waits for its own and the first
    // waits until the second has one too, so that both are at work from the
    // start.
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
        Queue& queue = queues_[i];
        TargetWatch watch(progress_, i, firstFailed_, leaving_);
        QueueOut out(*this, i);
        SearchTarget(search_, targets_[i], first_ + static_cast<int>(i), out, queue.result, &watch);
        // A failure that is only reported lets the later targets go on.
        if (queue.result.error && search_.failures == nullptr) {
            std::size_t seen = firstFailed_.load();
            while (i < seen && !firstFailed_.compare_exchange_weak(seen, i)) {}
        }
        {
            std::lock_guard lock(mutex_);
            queue.done = true;
        }
        changed_.notify_all();
    }

    const TargetSearch& search_;
    std::span<const std::string> targets_;
    int first_;
    RunProgress* progress_;
    std::vector<Queue> queues_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::size_t next_ = 0;                  // guarded by mutex_: the next target to take
    std::size_t writing_ = 0;               // guarded by mutex_: the target being written
    bool turns_;                            // guarded by mutex_
    std::atomic<std::size_t> firstFailed_;  // no target after it is taken, or read on
    std::atomic<bool> leaving_{false};
    std::thread readers_[2];
};

}  // namespace

std::optional<std::size_t> SearchWithTwoReaders(const TargetSearch& search, std::span<const std::string> targets,
                                                int first, RunProgress* progress, bool takeTurns, ListingSink& sink,
                                                HitTable& hits) {
    return TwoReaders(search, targets, first, progress, takeTurns).Run(sink, hits);
}

void SetRoomWaitHookForTests(std::function<void(std::size_t target, std::size_t queued)> hook) {
    roomWaitHook = std::move(hook);
}

}  // namespace core

// The global search with both readers at work from the first target (the
// Readers::Two seam) against the one-at-a-time reference: targets of every
// size, failing ones among them; what is read after a failing target; how
// far a reader gets ahead of the writer; and failures that are only
// reported, after which the later targets are read. Also built alone under
// ThreadSanitizer, which `make test` runs, for races in the merge.
#include "core/search/two_readers.h"
#include "core/search/command_search.h"
#include "core/search/global_search.h"
#include "core/search/line_reader.h"
#include "core/search/listing_format.h"
#include "core/search/target_search.h"
#include "error_code_of.h"
#include "expect_reference.h"
#include "platform/file_access.h"
#include "reference_model.h"
#include "temp_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <random>
#include <span>
#include <thread>

using namespace core;
using testing_support::ErrorCodeOf;
using testing_support::TempDir;

namespace {

// Lines that hold the phrase, start it at their end, or are indented before it.
std::string Text(std::mt19937& rng, std::size_t size) {
    static const char* const pieces[] = {"key", "ke", "y", "\x81\x40", "\x82", "abc", "\r\n", "\r\n", "\r"};
    std::string text;
    while (text.size() < size) {
        text += rng() % 4 == 0 ? pieces[rng() % std::size(pieces)] : std::string(rng() % 60, '.') + "\r\n";
    }
    return text;
}

class CountingProgress : public RunProgress {
public:
    void SetTotal(std::uint64_t) override {}
    void StartFile(std::string_view) override {}
    bool Read(std::uint64_t bytes) override {
        // The first block read holds its reader a while, so that the other
        // one has surely failed by the next block however busy the machine.
        if (read.fetch_add(bytes) == 0 && holdFirstBlock) std::this_thread::sleep_for(std::chrono::milliseconds(500));
        return true;
    }
    std::atomic<std::uint64_t> read{0};
    bool holdFirstBlock = false;
};

class FileProgress;

// Tells the progress a reader thread has ended: given on the thread's first
// file, told as the thread ends.
struct ThreadEndNotice {
    FileProgress* progress = nullptr;
    ~ThreadEndNotice();
};
thread_local ThreadEndNotice threadEnd;
thread_local std::string readingNow;  // the file this thread reads

// What the readers tell the progress: the files they start and the bytes of
// each they read, and which reader threads have ended. The tests wait on it
// with a bound, so that a fault that keeps what they wait for from happening
// fails the test instead of hanging it.
class FileProgress final : public RunProgress {
public:
    static constexpr auto kBound = std::chrono::seconds(20);

    void SetTotal(std::uint64_t) override {}
    void StartFile(std::string_view path) override {
        readingNow = path;
        if (std::this_thread::get_id() != caller_) threadEnd.progress = this;
        Change([&] { started.push_back(readingNow); });
        if (onStart) onStart(readingNow);
    }
    bool Read(std::uint64_t bytes) override {
        Change([&] { read[readingNow] += bytes; });
        if (onRead) onRead(readingNow);
        return true;
    }

    template <class F>
    void Change(F&& change) {
        {
            const std::lock_guard lock(mutex);
            change();
        }
        changed.notify_all();
    }
    // Waits until done(), called with mutex held, or the bound passes; done() then.
    bool WaitUntil(const std::function<bool()>& done) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, kBound, done);
    }

    // Called with the file's path on the reader threads, outside mutex; they may wait.
    std::function<void(const std::string&)> onStart, onRead;

    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::string> started;           // guarded by mutex
    std::map<std::string, std::uint64_t> read;  // guarded by mutex
    int threadsEnded = 0;                       // guarded by mutex

private:
    std::thread::id caller_ = std::this_thread::get_id();
};

ThreadEndNotice::~ThreadEndNotice() {
    if (progress) progress->Change([this] { ++progress->threadsEnded; });
}

// Keeps what is written; hold, when given, runs as block n (from 0, the
// heading) is written, and may wait.
class HoldingSink final : public ListingSink {
public:
    void Write(std::string block) override {
        capacities.push_back(block.capacity());
        written += block;
        if (hold) hold(capacities.size() - 1);
    }
    std::string written;
    std::vector<std::size_t> capacities;
    std::function<void(std::size_t n)> hold;
};

// Sets the readers' hook for a test, and takes it away after.
class RoomWaits {
public:
    explicit RoomWaits(std::function<void(std::size_t target, std::size_t queued)> hook) {
        SetRoomWaitHookForTests(std::move(hook));
    }
    RoomWaits(const RoomWaits&) = delete;
    RoomWaits& operator=(const RoomWaits&) = delete;
    ~RoomWaits() { SetRoomWaitHookForTests({}); }
};

std::vector<std::string> Sorted(std::vector<std::string> v) {
    std::sort(v.begin(), v.end());
    return v;
}

}  // namespace

TEST(TwoReaders, ListingsTablesAndErrorsAreThoseOfOneReader) {
    TempDir dir;
    std::mt19937 rng(16);
    for (int round = 0; round < 16; ++round) {
        const std::size_t count = 2 + rng() % 19;
        std::vector<std::string> targets, contents;
        std::optional<std::size_t> failing;
        for (std::size_t k = 0; k < count; ++k) {
            const std::string name = "r" + std::to_string(round) + "t" + std::to_string(k);
            if (round % 2 == 1 && !failing && rng() % 4 == 0) {
                failing = k;
                targets.push_back(dir.Path(name + "-gone.txt"));
                contents.emplace_back();
                continue;
            }
            // Most small; some over a block of the reader, so both are at work at once.
            const std::size_t size = rng() % 6 == 0 ? rng() % (3 * LineReader::kFileBlock) : rng() % 3000;
            contents.push_back(Text(rng, size));
            targets.push_back(dir.Write(name + ".txt", contents.back()));
        }
        const std::string s = std::vector<std::string>{"key", "y", "\x81\x40k", "yk"}[rng() % 4];
        const std::string details = "round " + std::to_string(round) + ", search " + testing::PrintToString(s);

        if (!failing) {
            ASSERT_NO_FATAL_FAILURE(testing_support::ExpectMatchesReference(
                s, targets, contents, {.readers = Readers::Two, .rows = true, .local = false}, details));
            continue;
        }
        HitTable hits;
        ASSERT_EQ(ErrorCodeOf([&] { RunGlobalSearch(s, targets, hits, nullptr, Readers::Two); }), 2) << details;
        // The rows before the failing target are the reference's; from it on, empty.
        ASSERT_NO_FATAL_FAILURE(
            testing_support::ExpectRowsMatchReference(hits, s, std::span(contents).first(*failing), {}, details));
    }
}

// A target that fails is raised as soon as the targets before it are
// searched: the other reader stops reading a later one at its next block.
TEST(TwoReaders, AnErrorStopsTheOtherReaderAtOnce) {
    TempDir dir;
    const std::string big = dir.Write("big.txt", std::string(64 * LineReader::kFileBlock, 'y'));
    const std::vector<std::string> targets = {dir.Path("missing.txt"), big};
    CountingProgress progress;
    progress.holdFirstBlock = true;
    HitTable hits;
    EXPECT_EQ(ErrorCodeOf([&] { RunGlobalSearch("zzz", targets, hits, &progress, Readers::Two); }), 2);
    EXPECT_LT(progress.read.load(), 4 * LineReader::kFileBlock);
}

// A failing middle target before a huge last one: the reader of the failing
// target takes no other, and the last target is never opened, while the
// writer is still at the first; with one reader, the same in order. Each
// target read is named to the progress as its reading begins.
TEST(TwoReaders, NothingAfterAFailingTargetIsRead) {
    TempDir dir;
    std::string first;
    for (int i = 0; i < 2000; ++i) first += i % 7 == 0 ? "key\r\n" : "...\r\n";
    const std::string a = dir.Write("a.txt", first);
    const std::string b = dir.Write("b.txt", "key\r\n");
    std::string huge;
    while (huge.size() < 32 * LineReader::kFileBlock) huge += "key yyyyyyyyyyyyyyyyyyyyyy\r\n";
    const std::string c = dir.Write("c.txt", huge);
    HitTable hits;
    const std::string aAlone = RunGlobalSearch("key", std::vector<std::string>{a}, hits).text;
    const HitTable aHits = hits;

    // The first reader waits before it reads a until the second one, whose
    // b fails at its first read, has ended: it must, once b failed. Only then
    // can the first reader go on from a to c, which it must not.
    FileProgress progress;
    bool secondEnded = false;
    progress.onStart = [&](const std::string& path) {
        if (path == a) secondEnded = progress.WaitUntil([&] { return progress.threadsEnded == 1; });
    };
    HoldingSink sink;
    platform::PlanReadFailure(1, EIO);
    EXPECT_EQ(testing_support::ErrorCodeOf([&] {
                  StreamGlobalSearch("key", std::vector<std::string>{a, b, c}, hits, sink, &progress, Readers::Two);
              }),
              platform::err::kIoDevice);
    platform::PlanReadFailure(0, 0);
    EXPECT_TRUE(secondEnded) << "the reader of the failing target waited to take another";
    EXPECT_EQ(Sorted(progress.started), Sorted({a, b}));
    EXPECT_EQ(progress.read[c], 0u);
    EXPECT_EQ(sink.written, aAlone);
    EXPECT_TRUE(std::ranges::equal(hits.Row(1), aHits.Row(1)));
    EXPECT_EQ(hits.Row(2)[0], 0);
    EXPECT_EQ(hits.Row(3)[0], 0);

    // One reader (the targets are small), a missing one in the middle.
    FileProgress inTurn;
    HoldingSink alone;
    EXPECT_EQ(testing_support::ErrorCodeOf([&] {
                  StreamGlobalSearch("key", std::vector<std::string>{a, dir.Path("gone.txt"), b}, hits, alone, &inTurn);
              }),
              platform::err::kFileNotFound);
    EXPECT_EQ(inTurn.started, std::vector<std::string>{a});
    EXPECT_EQ(alone.written, aAlone);
}

// The writer keeps the reader of the target it writes within 2 MB of
// blocks: while it holds its first block the reader waits for room with
// exactly the blocks that reach 2 MB queued, each counted at the memory it
// holds; once the writer goes on, each block it takes wakes the reader, which
// reads its target to the end before the other reader, held meanwhile, puts
// anything that would wake it.
TEST(TwoReaders, TheWritersTargetIsReadAtMostTwoMegabytesAhead) {
    constexpr std::size_t kAhead = 2 * 1024 * 1024;
    TempDir dir;
    // Hit lines of 10 KB, so that a block ends well short of its capacity;
    // a target of fourteen blocks: the queue fills behind the first, and
    // what is left after that can't fill it again, so that a reader woken
    // only by the other reader's block stalls once, not for good.
    const std::string line = "key" + std::string(10000, 'k') + "\r\n";
    std::string first;
    while (first.size() < 14 * ListingPart::kBlock) first += line;
    const std::string a = dir.Write("a.txt", first);
    const std::string b = dir.Write("b.txt", "key\r\n");
    const std::vector<std::string> targets = {a, b};
    HitTable hits;
    const GlobalListing whole = RunGlobalSearch("key", targets, hits);

    FileProgress progress;
    std::vector<std::pair<std::size_t, std::size_t>> waits;  // guarded by progress.mutex
    bool writerHolds = false, readerGated = false;           // guarded by progress.mutex
    const RoomWaits hook(
        [&](std::size_t target, std::size_t queued) { progress.Change([&] { waits.emplace_back(target, queued); }); });
    const auto aRead = [&] { return progress.read[a] == first.size(); };

    // The reader of a, once its first block is surely queued, waits until
    // the writer holds that block; the writer holds it until the reader
    // waits for room (or, with no room kept, has read all of a); the reader
    // of b waits until a is read.
    bool readerHeld = false, aReadFirst = false;
    progress.onRead = [&](const std::string& path) {
        bool gate = false;
        progress.Change([&] {
            gate = path == a && !readerGated && progress.read[a] >= 3 * LineReader::kFileBlock;
            readerGated = readerGated || gate;
        });
        if (gate) readerHeld = progress.WaitUntil([&] { return writerHolds; });
        if (path == b) aReadFirst = progress.WaitUntil(aRead);
    };
    HoldingSink sink;
    sink.hold = [&](std::size_t n) {
        if (n != 1) return;
        progress.Change([&] { writerHolds = true; });
        progress.WaitUntil([&] { return !waits.empty() || aRead(); });
    };
    EXPECT_EQ(StreamGlobalSearch("key", targets, hits, sink, &progress, Readers::Two), whole.hitLines);
    EXPECT_EQ(sink.written, whole.text);
    EXPECT_TRUE(readerHeld);
    ASSERT_FALSE(waits.empty()) << "the reader read all of its target while the writer held its first block";
    // What the writer has not taken: the blocks after the held one, up to
    // the first that reached 2 MB.
    std::size_t queued = 0;
    for (std::size_t n = 2; n < sink.capacities.size() && queued < kAhead; ++n) queued += sink.capacities[n];
    EXPECT_EQ(waits.front(), std::make_pair(std::size_t{0}, queued));
    EXPECT_TRUE(aReadFirst) << "the reader waiting for room was not woken as the writer took blocks";
}

// The command line's search: a failing target is handed on, in target order,
// and both readers go on with the later ones, each listed under its own
// number as it is when searched alone.
TEST(TwoReaders, ReportedFailuresLetTheLaterTargetsBeRead) {
    TempDir dir;
    std::mt19937 rng(26);
    struct Failures final : TargetFailures {
        void Failed(const std::string& target, const std::exception_ptr&) override { failed.push_back(target); }
        std::vector<std::string> failed;
    };
    for (int round = 0; round < 8; ++round) {
        std::vector<std::string> targets, missing;
        std::string expected;
        const int first = 1 + static_cast<int>(rng() % 120);
        for (int k = 0; k < 2 + static_cast<int>(rng() % 8); ++k) {
            const std::string name = "r" + std::to_string(round) + "t" + std::to_string(k);
            if (rng() % 3 == 0) {
                targets.push_back(dir.Path(name + "-gone.txt"));
                missing.push_back(targets.back());
                continue;
            }
            const std::size_t size = rng() % 4 == 0 ? rng() % (3 * LineReader::kFileBlock) : rng() % 3000;
            const std::string content = Text(rng, size);
            targets.push_back(dir.Write(name + ".txt", content));
            const std::string alone = reference::GlobalListing("key", {targets.back()}, {content});
            const std::size_t header = alone.find("\r\n\r\n") + 4;
            expected += FileHeaderLine(targets.back(), first + k) + alone.substr(alone.find("\r\n", header));
        }
        const SearchText text = SearchText::Bytes("key", platform::Cp932());
        Failures failures;
        const TargetSearch search{text, TextForm{}, platform::Cp932(), nullptr, &failures};
        CollectingSink sink;
        HitTable hits;
        StreamTargets(search, targets, first, hits, sink, nullptr, Readers::Two);
        ASSERT_EQ(sink.Take(), expected) << "round " << round;
        ASSERT_EQ(failures.failed, missing) << "round " << round;
    }
}

#include "ui/run/background_run.h"

#include "core/errors.h"
#include "ui/run/progress_window.h"
#include "ui/text/code_page_text.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>

namespace ui {

namespace {

using namespace std::chrono_literals;
// A run that ends sooner shows no window at all.
constexpr auto kQuietTime = 500ms;
// How long a cancelled run is waited for before it is left to end alone; the
// reading checks the sink at every block, so a run that can stop has.
constexpr auto kStopTime = 80ms;

std::atomic<int> runsLeftGoing{0};

std::chrono::milliseconds quietTime = kQuietTime;
std::function<void()> beforeWork;

// One run: its work, the sink it reports to, and how it ended.
class Job : public core::RunProgress {
public:
    Job(std::function<void()> before, std::function<void(core::RunProgress&)> work)
        : before_(std::move(before)), work_(std::move(work)) {}

    void SetTotal(std::uint64_t bytes) override { total_ = bytes; }
    void StartFile(std::string_view path) override {
        const std::lock_guard lock(mutex_);
        file_.assign(path);
    }
    bool Read(std::uint64_t bytes) override {
        done_ += bytes;
        return !stop_;
    }

    // On the run's thread.
    void Run() noexcept {
        try {
            if (before_) before_();
            work_(*this);
        } catch (...) {
            error_ = std::current_exception();
        }
        work_ = nullptr;  // what the work owns goes with it
        bool wasLeftGoing = false;
        {
            const std::lock_guard lock(mutex_);
            finished_ = true;
            wasLeftGoing = leftGoing_;
        }
        ended_.notify_all();
        if (wasLeftGoing) --runsLeftGoing;
    }

    bool WaitFor(std::chrono::milliseconds time) {
        std::unique_lock lock(mutex_);
        return ended_.wait_for(lock, time, [this] { return finished_; });
    }
    void Stop() noexcept { stop_ = true; }
    // Called once the run is left to end alone; counts it until it has.
    void LeaveGoing() {
        const std::lock_guard lock(mutex_);
        if (finished_) return;
        leftGoing_ = true;
        ++runsLeftGoing;
    }
    void RethrowError() const {
        if (error_) std::rethrow_exception(error_);
    }

    ProgressSnapshot Snapshot() {
        const std::lock_guard lock(mutex_);
        return {ToQString(file_), done_.load(), total_.load(), finished_};
    }

private:
    std::function<void()> before_;
    std::function<void(core::RunProgress&)> work_;
    std::atomic<std::uint64_t> total_{0};
    std::atomic<std::uint64_t> done_{0};
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::condition_variable ended_;
    std::string file_;          // guarded by mutex_
    bool finished_ = false;     // guarded by mutex_
    bool leftGoing_ = false;    // guarded by mutex_
    std::exception_ptr error_;  // written before finished_, read after
};

[[noreturn]] void Cancelled() { throw core::EAbort(std::string()); }

}  // namespace

void RunInBackground(QWidget* over, const QString& caption, std::function<void(core::RunProgress&)> work,
                     const std::function<void()>& settle, ProgressUnit unit) {
    const auto job = std::make_shared<Job>(beforeWork, std::move(work));
    std::thread thread;
    try {
        thread = std::thread([job] { job->Run(); });
    } catch (const std::system_error&) {
        job->Run();  // no thread to be had: run here, as runs always could
    }
    if (thread.joinable() && !job->WaitFor(quietTime)) {
        ProgressWindow window(
            over, caption, [job] { return job->Snapshot(); }, unit);
        if (window.exec() != QDialog::Accepted) {
            job->Stop();
            if (!job->WaitFor(kStopTime)) {
                job->LeaveGoing();
                thread.detach();
                Cancelled();
            }
            thread.join();
            if (settle) settle();
            Cancelled();
        }
    }
    if (thread.joinable()) thread.join();
    if (settle) settle();
    job->RethrowError();
}

void SetRunTimingForTests(std::chrono::milliseconds quiet, std::function<void()> before) {
    quietTime = quiet;
    beforeWork = std::move(before);
}

bool RunsStillGoing() noexcept { return runsLeftGoing.load() > 0; }

}  // namespace ui

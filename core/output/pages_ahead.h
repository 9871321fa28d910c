// The pages of a buffer being filled, supplied by the system a little ahead
// of the writer, on a thread of its own. A listing of a million lines
// is some 80 MB of memory never touched before; supplying its pages as the
// writer first touches them costs about as much as the search that fills it
// (more in a virtual machine, whose host supplies them in turn). Here that
// cost runs beside the search, on a core that would otherwise wait.
#pragma once

#include <atomic>
#include <cstddef>
#include <thread>

namespace core {

class PagesAhead {
public:
    // How far ahead of the writer the pages are supplied: the thread
    // supplies a megabyte in far less time than a search takes to fill it,
    // and what is supplied counts in the peak memory.
    static constexpr std::size_t kAhead = std::size_t{1} << 20;
    // Nothing is supplied before the writer has filled this much: small
    // listings, the most of them, cost no thread.
    static constexpr std::size_t kStart = std::size_t{1} << 20;

    // The buffer [begin, begin + size), written from its start on.
    PagesAhead(char* begin, std::size_t size) noexcept : begin_(begin), size_(size) {}
    PagesAhead(const PagesAhead&) = delete;
    PagesAhead& operator=(const PagesAhead&) = delete;
    // Returns once the thread has stopped: the buffer may go after that.
    // The pages supplied past the last byte written are given back: after
    // it, those bytes read as zeros.
    ~PagesAhead();

    // The writer has filled the first bytes of the buffer.
    void Written(std::size_t bytes);
    // For tests: the bytes from the start whose pages have been supplied.
    std::size_t Supplied() const noexcept { return supplied_.load(std::memory_order_acquire); }

private:
    void Run() noexcept;

    char* const begin_;
    const std::size_t size_;
    // The bytes written, as the writer last told; kStopped once it is done.
    std::atomic<std::size_t> written_{0};
    std::atomic<std::size_t> supplied_{0};
    std::thread thread_;
    bool started_ = false;  // the writer's own
};

}  // namespace core

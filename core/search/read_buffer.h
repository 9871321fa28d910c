// The line reader's byte buffer. It grows with realloc and leaves new bytes
// uninitialised: for a line of hundreds of megabytes the C library can move
// the pages instead of copying them, and pages that no read reaches are
// never touched, so the buffer costs about the longest line and no more.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <memory>
#include <new>

namespace core {

class ReadBuffer {
public:
    char* data() noexcept { return bytes_.get(); }
    const char* data() const noexcept { return bytes_.get(); }
    std::size_t size() const noexcept { return size_; }
    char& operator[](std::size_t i) noexcept { return bytes_.get()[i]; }
    char operator[](std::size_t i) const noexcept { return bytes_.get()[i]; }

    // Keeps the first min(size(), n) bytes; the rest is unset.
    void resize(std::size_t n) {
        if (n == size_) return;
        void* moved = std::realloc(bytes_.get(), n == 0 ? 1 : n);
        if (moved == nullptr) throw std::bad_alloc();
        static_cast<void>(bytes_.release());
        bytes_.reset(static_cast<char*>(moved));
        size_ = n;
    }

private:
    struct Free {
        void operator()(char* p) const noexcept { std::free(p); }
    };
    std::unique_ptr<char, Free> bytes_;
    std::size_t size_ = 0;
};

}  // namespace core

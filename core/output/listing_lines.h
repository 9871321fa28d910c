// A listing held once, as its bytes, with where each of its lines starts:
// what a listing box draws line by line and reads selections back from.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace core {

class ListingLines {
public:
    ListingLines() : ListingLines(std::string()) {}
    // Indexes the bytes; costs 8 bytes a line beside them.
    explicit ListingLines(std::string bytes);

    const std::string& Bytes() const noexcept { return bytes_; }
    // Every CR LF ends a line, and what follows the last one (maybe nothing)
    // is one line more, as a text box shows it: "a\r\n" is two lines.
    std::size_t Count() const noexcept { return starts_.size(); }
    // Where line i starts, and where it ends: at its CR LF, or at the end.
    std::size_t Start(std::size_t i) const noexcept { return static_cast<std::size_t>(starts_[i]); }
    std::size_t End(std::size_t i) const noexcept {
        return i + 1 < starts_.size() ? static_cast<std::size_t>(starts_[i + 1]) - 2 : bytes_.size();
    }
    // Line i without its CR LF.
    std::string_view Line(std::size_t i) const noexcept {
        return std::string_view(bytes_).substr(Start(i), End(i) - Start(i));
    }

private:
    std::string bytes_;
    std::vector<std::uint64_t> starts_;
};

}  // namespace core

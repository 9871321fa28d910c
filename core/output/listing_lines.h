// A listing held once, as its bytes, with where each of its lines starts:
// what a listing box draws line by line and reads selections back from.
// It never changes once made, so copies share it: a copy costs nothing and
// may be read on another thread (a print) while the box shows another.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace core {

class ListingLines {
public:
    ListingLines() : ListingLines(std::string()) {}
    // Indexes the bytes; costs 8 bytes a line beside them.
    explicit ListingLines(std::string bytes);
    // A copy shares the listing; so does a move, which leaves the listing
    // whole where it was (never a listing without lines).
    ListingLines(const ListingLines&) = default;
    ListingLines& operator=(const ListingLines&) = default;

    const std::string& Bytes() const noexcept { return data_->bytes; }
    // Every CR LF ends a line, and what follows the last one (maybe nothing)
    // is one line more, as a text box shows it: "a\r\n" is two lines.
    std::size_t Count() const noexcept { return data_->starts.size(); }
    // Where line i starts, and where it ends: at its CR LF, or at the end.
    std::size_t Start(std::size_t i) const noexcept { return static_cast<std::size_t>(data_->starts[i]); }
    std::size_t End(std::size_t i) const noexcept {
        return i + 1 < Count() ? static_cast<std::size_t>(data_->starts[i + 1]) - 2 : data_->bytes.size();
    }
    // Line i without its CR LF.
    std::string_view Line(std::size_t i) const noexcept {
        return std::string_view(data_->bytes).substr(Start(i), End(i) - Start(i));
    }

private:
    friend class ListingBuilder;
    // Bytes with their line starts as the other constructor finds them.
    ListingLines(std::string bytes, std::vector<std::uint64_t> starts);

    struct Data {
        std::string bytes;
        std::vector<std::uint64_t> starts;
    };
    std::shared_ptr<const Data> data_;
};

}  // namespace core

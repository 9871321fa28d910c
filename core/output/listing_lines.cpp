#include "core/output/listing_lines.h"

#include <cstring>

namespace core {

namespace {
// Calls found(offset after the CR LF) for every CR LF of bytes, in order.
template <class Found>
void ForEachLineEnd(std::string_view bytes, Found&& found) {
    const char* const begin = bytes.data();
    const char* const end = begin + bytes.size();
    for (const char* p = begin; p < end;) {
        const void* cr = std::memchr(p, '\r', static_cast<std::size_t>(end - p));
        if (cr == nullptr) break;
        p = static_cast<const char*>(cr) + 1;
        if (p < end && *p == '\n') found(static_cast<std::size_t>(++p - begin));
    }
}
}  // namespace

ListingLines::ListingLines(std::string bytes) {
    auto data = std::make_shared<Data>();
    data->bytes = std::move(bytes);
    // Counted first, so that the index is allocated once at its exact size.
    std::size_t count = 1;
    ForEachLineEnd(data->bytes, [&](std::size_t) { ++count; });
    data->starts.reserve(count);
    data->starts.push_back(0);
    ForEachLineEnd(data->bytes, [&](std::size_t next) { data->starts.push_back(next); });
    data_ = std::move(data);
}

ListingLines::ListingLines(std::string bytes, std::vector<std::uint64_t> starts)
    : data_(std::make_shared<const Data>(Data{std::move(bytes), std::move(starts)})) {}

}  // namespace core

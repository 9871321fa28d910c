// Memory that a big buffer is about to fill: asking the system for large
// pages spares it a fault every few kilobytes.
#pragma once

#include <cstddef>

namespace platform {

// Asks for large pages for the whole large pages within [begin, begin + bytes)
// where the system offers them; only advice, never fails.
void PreferLargePages(void* begin, std::size_t bytes) noexcept;

}  // namespace platform

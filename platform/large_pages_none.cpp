#include "platform/large_pages.h"

namespace platform {

// Systems without the advice fault the buffer in as they always did.
void PreferLargePages(void*, std::size_t) noexcept {}

}  // namespace platform

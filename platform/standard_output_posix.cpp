#include "platform/standard_output.h"

#include <unistd.h>
#include <cerrno>

namespace platform {

bool StandardOutputIsTerminal() noexcept { return ::isatty(STDOUT_FILENO) == 1; }

int WriteStandardOutput(std::string_view bytes) noexcept {
    while (!bytes.empty()) {
        const ssize_t n = ::write(STDOUT_FILENO, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

}  // namespace platform

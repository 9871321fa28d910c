#include "core/io_check.h"

#include "core/errors.h"
#include "core/texts.h"

namespace core {

namespace {
thread_local std::int32_t pendingCode = 0;
}

void SetPendingIOCode(std::int32_t code) noexcept { pendingCode = code; }

std::string InOutErrorMessage(std::int32_t code) {
    switch (code) {
    case 2: return texts::FileNotFound();
    case 3: return texts::InvalidFileName();
    case 4: return texts::TooManyOpenFiles();
    case 5: return texts::FileAccessDenied();
    case 100: return texts::ReadBeyondEnd();
    case 101: return texts::DiskFull();
    case 106: return texts::InputNotNumeric();
    default: {
        std::string message = texts::IoErrorFormat();
        const auto at = message.find("%d");
        message.replace(at, 2, std::to_string(code));
        return message;
    }
    }
}

void CheckIO() {
    const std::int32_t code = pendingCode;
    if (code == 0) return;
    pendingCode = 0;
    throw EInOutError(InOutErrorMessage(code), code);
}

}  // namespace core

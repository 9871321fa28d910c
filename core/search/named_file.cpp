#include "core/search/named_file.h"

#include "core/errors.h"
#include "core/io_check.h"
#include "platform/file_access.h"

namespace core {

std::string_view RequireNamedFile(std::string_view path) {
    if (path.empty()) {
        throw EInOutError(InOutErrorMessage(platform::err::kPathNotFound), platform::err::kPathNotFound);
    }
    return path;
}

}  // namespace core

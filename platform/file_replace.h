// Writing a whole file so that it is either all there or not there at all.
#pragma once

#include <cstdint>
#include <string_view>

namespace platform {

// How replacing a file went: the step that failed and its platform error code.
struct ReplaceResult {
    enum class Step { Done, Create, Write };
    Step step = Step::Done;
    std::int32_t code = 0;
};

// Puts bytes at path (native) as the file's whole content. The bytes go to a
// new file beside the target, are flushed to the disk and then the new file
// is renamed over the target, so a reader sees either the earlier file or the
// complete new one; on every failure the earlier file is left as it was and
// no temporary file stays behind.
//
// Step::Create: the file can't be made there (an empty name, a
// missing or read-only folder, a target that is a folder, device or read-only
// file). Step::Write: the bytes could not all be stored (a full disk, a size
// limit, an I/O error). Symbolic links are followed and stay: the file they
// lead to is replaced, or made where a dangling one points. The new file is
// private (0600) until every byte is in; then a replaced file gets its earlier
// permission bits and owner, a new one those of the umask. The replace is
// atomic, so another hard link to the earlier file keeps the earlier bytes.
ReplaceResult ReplaceFile(std::string_view path, std::string_view bytes);

}  // namespace platform

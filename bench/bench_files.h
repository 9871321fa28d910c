// Benchmark inputs: prose written once to temporary files.
#pragma once

#include "prose.h"

#include <unistd.h>
#include <cstdio>
#include <fstream>
#include <string>

namespace bench {

// A file of the given bytes in the temporary folder, removed at the end.
class TempFile {
public:
    explicit TempFile(const std::string& bytes) {
        char name[] = "/tmp/norvane-bench-XXXXXX";
        const int fd = ::mkstemp(name);
        if (fd >= 0) ::close(fd);
        path_ = name;
        std::ofstream(path_, std::ios::binary | std::ios::trunc) << bytes;
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    ~TempFile() { std::remove(path_.c_str()); }
    const std::string& Path() const noexcept { return path_; }

private:
    std::string path_;
};

// 8 MB of prose, the same for every benchmark.
inline const std::string& ProseText() {
    static const std::string text = Prose(8u << 20, 1, 35);
    return text;
}

inline const TempFile& ProseFile() {
    static const TempFile file(ProseText());
    return file;
}

}  // namespace bench

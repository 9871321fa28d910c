// Test data made by the tests: a temporary folder and files of given bytes.
#pragma once

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unistd.h>

namespace testing_support {

class TempDir {
public:
    TempDir() {
        // Under /tmp whatever TMPDIR says: listing header lines are cut at 80
        // bytes, and the tests compare whole headers, so paths stay short.
        std::string pattern = "/tmp/norvane-test-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    ~TempDir() {
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ec);
        std::filesystem::remove_all(path_, ec);
    }

    // Writes the bytes to name inside the folder and returns the file's path.
    std::string Write(std::string_view name, std::string_view bytes) const {
        const auto file = path_ / name;
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out) throw std::runtime_error("cannot write test file");
        return file.string();
    }
    std::string Path(std::string_view name) const { return (path_ / name).string(); }
    const std::filesystem::path& Root() const { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace testing_support

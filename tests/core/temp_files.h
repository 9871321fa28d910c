// Test data made by the tests: a temporary folder and files of given bytes,
// and bytes piped to standard input.
#pragma once

#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>

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

// Standard input for a while: a pipe whose read end stands in for fd 0 until
// this goes, when the standard input from before comes back.
class PipeToStdin {
public:
    enum class Then { End, StayOpen };

    // The bytes go in at once, so they must fit the pipe's buffer (64 KiB on
    // Linux). Then the write end is closed and a reader meets the end after
    // them; or it stays open for more, until CloseWriteEnd.
    explicit PipeToStdin(std::string_view bytes, Then then = Then::End) {
        int fds[2];
        if (::pipe(fds) != 0) throw std::runtime_error("pipe failed");
        saved_ = ::dup(STDIN_FILENO);
        ::dup2(fds[0], STDIN_FILENO);
        ::close(fds[0]);
        writeEnd_ = fds[1];
        if (::write(writeEnd_, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
            Restore();
            throw std::runtime_error("short write to a pipe");
        }
        if (then == Then::End) CloseWriteEnd();
    }
    PipeToStdin(const PipeToStdin&) = delete;
    PipeToStdin& operator=(const PipeToStdin&) = delete;
    ~PipeToStdin() { Restore(); }

    int WriteEnd() const noexcept { return writeEnd_; }
    void CloseWriteEnd() noexcept {
        if (writeEnd_ >= 0) ::close(writeEnd_);
        writeEnd_ = -1;
    }

private:
    void Restore() noexcept {
        CloseWriteEnd();
        ::dup2(saved_, STDIN_FILENO);
        ::close(saved_);
    }

    int saved_ = -1;
    int writeEnd_ = -1;
};

}  // namespace testing_support

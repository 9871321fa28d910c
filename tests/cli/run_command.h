// Runs norvane-search as a child process: its output bytes, messages and exit status.
#pragma once

#include "platform/code_page.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <string_view>
#include <vector>

namespace cli_test {

struct Result {
    int status = -1;
    std::string out;
    std::string err;
};

inline std::string Sj(std::string_view utf8) { return platform::FixedText(utf8); }

// Runs the command with the given standard input; with a terminal as standard
// output when asked, or the file outputFile (opened to append) when given.
inline Result RunCommand(const std::vector<std::string>& args, const std::string& input = "", bool terminal = false,
                         const std::string& outputFile = "") {
    int outPipe[2], errPipe[2], inPipe[2];
    int master = -1, slave = -1;
    EXPECT_EQ(::pipe(errPipe), 0);
    EXPECT_EQ(::pipe(inPipe), 0);
    if (terminal) {
        EXPECT_EQ(::openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
        outPipe[0] = master;
        outPipe[1] = slave;
    } else {
        EXPECT_EQ(::pipe(outPipe), 0);
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(inPipe[0], 0);
        ::dup2(outPipe[1], 1);
        if (!outputFile.empty()) {
            const int fd = ::open(outputFile.c_str(), O_WRONLY | O_APPEND);
            if (fd < 0) ::_exit(126);
            ::dup2(fd, 1);
            ::close(fd);
        }
        ::dup2(errPipe[1], 2);
        for (int fd : {outPipe[0], outPipe[1], errPipe[0], errPipe[1], inPipe[0], inPipe[1]}) ::close(fd);
        std::vector<char*> argv;
        std::string binary = NORVANE_SEARCH_BINARY;
        argv.push_back(binary.data());
        std::vector<std::string> copies = args;
        for (auto& a : copies) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        ::execv(binary.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(outPipe[1]);
    ::close(errPipe[1]);
    ::close(inPipe[0]);
    if (!input.empty()) {
        EXPECT_EQ(::write(inPipe[1], input.data(), input.size()), static_cast<ssize_t>(input.size()));
    }
    ::close(inPipe[1]);

    Result result;
    pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
    std::string* sinks[2] = {&result.out, &result.err};
    int open = 2;
    while (open > 0) {
        ::poll(fds, 2, -1);
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) continue;
            char buffer[65536];
            const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
            if (n <= 0) {  // a pty reports EIO once the child is gone
                ::close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            } else {
                sinks[i]->append(buffer, static_cast<std::size_t>(n));
            }
        }
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
}

}  // namespace cli_test

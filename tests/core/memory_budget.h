// Running a body in an address space only a little larger than the process
// has mapped already, in a child process of EXPECT_EXIT: a body that reserves
// or holds more than the budget fails there instead of on a user's machine.
#pragma once

#include <sys/resource.h>

#include <cstddef>
#include <cstdlib>
#include <fstream>
#include <string>

namespace testing_support {

// Ends the process: status 0 when body returned true, 1 when false, 2 when
// the budget could not be set. The sanitizers' own mappings are counted in
// what is mapped already, so the budget is the same with them or without.
template <class Body>
[[noreturn]] void RunOnABudget(std::size_t extraBytes, Body&& body) {
    std::ifstream status("/proc/self/status");
    std::string line;
    rlim_t mapped = 0;
    while (std::getline(status, line)) {
        if (line.rfind("VmSize:", 0) == 0) mapped = std::stoull(line.substr(7)) * 1024;
    }
    const rlimit budget{mapped + extraBytes, RLIM_INFINITY};
    if (mapped == 0 || ::setrlimit(RLIMIT_AS, &budget) != 0) std::_Exit(2);
    std::_Exit(body() ? 0 : 1);
}

}  // namespace testing_support

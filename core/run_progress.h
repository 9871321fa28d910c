// How a long run (a search, a range of the viewer) tells how far it has read,
// and how it is stopped: the reading pushes its progress into the sink, and
// the sink answers whether to go on. A run told to stop raises EAbort.
#pragma once

#include <cstdint>
#include <string_view>

namespace core {

class RunProgress {
public:
    virtual ~RunProgress() = default;
    // The bytes the run expects to read in all (0 when not known).
    virtual void SetTotal(std::uint64_t bytes) = 0;
    // Reading of the file at path (code-page bytes) begins.
    virtual void StartFile(std::string_view path) = 0;
    // bytes more have been read; false asks the run to stop. May be called
    // from more than one thread at a time.
    virtual bool Read(std::uint64_t bytes) = 0;
};

}  // namespace core

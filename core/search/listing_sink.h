// Where a listing goes while it is made: in order, a block of whole lines at
// a time. The command line writes each block out at once; the windows keep
// them and take the listing in one piece.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace core {

class ListingSink {
public:
    virtual ~ListingSink() = default;
    // Takes the next block; a block holds whole lines, each ended by CR LF.
    // May raise: the search then stops and passes the error on.
    virtual void Write(std::string block) = 0;
};

// Keeps the blocks and joins them once, into a string of the exact size.
class CollectingSink final : public ListingSink {
public:
    void Write(std::string block) override;
    std::string Take();

private:
    std::vector<std::string> blocks_;
    std::size_t size_ = 0;
};

}  // namespace core

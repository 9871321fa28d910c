// Memory a program is about to fill or no longer needs: its pages supplied
// before they are written, or given back. Only advice: where the system
// can't take it, nothing changes but the speed and the memory used.
#pragma once

#include <cstddef>

namespace platform {

// Supplies the pages of [begin, begin + bytes) now, ready to be written, so
// that the first write to each does not stop for the system to supply it.
// The bytes are unchanged. False when the system can't (then there is no
// point in asking again).
bool SupplyPages(void* begin, std::size_t bytes) noexcept;

// Gives the whole pages inside [begin, begin + bytes) back to the system.
// Touched again, a program's own memory reads as zeros, and a file read in
// place as the file's bytes.
void ReturnPages(void* begin, std::size_t bytes) noexcept;

}  // namespace platform

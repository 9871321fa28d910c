// The pending I/O code and the guard that turns it into EInOutError.
//
// A failing file operation only records its code; the guard right after the
// call raises. This keeps the failure point exactly at the guarded call.
#pragma once

#include <cstdint>
#include <string>

namespace core {

// Codes the reader makes itself (the rest come from the platform).
constexpr std::int32_t kIoFileNotOpen = 103;
constexpr std::int32_t kIoFileNotOpenForInput = 104;

// Records a failure; a later failure overwrites an earlier one.
void SetPendingIOCode(std::int32_t code) noexcept;

// The message for a code, from the fixed table; unknown codes take the
// generic row with the number written in.
std::string InOutErrorMessage(std::int32_t code);

// The guard: if a code is pending, clears it and raises EInOutError.
void CheckIO();

}  // namespace core

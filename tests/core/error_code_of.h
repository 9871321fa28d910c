// For the tests that expect a file error of an operation.
#pragma once

#include "core/errors.h"

#include <cstdint>
#include <string>

namespace testing_support {

// The code of the EInOutError that operation raises, its message stored in
// message when given; 0 (and message left as it is) when it raises none.
template <class Operation>
std::int32_t ErrorCodeOf(Operation&& operation, std::string* message = nullptr) {
    try {
        operation();
    } catch (const core::EInOutError& e) {
        if (message) *message = e.Message();
        return e.ErrorCode();
    }
    return 0;
}

}  // namespace testing_support

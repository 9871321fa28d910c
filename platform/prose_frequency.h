// How often each byte turns up in Japanese prose, one model per encoding,
// from the parts a byte can play there (see Encoding::frequency). Internal
// to the code-page module.
#pragma once

#include "platform/code_page.h"

#include <array>

namespace platform::prose_frequency {

using Model = std::array<Encoding::Frequency, 256>;

Model Cp932();
Model EucJp();
Model Utf8();

}  // namespace platform::prose_frequency

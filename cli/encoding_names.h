// The encoding names the command line takes, as people and other tools
// spell them.
#pragma once

#include "platform/code_page.h"

#include <string>
#include <string_view>

namespace cli {

// A name without regard to case, "-" or "_": "Shift_JIS" and "shiftjis" are one.
std::string NameKey(std::string_view name);

// The encoding named: cp932 (also sjis, shift_jis, windows-31j, ms932),
// euc-jp (also eucjp, ujis) or utf-8 (also utf8); nullptr for any other name.
const platform::Encoding* EncodingByName(std::string_view name);

}  // namespace cli

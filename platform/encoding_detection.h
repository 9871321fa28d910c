// The one rule that tells a file's encoding from its own first bytes, shared
// by the windows and the command line. Code page 932 stays the answer
// whenever the bytes leave room for doubt, as every file was read as 932
// before the rule existed.
#pragma once

#include "platform/code_page.h"

#include <cstddef>
#include <string_view>

namespace platform {

enum class SourceEncoding { Cp932, EucJp, Utf8, Utf16Le, Utf16Be };

struct DetectedEncoding {
    SourceEncoding encoding;
    std::size_t bomBytes;  // the byte order mark to skip: it is no part of line 1

    friend bool operator==(const DetectedEncoding&, const DetectedEncoding&) = default;
};

// How many of a file's first bytes the rule needs.
inline constexpr std::size_t kDetectionSample = 64 * 1024;

// The encoding of a file whose first bytes are sample (at most
// kDetectionSample of them). whole tells that sample is the whole file;
// otherwise its last character may be cut, which is no fault. In order:
// - a byte order mark decides: EF BB BF UTF-8, FF FE UTF-16LE, FE FF UTF-16BE;
// - valid UTF-8 (strict) is UTF-8 when it holds a character of three or four
//   bytes that code page 932 holds too, or when its multi-byte sequences
//   read as nothing that a writer of 932 makes (see the .cpp);
// - valid EUC-JP is EUC-JP when it is not valid 932, when it holds kana
//   clearly beyond what half-width katakana in 932 can pass for, or when
//   its 932 reading is nothing that a writer of 932 makes;
// - everything else is code page 932.
// Cheap: each reading of the sample stops at its first invalid byte, so that
// ASCII and Japanese UTF-8 take one reading, EUC-JP two, 932 hardly more
// than its first characters (three at most, for UTF-8 with no Japanese in
// it). May throw std::runtime_error on first use when
// the C library lacks the converters that the code tables are built from.
DetectedEncoding DetectEncoding(std::string_view sample, bool whole);

// The encoding that the scans see a file of that encoding in: UTF-16 is
// read as UTF-8.
const Encoding& ScanEncoding(SourceEncoding encoding) noexcept;

// The encoding's name: cp932, euc-jp, utf-8 (as --encoding names them),
// utf-16le, utf-16be.
std::string_view SourceEncodingName(SourceEncoding encoding) noexcept;

}  // namespace platform

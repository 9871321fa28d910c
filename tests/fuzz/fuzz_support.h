// What the fuzz targets share: a property check that stops the run (so that
// libFuzzer keeps the failing input), the split of one input into parts, the
// scan's way of reading a file, and the check of a hit table row.
#pragma once

#include "../core/reference_model.h"
#include "core/search/hit_table.h"
#include "core/search/line_reader.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace fuzz {

// Bytes as a C string literal would write them, so a failure report can be
// pasted into a test.
inline std::string Escaped(std::string_view bytes) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out = "\"";
    bool afterHex = false;
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        // A hex escape would swallow a hex digit that follows it.
        if (afterHex && std::isxdigit(b)) out += "\"\"";
        afterHex = false;
        if (b == '"' || b == '\\') {
            out += '\\';
            out += ch;
        } else if (b >= 0x20 && b < 0x7F) {
            out += ch;
        } else {
            out += "\\x";
            out += hex[b >> 4];
            out += hex[b & 0xF];
            afterHex = true;
        }
    }
    return out + "\"";
}

inline std::string Escaped(const std::vector<std::string>& parts) {
    std::string out = "{";
    for (const auto& part : parts) out += (out.size() > 1 ? ", " : "") + Escaped(part);
    return out + "}";
}

// Where two lists of lines part, for a failure report.
inline std::string FirstDifference(const std::vector<std::string>& got, const std::vector<std::string>& want) {
    const auto shown = [](const std::vector<std::string>& lines, std::size_t i) {
        return i < lines.size() ? Escaped(std::string_view(lines[i]).substr(0, 200)) : std::string("(none)");
    };
    std::size_t i = 0;
    while (i < got.size() && i < want.size() && got[i] == want[i]) ++i;
    return std::to_string(got.size()) + " lines, " + std::to_string(want.size()) + " expected; line " +
           std::to_string(i + 1) + " is " + shown(got, i) + ", expected " + shown(want, i);
}

// Where two listings part, line by line.
inline std::string ListingDifference(const std::string& got, const std::string& want) {
    const auto split = [](const std::string& listing) {
        std::vector<std::string> lines;
        for (std::size_t at = 0; at < listing.size();) {
            const std::size_t end = std::min(listing.find("\r\n", at), listing.size());
            lines.push_back(listing.substr(at, end - at));
            at = end + 2;
        }
        return lines;
    };
    return "listing of " + fuzz::FirstDifference(split(got), split(want));
}

[[noreturn]] inline void Fail(const char* property, const char* file, int line, const std::string& details) {
    std::fprintf(stderr, "\nproperty failed: %s\n  at %s:%d\n  %s\n", property, file, line, details.c_str());
    std::abort();
}

// Evaluates details only when the property fails.
#define FUZZ_CHECK(property, details)                                            \
    do {                                                                         \
        if (!(property)) ::fuzz::Fail(#property, __FILE__, __LINE__, (details)); \
    } while (0)

// Reads an input front to back; past its end every byte is 0 and every part
// empty, so any input splits.
class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) noexcept
        : data_(reinterpret_cast<const char*>(data)), size_(size) {}

    unsigned Byte() noexcept { return pos_ < size_ ? static_cast<unsigned char>(data_[pos_++]) : 0; }
    std::string Take(std::size_t n) {
        n = std::min(n, size_ - pos_);
        std::string part(data_ + pos_, n);
        pos_ += n;
        return part;
    }
    std::string Rest() { return Take(size_ - pos_); }

private:
    const char* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

// A copy of bytes in a heap block of exactly their size, so that AddressSanitizer
// sees a read one byte past a string_view's end (a std::string has its NUL there).
class ExactBytes {
public:
    explicit ExactBytes(std::string_view bytes) : data_(std::make_unique<char[]>(bytes.size())), size_(bytes.size()) {
        bytes.copy(data_.get(), size_);
    }
    std::string_view View() const noexcept { return {data_.get(), size_}; }

private:
    std::unique_ptr<char[]> data_;
    std::size_t size_;
};

// Reads a file as ScanLines does: line 1 at once, then read-and-test until
// the end; checks that reads after the end give empty lines and the end test
// stays true.
inline std::vector<std::string> ReadAsScan(core::LineReader& reader, const std::string& path, bool extraEndTests) {
    reader.Open(path);
    std::vector<std::string> lines;
    std::string line;
    reader.ReadLine(line);
    lines.push_back(line);
    do {
        if (extraEndTests) reader.AtEnd();
        reader.ReadLine(line);
        lines.push_back(line);
    } while (!reader.AtEnd());
    for (int i = 0; i < 2; ++i) {
        reader.ReadLine(line);
        FUZZ_CHECK(line.empty() && reader.AtEnd(), "a read after the end gave " + Escaped(line));
    }
    return lines;
}

// The lines that reading a file of these bytes as the scan does must give.
inline std::vector<std::string> ScanLinesOf(const std::string& bytes) {
    std::vector<std::string> lines = reference::Lines(bytes);
    // The scan reads a second line before its first end test; past the end
    // that read is empty.
    if (lines.size() == 1) lines.push_back("");
    return lines;
}

// Row k of the hit table holds what the reference scan of its target would
// record: the first line numbers of expected, as many as fit before the end
// mark, then zeros.
template <class Details>
void CheckRow(const core::HitTable& hits, int k, const std::vector<reference::Hit>& expected, const Details& details) {
    const auto row = hits.Row(k);
    const std::size_t recorded = std::min(expected.size(), row.size() - 1);
    for (std::size_t i = 0; i < row.size(); ++i) {
        const std::int64_t want = i < recorded ? expected[i].number : 0;
        FUZZ_CHECK(row[i] == want, "row " + std::to_string(k) + " slot " + std::to_string(i) + ": " +
                                       std::to_string(row[i]) + "\n  " + details());
    }
}

}  // namespace fuzz

// The line reader, called as the scan calls it, against the plain split of
// the whole file by the reference model. Files here fit in one block of the
// reader; block_end_fuzz.cpp puts bytes across a block end.
//
// Input: one mode byte, then the file's bytes.
//   mode & 1:  an extra end test before every read, which must change
//              nothing as the end test never consumes a byte.
#include "../core/temp_files.h"
#include "fuzz_support.h"

#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const testing_support::TempDir dir;
    fuzz::Input in(data, size);
    const unsigned mode = in.Byte();
    const std::string bytes = in.Rest();
    const std::string path = dir.Write("lines.txt", bytes);
    const std::vector<std::string> expected = fuzz::ScanLinesOf(bytes);

    core::LineReader reader;
    const auto lines = fuzz::ReadAsScan(reader, path, (mode & 1) != 0);
    const auto details = [&](const std::vector<std::string>& got) {
        return "mode " + std::to_string(mode) + ", bytes " + fuzz::Escaped(bytes) + "\n  " +
               fuzz::FirstDifference(got, expected);
    };
    FUZZ_CHECK(lines == expected, details(lines));
    // Opening an open reader closes it first and starts over.
    const auto again = fuzz::ReadAsScan(reader, path, false);
    FUZZ_CHECK(again == expected, details(again));
    reader.Close();
    FUZZ_CHECK(!reader.IsReading(), "mode " + std::to_string(mode));
    return 0;
}

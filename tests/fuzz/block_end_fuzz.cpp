// Files whose bytes cross the end of the line reader's first block: the
// reader's lines, and the global or local search's listing, against the
// reference model. Lines, CR LF pairs, ideographic spaces and matches are cut
// by the refill here; each run reads a file of over 256 KiB, so this target
// runs far fewer inputs than the others. With a second target of 1 MiB the
// global search takes its two-thread path, and a missing target its error path.
//
// Input: a mode byte, a list byte, a length byte for the search text (taken
// modulo 16), the search text, then the bytes that follow the filler.
//   mode & 3:         the filler: 0 or 3 one long line of 'x' that is carried
//                     over whole; 1 lines of 32 bytes indented by an
//                     ideographic space and ended by CR LF; 2 lines of 7 bytes
//                     indented by two ideographic spaces and ended by a lone CR.
//                     The filler's lines are cut wherever the block end falls.
//   (mode >> 2) & 31: the bytes after the filler that are still inside the
//                     first block, less one.
//   mode & 128:       the local search instead of the global one.
//   list & 1:         the global search's targets go on with a 1 MiB file
//                     that ends at once (it starts with a Ctrl-Z).
//   list & 2:         a missing file goes into the targets at index
//                     (list >> 2) % (targets + 1).
#include "../core/temp_files.h"
#include "core/errors.h"
#include "core/search/global_search.h"
#include "core/search/local_search.h"
#include "fuzz_support.h"

#include <optional>
#include <string>
#include <vector>

namespace {

std::string Filler(unsigned kind, std::size_t length) {
    if (kind == 0 || kind == 3) return std::string(length, 'x');
    const std::string line = kind == 1 ? "\x81\x40" + std::string(28, 'x') + "\r\n"
                                       : std::string(
                                             "\x81\x40\x81\x40"
                                             "ab\r");
    std::string filler;
    filler.reserve(length + line.size());
    while (filler.size() < length) filler += line;
    filler.resize(length);
    return filler;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const testing_support::TempDir dir;
    static const std::string emptyText(1 << 20, '\x1A');
    static const std::string emptyTextPath = dir.Write("ctrlz.txt", emptyText);
    fuzz::Input in(data, size);
    const unsigned mode = in.Byte();
    const unsigned list = in.Byte();
    const std::string s = in.Take(in.Byte() % 16);
    const std::string tail = in.Rest();
    const std::size_t inside = 1 + ((mode >> 2) & 31);
    const std::string bytes = Filler(mode & 3, core::LineReader::kFileBlock - inside) + tail;
    const std::string path = dir.Write("block.txt", bytes);
    const auto details = [&] {
        return "mode " + std::to_string(mode) + ", list " + std::to_string(list) + ", search " + fuzz::Escaped(s) +
               ", after the filler " + fuzz::Escaped(tail);
    };

    core::LineReader reader;
    const std::vector<std::string> lines = fuzz::ReadAsScan(reader, path, false);
    const std::vector<std::string> expected = fuzz::ScanLinesOf(bytes);
    FUZZ_CHECK(lines == expected, details() + "\n  " + fuzz::FirstDifference(lines, expected));
    reader.Close();

    const fuzz::ExactBytes searchText(s);
    if (mode & 128) {
        const std::string listing = core::RunLocalSearch(path, searchText.View()).text;
        const std::string want = reference::LocalListing(s, bytes);
        FUZZ_CHECK(listing == want, details() + "\n  " + fuzz::ListingDifference(listing, want));
        return 0;
    }

    std::vector<std::string> targets{path}, contents{bytes};
    if (list & 1) {
        targets.push_back(emptyTextPath);
        contents.push_back(emptyText);
    }
    std::optional<std::size_t> missing;
    if (list & 2) {
        missing = (list >> 2) % (targets.size() + 1);
        targets.insert(targets.begin() + static_cast<std::ptrdiff_t>(*missing), dir.Path("missing.txt"));
    }
    core::HitTable hits;
    std::optional<core::GlobalListing> global;
    std::int32_t error = 0;
    try {
        global = core::RunGlobalSearch(searchText.View(), targets, hits);
    } catch (const core::EInOutError& e) {
        error = e.ErrorCode();
    }
    if (!missing) {
        FUZZ_CHECK(global.has_value(), details() + "\n  error " + std::to_string(error));
        const std::string want = reference::GlobalListing(s, targets, contents);
        FUZZ_CHECK(global->text == want, details() + "\n  " + fuzz::ListingDifference(global->text, want));
        return 0;
    }
    // The first failing target ends the search; the rows before it are kept.
    FUZZ_CHECK(error == platform::err::kFileNotFound, details() + "\n  error " + std::to_string(error));
    const std::vector<reference::Hit> none;
    const std::vector<reference::Hit> row1 = *missing > 0 ? reference::Scan(bytes, s, true) : none;
    for (int k = 1; k <= core::HitTable::kTargets; ++k) fuzz::CheckRow(hits, k, k == 1 ? row1 : none, details);
    return 0;
}

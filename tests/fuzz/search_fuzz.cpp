// The global search over 1 to 3 fuzzed files and the local search of each
// file, against the reference model's listings; also the hit table.
//
// Input: a mode byte, a length byte for the search text (taken modulo 16), a
// length byte for each file but the last, the search text, then the files.
//   mode & 3:     the number of files less one (3 counts as 0).
//   mode & 4:     an empty entry goes into the target list at index
//                 (mode >> 5) % (files + 1), and a missing file after it: the
//                 list ends at the empty entry, so the missing file is never opened.
//   mode & 8:     the files repeat to make 22 targets, of which 20 are searched.
//   mode & 16:    each file is also scanned with lines cut after (mode >> 5) + 1
//                 bytes (times four the search text) and read a few bytes at a time.
#include "../core/reference_model.h"
#include "../core/temp_files.h"
#include "core/io_check.h"
#include "core/search/block_scan.h"
#include "core/search/global_search.h"
#include "core/search/local_search.h"
#include "fuzz_support.h"
#include "platform/file_access.h"

#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const testing_support::TempDir dir;
    fuzz::Input in(data, size);
    const unsigned mode = in.Byte();
    const std::size_t files = (mode & 3) % 3 + 1;
    const std::size_t searchLength = in.Byte() % 16;
    std::vector<std::size_t> lengths;
    for (std::size_t k = 0; k + 1 < files; ++k) lengths.push_back(in.Byte());
    const std::string s = in.Take(searchLength);
    std::vector<std::string> paths, contents;
    for (std::size_t k = 0; k < files; ++k) contents.push_back(k + 1 < files ? in.Take(lengths[k]) : in.Rest());
    for (std::size_t k = 0; k < files; ++k)
        paths.push_back(dir.Write("f" + std::to_string(k + 1) + ".txt", contents[k]));

    // The targets as given, and the ones the reference should see.
    std::vector<std::string> targets = paths, searchedPaths = paths, searchedContents = contents;
    if (mode & 8) {
        for (std::size_t k = files; targets.size() < core::kMaxTargets + 2; ++k) targets.push_back(paths[k % files]);
        searchedPaths = std::vector<std::string>(targets.begin(), targets.begin() + core::kMaxTargets);
        searchedContents.clear();
        for (std::size_t k = 0; k < core::kMaxTargets; ++k) searchedContents.push_back(contents[k % files]);
    }
    if (mode & 4) {
        const std::size_t at = (mode >> 5) % (files + 1);
        targets.insert(targets.begin() + at, {"", dir.Path("missing.txt")});
        searchedPaths.resize(at);
        searchedContents.resize(at);
    }
    const auto details = [&] {
        return "mode " + std::to_string(mode) + ", search " + fuzz::Escaped(s) + " in " + fuzz::Escaped(contents);
    };

    // The core sees the search text in a block of its own size.
    const fuzz::ExactBytes searchText(s);
    core::HitTable hits;
    for (int k = 1; k <= core::HitTable::kTargets; ++k) std::fill(hits.Row(k).begin(), hits.Row(k).end(), -1);
    const core::GlobalListing global = core::RunGlobalSearch(searchText.View(), targets, hits);
    const std::string expectedListing = reference::GlobalListing(s, searchedPaths, searchedContents);
    FUZZ_CHECK(global.text == expectedListing,
               details() + "\n  " + fuzz::ListingDifference(global.text, expectedListing));
    // Each file scanned once by the reference, for its hit table row and counts.
    std::vector<std::vector<reference::Hit>> cleanHits, plainHits;
    for (const auto& content : contents) {
        cleanHits.push_back(reference::Scan(content, s, true));
        plainHits.push_back(reference::Scan(content, s, false));
    }
    std::size_t hitLines = 0;
    for (std::size_t k = 0; k < core::kMaxTargets; ++k) {
        const auto& expected = k < searchedContents.size() ? cleanHits[k % files] : std::vector<reference::Hit>{};
        hitLines += expected.size();
        fuzz::CheckRow(hits, static_cast<int>(k + 1), expected, details);
    }
    FUZZ_CHECK(global.hitLines == hitLines, details());

    if (mode & 16) {
        // The scan of long lines, with a cut after a few bytes.
        platform::PlanShortReads(1 + (mode >> 5));
        for (std::size_t k = 0; k < files; ++k) {
            for (const bool clean : {false, true}) {
                core::LineReader reader;
                reader.Open(paths[k]);
                core::BlockScan scan(reader, searchText.View(),
                                     clean ? core::LineCleaning::StripIdeographicSpaces : core::LineCleaning::None,
                                     1 + (mode >> 5));
                std::vector<std::string> got, want;
                for (bool more = true; more;) {
                    more = scan.Next();
                    for (const core::HitLine& hit : scan.Hits())
                        got.push_back(reference::Label(hit.number) + ": " + core::HitText(scan, hit).Joined());
                }
                core::CheckIO();
                for (const auto& hit : reference::Scan(contents[k], s, clean))
                    want.push_back(reference::Label(hit.number) + ": " + hit.text);
                FUZZ_CHECK(got == want, "cut scan of file " + std::to_string(k + 1) + (clean ? " cleaned, " : ", ") +
                                            details() + "\n  " + fuzz::FirstDifference(got, want));
            }
        }
        platform::PlanShortReads(0);
    }

    for (std::size_t k = 0; k < files; ++k) {
        const core::LocalListing local = core::RunLocalSearch(paths[k], searchText.View());
        const std::string expectedLocal = reference::LocalListing(s, contents[k]);
        FUZZ_CHECK(local.text == expectedLocal, "file " + std::to_string(k + 1) + ", " + details() + "\n  " +
                                                    fuzz::ListingDifference(local.text, expectedLocal));
        FUZZ_CHECK(local.hitLines == plainHits[k].size(), details());
    }
    return 0;
}

// The core held against the reference model: the hit lines of a block scan,
// the global search's listing and hit table, and the local search's listing.
// Each failure names the input through the caller's details.
#pragma once

#include "core/io_check.h"
#include "core/search/block_scan.h"
#include "core/search/global_search.h"
#include "core/search/local_search.h"
#include "reference_model.h"

#include <gtest/gtest.h>

#include <span>
#include <utility>

namespace testing_support {

// Hit lines as (line number, text), so that a failure shows both.
using HitLines = std::vector<std::pair<std::int64_t, std::string>>;

inline core::TextForm CoreForm(const reference::Form& form) {
    return {platform::EncodingNamed(form.encoding), form.anyLf ? core::LineEnds::Any : core::LineEnds::CrLf};
}

// The hit lines of a block scan of path (standard input when empty), read to
// its end; a pending file error is raised.
inline HitLines ScanHits(const std::string& path, std::string_view s, bool clean, const reference::Form& form = {},
                         std::size_t longLine = core::BlockScan::kLongLine) {
    HitLines hits;
    core::LineReader reader;
    reader.SetForm(CoreForm(form));
    reader.Open(path);
    core::BlockScan scan(reader, s, clean ? core::LineCleaning::StripIdeographicSpaces : core::LineCleaning::None,
                         longLine);
    for (bool more = true; more;) {
        more = scan.Next();
        for (const core::HitLine& hit : scan.Hits()) hits.emplace_back(hit.number, core::HitText(scan, hit).Joined());
    }
    core::CheckIO();
    return hits;
}

inline HitLines ReferenceHits(const std::string& content, const std::string& s, bool clean,
                              const reference::Form& form = {}) {
    HitLines hits;
    for (const auto& hit : reference::Scan(content, s, clean, form)) hits.emplace_back(hit.number, hit.text);
    return hits;
}

// Target k's row holds the line numbers of its first 249 hits, then zeros to
// the row's end; the rows past contents (a failing target's and those after
// it) hold nothing.
inline void ExpectRowsMatchReference(const core::HitTable& hits, const std::string& s,
                                     std::span<const std::string> contents, const reference::Form& form,
                                     const std::string& details) {
    for (std::size_t k = 0; k < core::HitTable::kTargets; ++k) {
        std::vector<reference::Hit> expected;
        if (k < contents.size()) expected = reference::Scan(contents[k], s, true, form);
        const auto row = hits.Row(static_cast<int>(k) + 1);
        const std::size_t recorded = std::min(expected.size(), row.size() - 1);
        for (std::size_t j = 0; j < row.size(); ++j) {
            ASSERT_EQ(row[j], j < recorded ? expected[j].number : 0)
                << details << ", target " << k + 1 << " slot " << j;
        }
    }
}

struct ReferenceChecks {
    reference::Form form{};
    core::Readers readers = core::Readers::Auto;
    bool rows = false;  // the hit table's rows as well
    bool local = true;  // the local listing of the first target as well
};

// The global search of s over paths, whose bytes are contents, gives the
// reference's listing; so, as asked, do its hit table and the local search of
// paths[0]. Failures are fatal: ASSERT_NO_FATAL_FAILURE stops a loop there.
inline void ExpectMatchesReference(const std::string& s, const std::vector<std::string>& paths,
                                   const std::vector<std::string>& contents, const ReferenceChecks& checks,
                                   const std::string& details) {
    const core::TextForm form = CoreForm(checks.form);
    core::HitTable hits;
    ASSERT_EQ(core::RunGlobalSearch(s, paths, hits, nullptr, checks.readers, form).text,
              reference::GlobalListing(s, paths, contents, checks.form))
        << details;
    if (checks.rows) {
        ASSERT_NO_FATAL_FAILURE(ExpectRowsMatchReference(hits, s, contents, checks.form, details));
    }
    if (checks.local) {
        ASSERT_EQ(core::RunLocalSearch(paths[0], s, nullptr, form).text,
                  reference::LocalListing(s, contents[0], checks.form))
            << details;
    }
}

}  // namespace testing_support

// The global search: every target scanned with the hit rule, the listing
// built and the hit table filled.
#pragma once

#include "core/run_progress.h"
#include "core/search/hit_table.h"
#include "core/search/listing_sink.h"
#include "core/search/search_text.h"
#include "core/search/text_form.h"

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace core {

// At most this many targets are searched.
constexpr std::size_t kMaxTargets = 20;

struct GlobalListing {
    std::string text;          // the listing, every line ended by CR LF
    std::size_t hitLines = 0;  // the hit lines it holds
};

// Who reads the targets: this thread, with a helper when the machine and the
// targets' size make it worth it (Auto); or always this thread and a helper
// taking the targets in turn from the first (Two), so tests see both at work.
enum class Readers { Auto, Two };

// Searches the targets (the list ends at its first empty entry, or after 20)
// for searchText and returns the listing. hits is cleared, then filled as the
// targets are scanned. The first file error raises EInOutError as soon as the
// targets before it are searched, and nothing after it is read on; hits then
// holds what was recorded before it. An empty first target opens nothing.
// Reading is reported to progress, when given; when it asks to stop, the
// search raises EAbort as it would a file error. The targets are written in
// form (code page 932 and the home line ends unless told otherwise; a form
// to be found is found for each target), each searched for the text's form
// in its encoding. The listing is written in listing: hit lines and names
// of another encoding are converted, each character it lacks written as 〓.
// Without a listing encoding, the listing is written in the form's encoding,
// and in code page 932 when the form is found for each target. Targets are
// native paths.
GlobalListing RunGlobalSearch(const SearchText& text, std::span<const std::string> targets, HitTable& hits,
                              RunProgress* progress = nullptr, Readers readers = Readers::Auto,
                              const TextForm& form = {}, const platform::Encoding* listing = nullptr);
// The same for a search text given as bytes of the form's encoding (code page
// 932 when it is found for each target).
GlobalListing RunGlobalSearch(std::string_view searchText, std::span<const std::string> targets, HitTable& hits,
                              RunProgress* progress = nullptr, Readers readers = Readers::Auto,
                              const TextForm& form = {}, const platform::Encoding* listing = nullptr);

// The same, writing the listing to sink as it is made, in target order, a
// block of whole lines at a time (a long hit line in several), and
// returning the hit lines. On an error,
// what was written stays written: the targets before the failing one, and
// that target's lines found before the error when it had any.
std::size_t StreamGlobalSearch(const SearchText& text, std::span<const std::string> targets, HitTable& hits,
                               ListingSink& sink, RunProgress* progress = nullptr, Readers readers = Readers::Auto,
                               const TextForm& form = {}, const platform::Encoding* listing = nullptr);
std::size_t StreamGlobalSearch(std::string_view searchText, std::span<const std::string> targets, HitTable& hits,
                               ListingSink& sink, RunProgress* progress = nullptr, Readers readers = Readers::Auto,
                               const TextForm& form = {}, const platform::Encoding* listing = nullptr);

}  // namespace core

#include "core/search/command_search.h"

#include "core/search/listing_format.h"

namespace core {

std::string StandardInputTarget(std::string_view name) {
    std::string target(1, '\0');
    target.append(name);
    return target;
}

CommandSearch::CommandSearch(const SearchText& text, const TextForm& form, const platform::Encoding* listing,
                             TargetOutput* output, TargetFailures& failures)
    : search_{text, form, ListingEncoding(form, listing), output, &failures, &ways_} {}

void CommandSearch::WriteHeading(ListingSink& sink) const {
    sink.Write(ListingHeading(search_.listing, search_.text.Shown(search_.listing)));
}

std::size_t CommandSearch::Search(std::span<const std::string> targets, ListingSink& sink) {
    const int first = searched_ + 1;
    searched_ += static_cast<int>(targets.size());
    return StreamTargets(search_, targets, first, hits_, sink, nullptr, Readers::Auto);
}

}  // namespace core

#include "core/search/listing_format.h"

#include "core/General1.h"
#include "core/texts.h"

#include <algorithm>

namespace core {

std::string ListingHeading(const platform::Encoding& encoding, std::string_view searchText) {
    std::string heading = texts::ListingHeading(encoding);
    heading.append(searchText).append(kCRLF).append(kCRLF);
    return heading;
}

std::string FileHeaderLine(std::string_view path, int k) {
    constexpr std::size_t kWidth = 80;
    std::string line(path);
    line += " *";
    line += FileIndexLabel(k);
    line.append(49, '*');
    line.resize(std::min(line.size(), kWidth));
    return line;
}

}  // namespace core

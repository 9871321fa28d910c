#include "core/search/listing_sink.h"

namespace core {

void CollectingSink::Write(std::string block) {
    size_ += block.size();
    blocks_.push_back(std::move(block));
}

std::string CollectingSink::Take() {
    std::string text;
    text.reserve(size_);
    for (std::string& block : blocks_) {
        text += block;
        std::string().swap(block);  // freed on the way, so the peak stays near one listing
    }
    blocks_.clear();
    size_ = 0;
    return text;
}

}  // namespace core

#include "core/search/search_text.h"

namespace core {

namespace {
const std::array<const platform::Encoding*, 3>& Encodings() {
    static const std::array<const platform::Encoding*, 3> all = {&platform::Cp932(), &platform::EucJp(),
                                                                 &platform::Utf8()};
    return all;
}
}  // namespace

std::size_t SearchText::Slot(const platform::Encoding& encoding) noexcept {
    const auto& all = Encodings();
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (all[i] == &encoding) return i;
    }
    return 0;
}

SearchText SearchText::Typed(std::string_view utf8) {
    SearchText text;
    text.characters_ = platform::DecodeUtf8Lossy(utf8);
    for (const platform::Encoding* encoding : Encodings()) {
        text.forms_[Slot(*encoding)] = platform::EncodeTyped(*encoding, text.characters_);
    }
    return text;
}

SearchText SearchText::Typed(std::string_view utf8, std::string_view codePage) {
    SearchText text = Typed(utf8);
    const std::string* form = text.In(platform::Cp932());
    if (form != nullptr && *form == codePage) return text;
    return Bytes(codePage, platform::Cp932());
}

SearchText SearchText::Bytes(std::string_view bytes, const platform::Encoding& encoding) {
    SearchText text;
    text.given_ = &encoding;
    // The other encodings get it only when every byte forms a character: a
    // byte that forms none has no form elsewhere.
    if (const auto characters = platform::DecodeStrict(encoding, bytes)) {
        text.characters_ = *characters;
        for (const platform::Encoding* other : Encodings()) {
            text.forms_[Slot(*other)] = platform::EncodeTyped(*other, text.characters_);
        }
    } else {
        text.characters_ = platform::DecodeUtf8Lossy(platform::EncodingToUtf8(encoding, bytes));
    }
    text.forms_[Slot(encoding)] = std::string(bytes);
    return text;
}

const std::string* SearchText::In(const platform::Encoding& encoding) const noexcept {
    const auto& form = forms_[Slot(encoding)];
    return form ? &*form : nullptr;
}

std::string SearchText::Shown(const platform::Encoding& listing) const {
    // Bytes given in the listing's own encoding show as they are.
    if (given_ == &listing) return *forms_[Slot(listing)];
    return platform::EncodeMarked(listing, characters_);
}

}  // namespace core

// The search text as it was given, and its bytes in each encoding that a
// target may be written in: it is given once and searched in every target
// in that target's own encoding.
#pragma once

#include "core/search/text_form.h"
#include "platform/code_page.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace core {

class SearchText {
public:
    // Text typed in UTF-8. Each encoding gets the form it holds of it (code
    // page 932 and EUC-JP take a character they hold under another code
    // point as that one, as platform::EncodeTyped does), or none.
    static SearchText Typed(std::string_view utf8);
    // The text typed, when its code page 932 form is codePage; else the
    // bytes codePage as they are (a text stored without its typing).
    static SearchText Typed(std::string_view utf8, std::string_view codePage);
    // Bytes read in encoding (the first line of a file): they stand as they
    // are in that encoding, and are converted for the others.
    static SearchText Bytes(std::string_view bytes, const platform::Encoding& encoding);

    // The bytes in the encoding; nullptr when the text has no form there, so
    // that no line written in it can hold the text.
    const std::string* In(const platform::Encoding& encoding) const noexcept;
    // The text as a listing in the encoding shows it: each character it
    // cannot hold written as 〓.
    std::string Shown(const platform::Encoding& listing) const;

private:
    static std::size_t Slot(const platform::Encoding& encoding) noexcept;

    // By Slot: code page 932, EUC-JP, UTF-8.
    std::array<std::optional<std::string>, 3> forms_;
    std::u32string characters_;  // what Shown writes
    // The encoding the text was given in, for a Shown in the same one.
    const platform::Encoding* given_ = nullptr;
};

// A search text given as bytes of the form's encoding: code page 932 for a
// form found in each file.
inline SearchText SearchTextOfBytes(std::string_view bytes, const TextForm& form) {
    return SearchText::Bytes(bytes, form.found ? platform::Cp932() : *form.encoding);
}

}  // namespace core

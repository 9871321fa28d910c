// How a file's text is written: its encoding and what ends its lines.
#pragma once

#include "platform/code_page.h"

namespace core {

// CrLf: CR LF or a lone CR ends a line and an LF elsewhere is data, as in
// the files of the home platform. Any: a lone LF ends a line too, as in
// files from Unix. ByEncoding: CrLf for code page 932, Any for the others.
enum class LineEnds { CrLf, Any, ByEncoding };

struct TextForm {
    const platform::Encoding* encoding = &platform::Cp932();
    LineEnds lineEnds = LineEnds::CrLf;
    // The encoding is found from the file's own first bytes when it is
    // opened (see platform::DetectEncoding), and then is the file's.
    bool found = false;

    static TextForm FoundInFile() {
        TextForm form;
        form.found = true;
        form.lineEnds = LineEnds::ByEncoding;
        return form;
    }
};

// The encoding a listing of files written in form is written in: listing
// when given, else the form's own, or code page 932 for a form found in
// each file.
inline const platform::Encoding& ListingEncoding(const TextForm& form, const platform::Encoding* listing) noexcept {
    if (listing != nullptr) return *listing;
    return form.found ? platform::Cp932() : *form.encoding;
}

}  // namespace core

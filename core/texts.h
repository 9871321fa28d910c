// Every fixed text of the search core, in code-page bytes, converted once.
#pragma once

#include "platform/code_page.h"

#include <string>

namespace core::texts {

// File error messages, by error code.
const std::string& FileNotFound();      // 2
const std::string& InvalidFileName();   // 3
const std::string& TooManyOpenFiles();  // 4
const std::string& FileAccessDenied();  // 5
const std::string& ReadBeyondEnd();     // 100
const std::string& DiskFull();          // 101
const std::string& InputNotNumeric();   // 106
const std::string& IoErrorFormat();     // any other code, "%d" for the number

// The listing's heading label, ending in a full-width colon and an ideographic space.
const std::string& ListingHeading();
// The same in another encoding, for a listing of files written in it.
std::string ListingHeading(const platform::Encoding& encoding);

// The viewer's caption before the path.
const std::string& ViewerCaptionPrefix();

}  // namespace core::texts

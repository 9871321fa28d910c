// One conversion of the C library's between two encodings, open for the
// object's lifetime: what the codecs of EUC-JP run on, and what the code
// tables are built from once (code_page_tables_iconv.cpp,
// euc_jp_tables_iconv.cpp). Internal to the code-page module.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

namespace platform {

class Converter {
public:
    // Into to, from the first of from's names that the C library knows;
    // throws std::runtime_error when it knows none.
    Converter(const char* to, std::initializer_list<const char*> from);
    ~Converter();
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts in as far as it can, appending to out; the bytes it took.
    std::size_t Convert(std::string_view in, std::string& out);

    // Into UTF-32LE only: the one character that the size bytes make as a
    // whole, or none.
    char32_t One(const unsigned char* bytes, std::size_t size, char32_t none);
    // The same for count sequences of size bytes each, laid one after
    // another, into out[0, count): converted in long runs, as a call per
    // sequence is what costs when a table of thousands is built.
    void Each(const unsigned char* sequences, std::size_t size, std::size_t count, char32_t* out, char32_t none);

private:
    void* cd_;
};

}  // namespace platform

// The C library's converter from an encoding into Unicode, as the code
// tables are built from it once (code_page_tables_iconv.cpp,
// euc_jp_tables_iconv.cpp). Internal to the code-page module.
#pragma once

#include <cstddef>
#include <initializer_list>

namespace platform {

class TableConverter {
public:
    // The first of names that the C library knows; throws
    // std::runtime_error when it knows none.
    explicit TableConverter(std::initializer_list<const char*> names);
    ~TableConverter();
    TableConverter(const TableConverter&) = delete;
    TableConverter& operator=(const TableConverter&) = delete;

    // The one character that the size bytes make as a whole, or none.
    char32_t One(const unsigned char* bytes, std::size_t size, char32_t none);
    // The same for count sequences of size bytes each, laid one after
    // another, into out[0, count): converted in long runs, as a call per
    // sequence is what costs when a table of thousands is built.
    void Each(const unsigned char* sequences, std::size_t size, std::size_t count, char32_t* out, char32_t none);

private:
    void* cd_;
};

}  // namespace platform

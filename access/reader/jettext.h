// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Text as Jet stores it, turned into UTF-8: Jet 4 and ACE keep UCS-2
// (UTF-16 little-endian, often in their compressed form), Jet 3 keeps the
// bytes of the file's code page. Both are decoded here, not by libmdb, whose
// conversion depends on environment variables and turns a character outside
// the basic plane into two question marks.
#pragma once

#include <cstddef>
#include <iconv.h>
#include <string>

namespace jet::reader {

// Appends the UTF-8 form of a Jet 4 text value. False when the value is no
// text (an odd byte left over, half of a surrogate pair); `out` then holds
// what came before.
bool appendJet4Text(std::string& out, const unsigned char* data, std::size_t size);

// The code page of a Jet 3 file.
class CodePage {
public:
    // 0: none named in the file, read as Windows-1252.
    explicit CodePage(int number);
    ~CodePage();
    CodePage(const CodePage&) = delete;
    CodePage& operator=(const CodePage&) = delete;

    // False when this system cannot convert from it.
    bool usable() const { return m_iconv != reinterpret_cast<iconv_t>(-1); }
    int number() const { return m_number; }

    // Appends the UTF-8 form of `size` bytes. A byte a single-byte code page
    // leaves undefined reads as the control character of its value, as
    // Windows reads it; false when the bytes are no text of the code page.
    bool append(std::string& out, const unsigned char* data, std::size_t size);

private:
    int m_number;
    iconv_t m_iconv;
};

} // namespace jet::reader

// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "access/reader/jettext.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>

namespace jet::reader {

namespace {

void appendUtf8(std::string& out, std::uint32_t c)
{
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xc0 | (c >> 6));
        out += char(0x80 | (c & 0x3f));
    } else if (c < 0x10000) {
        out += char(0xe0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3f));
        out += char(0x80 | (c & 0x3f));
    } else {
        out += char(0xf0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3f));
        out += char(0x80 | ((c >> 6) & 0x3f));
        out += char(0x80 | (c & 0x3f));
    }
}

// UTF-16 code units to UTF-8, with surrogate pairs joined.
class Utf16 {
public:
    explicit Utf16(std::string& out) : m_out(out) {}

    bool put(std::uint16_t unit)
    {
        if (m_high) {
            if (unit < 0xdc00 || unit > 0xdfff)
                return false;
            appendUtf8(m_out, 0x10000 + ((std::uint32_t(m_high) - 0xd800) << 10) + (unit - 0xdc00));
            m_high = 0;
            return true;
        }
        if (unit >= 0xd800 && unit <= 0xdbff) {
            m_high = unit;
            return true;
        }
        if (unit >= 0xdc00 && unit <= 0xdfff)
            return false;
        appendUtf8(m_out, unit);
        return true;
    }
    bool complete() const { return m_high == 0; }

private:
    std::string& m_out;
    std::uint16_t m_high = 0;
};

} // namespace

bool appendJet4Text(std::string& out, const unsigned char* data, std::size_t size)
{
    Utf16 text(out);
    std::size_t i = 0;
    // The compressed form: after FF FE, one byte a character (its high byte
    // zero) until a zero byte switches to two bytes a character, and back.
    if (size >= 2 && data[0] == 0xff && data[1] == 0xfe) {
        bool compressed = true;
        for (i = 2; i < size;) {
            if (data[i] == 0) {
                compressed = !compressed;
                ++i;
            } else if (compressed) {
                if (!text.put(data[i++]))
                    return false;
            } else {
                if (i + 1 >= size || !text.put(std::uint16_t(data[i] | (data[i + 1] << 8))))
                    return false;
                i += 2;
            }
        }
        return text.complete();
    }
    if (size % 2)
        return false;
    for (; i < size; i += 2)
        if (!text.put(std::uint16_t(data[i] | (data[i + 1] << 8))))
            return false;
    return text.complete();
}

CodePage::CodePage(int number) : m_number(number ? number : 1252)
{
    char name[16];
    std::snprintf(name, sizeof name, "CP%d", m_number);
    m_iconv = iconv_open("UTF-8", name);
}

CodePage::~CodePage()
{
    if (usable())
        iconv_close(m_iconv);
}

bool CodePage::append(std::string& out, const unsigned char* data, std::size_t size)
{
    iconv(m_iconv, nullptr, nullptr, nullptr, nullptr);
    char* in = reinterpret_cast<char*>(const_cast<unsigned char*>(data));
    std::size_t left = size;
    char buffer[4096];
    while (left > 0) {
        char* to = buffer;
        std::size_t room = sizeof buffer;
        const std::size_t result = iconv(m_iconv, &in, &left, &to, &room);
        out.append(buffer, std::size_t(to - buffer));
        if (result != std::size_t(-1))
            continue;
        if (errno == E2BIG)
            continue;
        // A byte the code page leaves undefined (Windows-1252 has five), or
        // the start of a character the value does not finish.
        if (m_number >= 1250 && m_number <= 1258) {
            appendUtf8(out, static_cast<unsigned char>(*in));
            ++in;
            --left;
            iconv(m_iconv, nullptr, nullptr, nullptr, nullptr);
            continue;
        }
        return false;
    }
    return true;
}

} // namespace jet::reader

// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "access/reader/output.h"

#include <cerrno>
#include <cstdlib>
#include <unistd.h>

namespace jet::reader {

namespace {
// Small enough that the caller gets going while the reader reads on.
constexpr std::size_t kPiece = 64 * 1024;
}

Output::Output(int fd) : m_fd(fd)
{
    m_buffer.reserve(kPiece + 64 * 1024);
    m_buffer += protocol::kMagic;
}

void Output::u32(std::uint32_t value)
{
    const char bytes[4] = {char(value), char(value >> 8), char(value >> 16), char(value >> 24)};
    m_buffer.append(bytes, 4);
}

void Output::counted(std::string_view text)
{
    u32(std::uint32_t(text.size()));
    m_buffer.append(text);
}

void Output::tableRows(std::uint32_t rows)
{
    m_buffer += char(protocol::TableRows);
    u32(rows);
}

void Output::endRecord()
{
    if (m_buffer.size() >= kPiece)
        flush();
}

void Output::warning(std::string_view text)
{
    m_buffer += char(protocol::Warning);
    counted(text);
}

void Output::refuse(protocol::Refusal why, std::string_view first, std::string_view second)
{
    m_buffer += char(protocol::Refused);
    m_buffer += char(why);
    counted(first);
    counted(second);
    flush();
    std::_Exit(2);
}

void Output::done(std::uint32_t records)
{
    m_buffer += char(protocol::Done);
    u32(records);
    flush();
}

// A caller that has gone away (a broken pipe) ends the reader: nobody is
// left to read what it would write.
void Output::flush()
{
    const char* data = m_buffer.data();
    std::size_t left = m_buffer.size();
    while (left > 0) {
        const ssize_t n = ::write(m_fd, data, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            std::_Exit(3);
        data += n;
        left -= std::size_t(n);
    }
    m_buffer.clear();
}

} // namespace jet::reader

// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The reader's messages to its caller (access/protocol.h), written to a file
// descriptor of their own in large pieces.
#pragma once

#include "access/protocol.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace jet::reader {

class Output {
public:
    explicit Output(int fd);

    void tableRows(std::uint32_t rows);
    // A record: begin it, then one value a field, in the order asked for.
    void beginRecord() { m_buffer += char(protocol::Record); }
    void value(std::string_view text) { counted(text); }
    void noValue() { u32(protocol::kNoValue); }
    void endRecord();
    void warning(std::string_view text);
    // Writes the refusal and ends the reader with exit status 2.
    [[noreturn]] void refuse(protocol::Refusal why, std::string_view first = {}, std::string_view second = {});
    // Writes the end and everything still held.
    void done(std::uint32_t records);

private:
    void u32(std::uint32_t value);
    void counted(std::string_view text);
    void flush();

    int m_fd;
    std::string m_buffer;
};

} // namespace jet::reader

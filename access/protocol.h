// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// How the Access reader (a program of its own, access/reader/) tells its
// caller what it read. Plain C++ on both sides: the reader links no Qt.
//
// The reader is started as
//     READER FILE TABLE t:FIELD|n:FIELD ...
// ("t:" a field that must hold text or memo, "n:" one that may also be a
// number) and writes to its standard output the magic line, then messages of
// one tag byte and a body:
//     'T' u32              rows the table definition counts (before any record)
//     'R' value * fields   one record, its values in the order asked for
//     'W' text             something the reader noticed and read past
//     'E' u8 text text     a refusal: its kind, then two details (see Refusal)
//     'D' u32              the end of a whole read: the records sent
// u32 is little-endian; text is a u32 byte count and UTF-8; a value is a u32
// byte count and UTF-8, or the count kNoValue alone for a field without a
// value. Nothing is ever cut: a count says how many bytes follow.
#pragma once

#include <cstdint>

namespace jet::protocol {

inline constexpr char kMagic[] = "PLOMBERG-JET 1\n";
inline constexpr std::uint32_t kNoValue = 0xffffffffu;

enum Tag : char {
    TableRows = 'T',
    Record = 'R',
    Warning = 'W',
    Refused = 'E',
    Done = 'D',
};

// Why the reader gives up; the two details of each are named beside it.
enum class Refusal : std::uint8_t {
    Usage = 1,      // how it was started (text), -
    NotOpened,      // libmdb's reason, if any (text), -
    Encrypted,      // the Jet/ACE version (text), -
    NoCatalog,      // -, -
    NoTable,        // table asked for, the user tables there are ("„A“, „B“")
    LinkedTable,    // table asked for, -
    NoField,        // field, table
    FieldType,      // field, the type found (text)
    PageMissing,    // page number, the pages the file holds
    DamagedPage,    // page number, what is wrong
    DamagedRow,     // page number, slot number
    DamagedValue,   // field, record number (1-based, table order)
    CodePage,       // code page number, -
    Password,       // -, -
};

} // namespace jet::protocol

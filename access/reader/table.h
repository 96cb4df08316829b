// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// One table of a Jet file read record by record in the table's own order.
//
// libmdb walks the table's data pages and returns every row it finds there,
// so a row that Jet moved to another page when it grew (its place keeps a
// pointer to it) comes back where it now lies, usually last. Here the pages
// are walked the same way but each place is read as Jet reads it: a pointer
// is followed to the row, and the moved row itself, marked as such where it
// lies, is not read a second time there.
#pragma once

#include "access/reader/jettext.h"
#include "access/reader/output.h"

#include <glib.h>
#include <iconv.h>
#include <mdbtools.h>

#include <memory>
#include <string>
#include <vector>

namespace jet::reader {

struct WantedField {
    std::string name;
    bool numberAllowed = false;
    int column = -1; // in the table definition
};

class TableReader {
public:
    // Refuses (through `out`) when a field is missing or of a type that
    // cannot be read as its text.
    TableReader(MdbHandle* mdb, MdbTableDef* table, std::vector<WantedField> fields, Output& out, long filePages);

    // Sends every record; returns their number.
    std::uint32_t readAll();

private:
    void readPage(guint32 page);
    void readPlace(guint32 page, int slot);
    void sendRow(guint32 page, int slot);
    bool appendValue(std::string& out, const MdbField& field, const MdbColumn& column);
    bool appendText(std::string& out, const unsigned char* data, std::size_t size);
    bool appendMemo(std::string& out, const unsigned char* header, std::size_t size);
    bool longValueRow(guint32 pointer, const unsigned char*& data, std::size_t& size);
    int slotWord(const unsigned char* page, int slot) const;
    int slotCount(const unsigned char* page) const;

    MdbHandle* m_mdb;
    MdbTableDef* m_table;
    std::vector<WantedField> m_fields;
    Output& m_out;
    long m_filePages;
    std::unique_ptr<CodePage> m_codePage; // Jet 3 only
    std::vector<MdbField> m_cracked;
    std::vector<int> m_crackedAt; // column -> index in m_cracked
    std::string m_value;
    std::string m_raw;
    std::uint32_t m_sent = 0;
};

} // namespace jet::reader

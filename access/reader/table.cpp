// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "access/reader/table.h"

#include <charconv>
#include <cstring>

namespace jet::reader {

using protocol::Refusal;

namespace {

// The place of a row on its page: the low 13 bits are its offset, the two
// high bits say what the place holds.
constexpr int kOffsetMask = 0x1fff;
constexpr int kFlagsMask = 0xc000;
constexpr int kDeleted = 0xc000;    // a deleted row
constexpr int kMovedHere = 0x8000;  // a row moved here from its place elsewhere
constexpr int kMovedAway = 0x4000;  // four bytes: where the row now lies
// A pointer can lead to a row that was moved once more; more hops than this
// can only be a damaged file.
constexpr int kMaxHops = 8;
constexpr std::size_t kMemoHeader = 12;

std::string number(long value)
{
    return std::to_string(value);
}

template <typename Float>
std::string floating(Float value)
{
    char text[64];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return std::string(text, end);
}

bool isText(int type)
{
    return type == MDB_TEXT || type == MDB_MEMO;
}

bool isNumber(int type)
{
    switch (type) {
    case MDB_BYTE:
    case MDB_INT:
    case MDB_LONGINT:
    case MDB_FLOAT:
    case MDB_DOUBLE:
    case MDB_MONEY:
    case MDB_NUMERIC:
        return true;
    default:
        return false;
    }
}

const char* typeName(int type)
{
    switch (type) {
    case MDB_BOOL:
        return "Ja/Nein";
    case MDB_DATETIME:
        return "Datum/Uhrzeit";
    case MDB_BINARY:
        return "Binär";
    case MDB_OLE:
        return "OLE-Objekt";
    case MDB_REPID:
        return "Replikations-ID";
    case MDB_COMPLEX:
        return "Anlage oder mehrwertiges Feld";
    case MDB_MONEY:
        return "Währung";
    default:
        return isNumber(type) ? "Zahl" : "unbekannt";
    }
}

} // namespace

TableReader::TableReader(MdbHandle* mdb, MdbTableDef* table, std::vector<WantedField> fields, Output& out,
                         long filePages)
    : m_mdb(mdb), m_table(table), m_fields(std::move(fields)), m_out(out), m_filePages(filePages)
{
    for (WantedField& wanted : m_fields) {
        for (unsigned i = 0; i < m_table->num_cols; ++i) {
            const auto* column = static_cast<const MdbColumn*>(g_ptr_array_index(m_table->columns, i));
            if (g_ascii_strcasecmp(column->name, wanted.name.c_str()) == 0)
                wanted.column = int(i);
        }
        if (wanted.column < 0)
            m_out.refuse(Refusal::NoField, wanted.name, m_table->name);
        const auto* column = static_cast<const MdbColumn*>(g_ptr_array_index(m_table->columns, wanted.column));
        if (!isText(column->col_type) && !(wanted.numberAllowed && isNumber(column->col_type)))
            m_out.refuse(Refusal::FieldType, wanted.name, typeName(column->col_type));
    }
    if (IS_JET3(m_mdb)) {
        m_codePage = std::make_unique<CodePage>(m_mdb->f->code_page);
        if (!m_codePage->usable())
            m_out.refuse(Refusal::CodePage, number(m_codePage->number()));
    }
    m_cracked.resize(m_table->num_cols);
    m_crackedAt.resize(m_table->num_cols);
}

int TableReader::slotCount(const unsigned char* page) const
{
    return mdb_get_int16(const_cast<unsigned char*>(page), m_mdb->fmt->row_count_offset);
}

int TableReader::slotWord(const unsigned char* page, int slot) const
{
    return mdb_get_int16(const_cast<unsigned char*>(page), m_mdb->fmt->row_count_offset + 2 + 2 * slot);
}

// Reads a page of the table into libmdb's page buffer; refuses a page the
// file does not hold (a file cut short).
void TableReader::readPage(guint32 page)
{
    if (long(page) >= m_filePages || mdb_read_pg(m_mdb, page) != m_mdb->fmt->pg_size)
        m_out.refuse(Refusal::PageMissing, number(long(page)), number(m_filePages));
    const int slots = slotCount(m_mdb->pg_buf);
    if (slots < 0 || m_mdb->fmt->row_count_offset + 2 + 2 * slots > m_mdb->fmt->pg_size)
        m_out.refuse(Refusal::DamagedPage, number(long(page)), "mehr Plätze, als die Seite fasst");
}

std::uint32_t TableReader::readAll()
{
    m_out.tableRows(m_table->num_rows);
    const long tablePage = long(m_table->entry->table_pg);
    guint32 page = 0;
    bool everyPage = false; // the usage map is of a kind libmdb does not know
    for (;;) {
        guint32 next = page + 1;
        if (!everyPage) {
            const gint32 found = mdb_map_find_next(m_mdb, m_table->usage_map, unsigned(m_table->map_sz), page);
            if (found == 0)
                break;
            if (found < 0) {
                m_out.warning("Die Seitenliste der Tabelle hat eine unbekannte Form; alle Seiten der Datei werden "
                              "nach den Seiten der Tabelle durchsucht.");
                everyPage = true;
            } else if (guint32(found) <= page) {
                m_out.refuse(Refusal::DamagedPage, number(found), "die Seitenliste der Tabelle führt zurück");
            } else {
                next = guint32(found);
            }
        }
        if (everyPage && long(next) >= m_filePages)
            break;
        page = next;
        readPage(page);
        const unsigned char* buffer = m_mdb->pg_buf;
        if (buffer[0] != MDB_PAGE_DATA || mdb_get_int32(m_mdb->pg_buf, 4) != tablePage) {
            if (!everyPage)
                m_out.warning("Seite " + number(page) + " steht in der Seitenliste der Tabelle, gehört aber nicht "
                              "zu ihr; sie wurde übergangen.");
            continue;
        }
        const int slots = slotCount(buffer);
        for (int slot = 0; slot < slots; ++slot)
            readPlace(page, slot);
    }
    return m_sent;
}

// One place of the page in the page buffer: a row, a deleted row, a moved
// row (read from where its pointer is), or the pointer to where it lies now.
void TableReader::readPlace(guint32 page, int slot)
{
    const int word = slotWord(m_mdb->pg_buf, slot);
    const int flags = word & kFlagsMask;
    if (flags == kDeleted || flags == kMovedHere)
        return;
    if (flags == 0) {
        sendRow(page, slot);
        return;
    }
    guint32 atPage = page;
    int atSlot = slot;
    for (int hop = 0;; ++hop) {
        const int offset = slotWord(m_mdb->pg_buf, atSlot) & kOffsetMask;
        if (hop == kMaxHops || offset + 4 > m_mdb->fmt->pg_size)
            m_out.refuse(Refusal::DamagedRow, number(page), number(slot));
        const guint32 pointer = guint32(mdb_get_int32(m_mdb->pg_buf, offset));
        atPage = pointer >> 8;
        atSlot = int(pointer & 0xff);
        readPage(atPage);
        if (m_mdb->pg_buf[0] != MDB_PAGE_DATA || mdb_get_int32(m_mdb->pg_buf, 4) != long(m_table->entry->table_pg) ||
            atSlot >= slotCount(m_mdb->pg_buf))
            m_out.refuse(Refusal::DamagedRow, number(page), number(slot));
        const int there = slotWord(m_mdb->pg_buf, atSlot) & kFlagsMask;
        if (there == kMovedAway)
            continue;
        if (there != kMovedHere)
            m_out.refuse(Refusal::DamagedRow, number(page), number(slot));
        break;
    }
    sendRow(atPage, atSlot);
    readPage(page);
}

// Sends the row at `slot` of the page in the page buffer.
void TableReader::sendRow(guint32 page, int slot)
{
    int start = 0;
    size_t size = 0;
    if (mdb_find_row(m_mdb, slot, &start, &size) != 0 || size == 0)
        m_out.refuse(Refusal::DamagedRow, number(page), number(slot));
    start &= kOffsetMask;
    const int count = mdb_crack_row(m_table, start, size, m_cracked.data());
    if (count < 0)
        m_out.refuse(Refusal::DamagedRow, number(page), number(slot));
    for (unsigned i = 0; i < m_table->num_cols; ++i)
        if (m_cracked[i].colnum >= 0 && unsigned(m_cracked[i].colnum) < m_table->num_cols)
            m_crackedAt[m_cracked[i].colnum] = int(i);
    ++m_sent;
    m_out.beginRecord();
    for (const WantedField& wanted : m_fields) {
        const MdbField& field = m_cracked[m_crackedAt[wanted.column]];
        const auto* column = static_cast<const MdbColumn*>(g_ptr_array_index(m_table->columns, wanted.column));
        if (field.is_null) {
            m_out.noValue();
            continue;
        }
        m_value.clear();
        if (!appendValue(m_value, field, *column))
            m_out.refuse(Refusal::DamagedValue, wanted.name, number(m_sent));
        m_out.value(m_value);
    }
    m_out.endRecord();
}

bool TableReader::appendValue(std::string& out, const MdbField& field, const MdbColumn& column)
{
    const auto* data = static_cast<const unsigned char*>(field.value);
    const std::size_t size = field.siz < 0 ? 0 : std::size_t(field.siz);
    if (size > 0 && (field.start < 0 || field.start + field.siz > m_mdb->fmt->pg_size))
        return false;
    switch (column.col_type) {
    case MDB_TEXT:
        return appendText(out, data, size);
    case MDB_MEMO:
        return appendMemo(out, data, size);
    case MDB_BYTE:
        out += number(mdb_get_byte(m_mdb->pg_buf, field.start));
        return size == 1;
    case MDB_INT:
        out += number(static_cast<std::int16_t>(mdb_get_int16(m_mdb->pg_buf, field.start)));
        return size == 2;
    case MDB_LONGINT:
        out += number(static_cast<std::int32_t>(mdb_get_int32(m_mdb->pg_buf, field.start)));
        return size == 4;
    case MDB_FLOAT:
        out += floating(mdb_get_single(m_mdb->pg_buf, field.start));
        return size == 4;
    case MDB_DOUBLE:
        out += floating(mdb_get_double(m_mdb->pg_buf, field.start));
        return size == 8;
    case MDB_MONEY:
    case MDB_NUMERIC: {
        if (size != (column.col_type == MDB_MONEY ? 8u : 17u))
            return false;
        char* text = column.col_type == MDB_MONEY
                         ? mdb_money_to_string(m_mdb, field.start)
                         : mdb_numeric_to_string(m_mdb, field.start, column.col_scale, column.col_prec);
        if (!text)
            return false;
        out += text;
        g_free(text);
        return true;
    }
    default:
        return false;
    }
}

bool TableReader::appendText(std::string& out, const unsigned char* data, std::size_t size)
{
    if (size == 0)
        return true;
    return m_codePage ? m_codePage->append(out, data, size) : appendJet4Text(out, data, size);
}

// A memo: its twelve bytes in the row say how long it is and where it lies,
// in the row itself, in one row of a long-value page, or in a chain of them.
bool TableReader::appendMemo(std::string& out, const unsigned char* header, std::size_t size)
{
    if (size < kMemoHeader)
        return false;
    const guint32 word = guint32(mdb_get_int32(const_cast<unsigned char*>(header), 0));
    const std::size_t length = word & 0x3fffffffu;
    guint32 pointer = guint32(mdb_get_int32(const_cast<unsigned char*>(header), 4));
    // No memo is longer than the file.
    if (length > std::size_t(m_filePages) * std::size_t(m_mdb->fmt->pg_size))
        return false;
    m_raw.clear();
    if (word & 0x80000000u) {
        if (kMemoHeader + length > size)
            return false;
        m_raw.assign(reinterpret_cast<const char*>(header) + kMemoHeader, length);
    } else if (word & 0x40000000u) {
        const unsigned char* data = nullptr;
        std::size_t rowSize = 0;
        if (!longValueRow(pointer, data, rowSize) || rowSize < length)
            return false;
        m_raw.assign(reinterpret_cast<const char*>(data), length);
    } else {
        // Each row of the chain begins with the pointer to the next one.
        for (long rows = 0; m_raw.size() < length; ++rows) {
            const unsigned char* data = nullptr;
            std::size_t rowSize = 0;
            if (rows > m_filePages || !longValueRow(pointer, data, rowSize) || rowSize < 4)
                return false;
            m_raw.append(reinterpret_cast<const char*>(data) + 4, std::min(rowSize - 4, length - m_raw.size()));
            pointer = guint32(mdb_get_int32(const_cast<unsigned char*>(data), 0));
            if (pointer == 0)
                break;
        }
        if (m_raw.size() != length)
            return false;
    }
    return appendText(out, reinterpret_cast<const unsigned char*>(m_raw.data()), m_raw.size());
}

// One row of a long-value page, read into libmdb's second page buffer.
bool TableReader::longValueRow(guint32 pointer, const unsigned char*& data, std::size_t& size)
{
    const guint32 page = pointer >> 8;
    const int slot = int(pointer & 0xff);
    const int pageSize = int(m_mdb->fmt->pg_size);
    if (page == 0 || long(page) >= m_filePages || mdb_read_alt_pg(m_mdb, page) != pageSize)
        return false;
    const unsigned char* buffer = m_mdb->alt_pg_buf;
    if (buffer[0] != MDB_PAGE_DATA || std::memcmp(buffer + 4, "LVAL", 4) != 0 || slot >= slotCount(buffer))
        return false;
    const int start = slotWord(buffer, slot) & kOffsetMask;
    const int end = slot == 0 ? pageSize : slotWord(buffer, slot - 1) & kOffsetMask;
    if (start > end || end > pageSize)
        return false;
    data = buffer + start;
    size = std::size_t(end - start);
    return true;
}

} // namespace jet::reader

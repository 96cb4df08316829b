// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The Access reader: reads one table of a Jet 3, Jet 4 or ACE file with
// libmdb and sends its records to the program that started it
// (access/protocol.h). It runs as a process of its own because libmdb can
// loop without end on a damaged file; its caller limits its time and memory
// and words every refusal.
#include "access/reader/output.h"
#include "access/reader/password.h"
#include "access/reader/table.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using jet::protocol::Refusal;
using jet::reader::Output;

namespace {

const char* versionName(guint32 version)
{
    switch (version) {
    case MDB_VER_JET3:
        return "Access 97 (Jet 3)";
    case MDB_VER_JET4:
        return "Access 2000 bis 2003 (Jet 4)";
    default:
        return "Access 2007 oder neuer (ACE)";
    }
}

// The user tables of the file, for the message that the one asked for is
// not among them: „A“, „B“ (at most ten).
std::string userTables(MdbHandle* mdb)
{
    std::string list;
    int count = 0;
    for (unsigned i = 0; i < mdb->num_catalog; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
        if (entry->object_type != MDB_TABLE || mdb_is_system_table(entry))
            continue;
        if (++count > 10) {
            list += ", …";
            break;
        }
        if (!list.empty())
            list += ", ";
        list += "„" + std::string(entry->object_name) + "“";
    }
    return list;
}

} // namespace

int main(int argc, char** argv)
{
    // The messages get a descriptor of their own; whatever libmdb prints,
    // to either stream, goes to the standard error that the caller keeps.
    const int messages = dup(STDOUT_FILENO);
    dup2(STDERR_FILENO, STDOUT_FILENO);
    std::signal(SIGPIPE, SIG_IGN);
    // These change what libmdb reads and how (MDBPATH: where it looks for
    // the file, and it loops on an empty element of it).
    for (const char* name : {"MDBPATH", "MDBICONV", "MDB_ICONV", "MDB_JET3_CHARSET", "MDBOPTS"})
        unsetenv(name);
    Output out(messages);
    if (messages < 0 || argc < 4)
        out.refuse(Refusal::Usage, "READER DATEI TABELLE t:FELD|n:FELD ...");

    const char* file = argv[1];
    std::vector<jet::reader::WantedField> fields;
    for (int i = 3; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.size() < 3 || arg[1] != ':' || (arg[0] != 't' && arg[0] != 'n'))
            out.refuse(Refusal::Usage, arg);
        fields.push_back({arg.substr(2), arg[0] == 'n'});
    }

    // The reason libmdb would not give: the file cannot be opened at all.
    const int fd = open(file, O_RDONLY);
    struct stat st;
    if (fd < 0 || fstat(fd, &st) != 0)
        out.refuse(Refusal::NotOpened, std::strerror(errno));
    unsigned char first[256];
    const ssize_t head = pread(fd, first, sizeof first, 0);
    close(fd);

    MdbHandle* mdb = mdb_open(file, MDB_NOFLAGS);
    if (!mdb)
        out.refuse(Refusal::NotOpened);
    // libmdb decrypts only the old Jet 4 page encryption; an encrypted
    // Access 2007 file (one with a password) reads as noise.
    if (mdb->f->jet_version >= MDB_VER_ACCDB_2007 && mdb->f->db_key != 0)
        out.refuse(Refusal::Encrypted, versionName(mdb->f->jet_version));
    if (mdb->f->jet_version <= MDB_VER_JET4 && head > 0 && jet::reader::hasPassword(first, std::size_t(head)))
        out.refuse(Refusal::Password);
    const long filePages = long(st.st_size / mdb->fmt->pg_size);
    if (!mdb_read_catalog(mdb, MDB_ANY))
        out.refuse(Refusal::NoCatalog);

    const char* tableName = argv[2];
    MdbCatalogEntry* found = nullptr;
    bool linked = false;
    for (unsigned i = 0; i < mdb->num_catalog; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
        if (g_ascii_strcasecmp(entry->object_name, tableName) != 0)
            continue;
        if (entry->object_type == MDB_TABLE)
            found = entry;
        else if (entry->object_type == MDB_LINKED_TABLE)
            linked = true;
    }
    if (!found && linked)
        out.refuse(Refusal::LinkedTable, tableName);
    if (!found)
        out.refuse(Refusal::NoTable, tableName, userTables(mdb));
    MdbTableDef* table = mdb_read_table(found);
    if (!table || !mdb_read_columns(table))
        out.refuse(Refusal::DamagedPage, std::to_string(found->table_pg), "sie hält die Definition der Tabelle");

    jet::reader::TableReader reader(mdb, table, std::move(fields), out, filePages);
    out.done(reader.readAll());
    // The process ends here; what libmdb holds goes with it.
    std::_Exit(0);
}

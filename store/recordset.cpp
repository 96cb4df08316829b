// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The record set: a position in the question table, its moves and field reads
// (its edits are in recordedit.cpp). A record set keeps nothing of the table
// but its position (a key); every move is one indexed seek on the row key and
// every field read goes to the file afresh, so open, moves and memory cost the
// same on 100 records and on a million. Statements are reset right after
// stepping, so no read lock lingers that would make the other connection's
// writes wait.
#include "store/recordimpl.h"

namespace store {

Recordset::Recordset(std::shared_ptr<Connection> connection, const QString& table) : d(std::make_unique<Impl>())
{
    d->conn = std::move(connection);
    if (table != kTable)
        throw Error(QStringLiteral("Die Tabelle „%1“ gibt es nicht.").arg(table));
    qint64 k = 0;
    if (d->seekFirst(&k))
        d->standOn(k);
    else
        d->bof = d->eof = true;
}

Recordset::~Recordset() = default;

QVariant Recordset::Fields(const QString& name) const
{
    Impl& p = *d;
    p.connection();
    const int i = fieldIndex(name);
    if (i < 0)
        throw unknownField(name);
    p.requireCurrent();
    // A record gone under this cursor reads as a record without values.
    return p.readField(i, p.key);
}

void Recordset::MoveFirst()
{
    Impl& p = *d;
    p.connection();
    p.cancelPending();
    qint64 k = 0;
    if (!p.seekFirst(&k))
        throw Impl::emptyTable();
    p.standOn(k);
}

void Recordset::MoveLast()
{
    Impl& p = *d;
    p.connection();
    p.cancelPending();
    qint64 k = 0;
    if (!p.seekLast(&k))
        throw Impl::emptyTable();
    p.standOn(k);
}

void Recordset::MoveNext()
{
    Impl& p = *d;
    p.connection();
    p.cancelPending();
    if (p.eof)
        throw Error(QStringLiteral("Kein nächster Datensatz: der Datensatzzeiger steht bereits hinter dem letzten "
                                   "Datensatz."));
    qint64 k = 0;
    const bool found = p.bof ? p.seekFirst(&k) : p.seekAfter(p.key, &k);
    if (found) {
        p.standOn(k);
        return;
    }
    // Past the end. Only when nothing is left at all is the cursor also before
    // the start: an empty set has both.
    qint64 any = 0;
    const bool empty = p.bof || !p.seekFirst(&any);
    p.eof = true;
    p.bof = empty;
    p.hole = false;
}

void Recordset::MovePrevious()
{
    Impl& p = *d;
    p.connection();
    p.cancelPending();
    if (p.bof)
        throw Error(QStringLiteral("Kein vorheriger Datensatz: der Datensatzzeiger steht bereits vor dem ersten "
                                   "Datensatz."));
    qint64 k = 0;
    const bool found = p.eof ? p.seekLast(&k) : p.seekBefore(p.key, &k);
    if (found) {
        p.standOn(k);
        return;
    }
    qint64 any = 0;
    const bool empty = p.eof || !p.seekFirst(&any);
    p.bof = true;
    p.eof = empty;
    p.hole = false;
}

bool Recordset::IsEOF() const
{
    d->connection();
    return d->eof;
}

bool Recordset::IsBOF() const
{
    d->connection();
    return d->bof;
}

RecordValues Recordset::Values() const
{
    Impl& p = *d;
    p.connection();
    p.requireCurrent();
    RecordValues values; // a record gone under this cursor reads as a record without values
    p.readValues(p.key, values);
    return values;
}

void Recordset::Close()
{
    if (d->closed)
        return;
    d->cancelPending();
    d->finalize();
    d->closed = true;
}

} // namespace store

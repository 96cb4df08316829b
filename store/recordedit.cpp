// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The edits of a record set: Edit, AddNew, Collect and Update, and Delete; the
// guarded forms write only while the record still holds what the caller read.
#include "store/recordimpl.h"

#include "store/questiontable.h"

namespace store {

namespace {

// Two stored values are the same only with the same type and the same value:
// the text "5" is not the number 5, and no value is not the empty text.
bool sameValue(const QVariant& a, const QVariant& b)
{
    return a.typeId() == b.typeId() && a == b;
}

Error recordGone()
{
    return Error(QStringLiteral("Der Datensatz wurde inzwischen gelöscht; die Änderung wurde nicht gespeichert."));
}

// Refuses a write when the record no longer holds what the caller last read.
void requireUnchanged(const RecordValues& expected, const RecordValues& now, const QString& consequence)
{
    QStringList changed;
    for (int i = 0; i < kFieldCount; ++i)
        if (!sameValue(expected[i], now[i]))
            changed << fieldNames().at(i);
    if (!changed.isEmpty())
        throw RecordChanged(QStringLiteral("Der Datensatz wurde inzwischen von einem anderen Programm geändert "
                                           "(%1); %2.")
                                .arg(changed.join(QStringLiteral(", ")), consequence),
                            changed, now);
}

} // namespace

void Recordset::Collect(const QString& name, const QVariant& value)
{
    Impl& p = *d;
    p.connection();
    const int i = fieldIndex(name);
    if (i < 0)
        throw unknownField(name);
    if (p.editMode == dbEditNone)
        throw Error(QStringLiteral("Das Feld „%1“ kann nur zwischen Edit oder AddNew und Update gesetzt werden; es "
                                   "wird gerade kein Datensatz bearbeitet.")
                        .arg(name));
    p.collected[i] = value;
    p.collectedMask |= 1u << i;
}

int Recordset::EditMode() const
{
    d->connection();
    return d->editMode;
}

bool Recordset::Updatable() const
{
    return d->connection().isWritable();
}

void Recordset::Edit()
{
    Impl& p = *d;
    p.connection();
    p.requireCurrent();
    p.cancelPending();
    p.editMode = dbEditInProgress;
}

void Recordset::AddNew()
{
    Impl& p = *d;
    p.connection();
    p.cancelPending();
    p.editMode = dbEditAdd;
}

void Recordset::Update()
{
    d->update(nullptr);
}

RecordValues Recordset::UpdateIfUnchanged(const RecordValues& expected)
{
    return d->update(&expected);
}

// Update, and with `expected` only while the record still holds those values;
// then it returns what the record holds after the write.
RecordValues Recordset::Impl::update(const RecordValues* expected)
{
    Connection& c = connection();
    if (editMode == dbEditNone)
        throw Error(QStringLiteral("Es gibt nichts zu speichern: es wird gerade kein Datensatz bearbeitet oder "
                                   "hinzugefügt."));
    const int mode = editMode;
    const unsigned mask = collectedMask;
    const auto values = collected;
    const qint64 current = key;
    // Whatever happens below, the pending change is over: a failed Update
    // must not leave an edit open that would block the next one.
    cancelPending();

    RecordValues after;
    if (mode == dbEditAdd) {
        qint64 added = 0;
        c.writeTransaction([&] {
            {
                sqlite::Statement st(c.insertStatement());
                for (int i = 0; i < kFieldCount; ++i)
                    bind(st, i + 1, i, values[i]);
                try {
                    write(c, st);
                } catch (const sqlite::Error& e) {
                    if (e.isFull() && keysUsedUp(c.file(), kTable))
                        throw noKeyLeft(c.file().path());
                    throw;
                }
            }
            // The key SQLite gave the record on this connection: not always
            // the highest (a table whose highest key is taken gets a random
            // free one), and never another program's.
            added = c.file().lastAddedKey();
            if (expected)
                readValues(added, after);
        });
        lastModified = added;
        return after;
    }

    c.writeTransaction([&] {
        if (expected) {
            RecordValues now;
            if (!readValues(current, now))
                throw recordGone();
            requireUnchanged(*expected, now, QStringLiteral("es wurde nichts gespeichert"));
        }
        int changed = 0;
        if (mask == 0) {
            // Nothing collected: the record must still be there to count as saved.
            qint64 found = 0;
            changed = seekFrom(current, &found) && found == current ? 1 : 0;
        } else {
            sqlite::Statement st(c.updateStatement(mask));
            int index = 1;
            for (int i = 0; i < kFieldCount; ++i)
                if (mask & (1u << i))
                    bind(st, index++, i, values[i]);
            st.bind(index, current);
            write(c, st);
            changed = c.file().changes();
        }
        if (changed == 0)
            throw recordGone();
        if (expected)
            readValues(current, after);
    });
    lastModified = current;
    return after;
}

void Recordset::MoveToLastModified()
{
    Impl& p = *d;
    p.connection();
    p.cancelPending();
    qint64 found = 0;
    if (!p.lastModified || !p.seekFrom(*p.lastModified, &found) || found != *p.lastModified)
        throw recordGone();
    p.standOn(found);
}

void Recordset::CancelUpdate()
{
    d->connection();
    d->cancelPending();
}

void Recordset::Delete()
{
    d->erase(nullptr);
}

void Recordset::DeleteIfUnchanged(const RecordValues& expected)
{
    d->erase(&expected);
}

void Recordset::Impl::erase(const RecordValues* expected)
{
    Connection& c = connection();
    cancelPending();
    requireCurrent();
    const qint64 current = key;
    c.writeTransaction([&] {
        if (expected) {
            RecordValues now;
            if (readValues(current, now))
                requireUnchanged(*expected, now, QStringLiteral("er wurde nicht gelöscht"));
        }
        sqlite::Statement st(statement(remove, "DELETE FROM %1 WHERE %2=?1"));
        st.bind(1, current);
        write(c, st);
        if (c.file().changes() == 0)
            throw Error(QStringLiteral("Der Datensatz wurde inzwischen gelöscht."));
    });
    hole = true;
}

} // namespace store

// SPDX-FileCopyrightText: 2026 The Plomberg-Quiz developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Stored values as text: how a field reads on screen and how UTF-8 from the
// file or from a CSV becomes a QString without losing a character.
#include "store/store.h"

#include <QStringDecoder>

namespace store {

QString valueText(const QVariant& value)
{
    if (value.metaType() == QMetaType::fromType<RawText>())
        return QString::fromUtf8(value.value<RawText>().bytes);
    return value.isNull() ? QString() : value.toString();
}

QString fieldText(const Recordset& records, const QString& field)
{
    return valueText(records.Fields(field));
}

QString textFromUtf8(QByteArrayView utf8)
{
    // Only a byte order mark at the start reads differently from QString::fromUtf8.
    if (!utf8.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(utf8);
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(utf8);
}

} // namespace store

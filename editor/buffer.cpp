// Loading the editor and the exchange between the current record and the boxes.
#include "editor/frmEditor.h"

#include "platform/platform.h"

#include <QLabel>
#include <QLineEdit>

namespace editor {

QString leftChars(const QString& text, int limit)
{
    int end = 0;
    for (int count = 0; end < text.size() && count < limit; ++count)
        end += (text.at(end).isHighSurrogate() && end + 1 < text.size() && text.at(end + 1).isLowSurrogate()) ? 2 : 1;
    QString cut = text.left(end);
    if (cut.isNull())
        cut = QString::fromLatin1("", 0); // an empty box writes the empty text, never "no value"
    return cut;
}

} // namespace editor

void frmEditor::Form_Load()
{
    // A fresh connection and record set each time; they replace those of the
    // previous opening, whose record set goes before its connection.
    auto database = store::DBEngine::instance().OpenDatabase(platform::programFile(store::kFileName));
    auto records = database->OpenRecordset(store::kTable);
    EditorRecords.reset();
    EditorDatabase = std::move(database);
    EditorRecords = std::move(records);

    PufferInForm();
    if (hasCurrentRecord())
        lblStatus->setText(QStringLiteral("Die Datenbank ist zum Editieren bereit"));
    else
        lblStatus->setText(QStringLiteral("Die Datenbank ist zum Editieren bereit - sie enthält keinen Datensatz"));
}

bool frmEditor::hasCurrentRecord() const
{
    return EditorRecords && !EditorRecords->IsEOF() && !EditorRecords->IsBOF();
}

bool frmEditor::tableIsEmpty() const
{
    // A record set opened afresh stands at both ends at once only on an empty table.
    if (!EditorDatabase)
        return true;
    const auto probe = EditorDatabase->OpenRecordset(store::kTable);
    return probe->IsEOF() && probe->IsBOF();
}

void frmEditor::clearBoxes()
{
    for (QLineEdit* box : {txtFrage, txtAntA, txtAntB, txtAntC, txtAntD, txtRichtig, txtFraglich, txtNr, txtJoker,
                           txtPubA, txtPubB, txtPubC, txtPubD})
        box->clear();
}

void frmEditor::PufferInForm()
{
    // Without a current record (an empty table) every box is cleared, so no text
    // of an earlier record can later be written into another one.
    if (!hasCurrentRecord()) {
        clearBoxes();
        return;
    }

    const store::Recordset& rs = *EditorRecords;
    txtFrage->setText(store::fieldText(rs, QStringLiteral("Frage")));
    txtAntA->setText(store::fieldText(rs, QStringLiteral("AntwortA")));
    txtAntB->setText(store::fieldText(rs, QStringLiteral("AntwortB")));
    txtAntC->setText(store::fieldText(rs, QStringLiteral("AntwortC")));
    txtAntD->setText(store::fieldText(rs, QStringLiteral("AntwortD")));
    txtRichtig->setText(store::fieldText(rs, QStringLiteral("Richtig")));
    txtFraglich->setText(store::fieldText(rs, QStringLiteral("Fraglich")));
    txtNr->setText(store::fieldText(rs, QStringLiteral("Nummer")));

    // An empty JokerTV text reads "Nicht einer"; a JokerTV without value shows
    // an empty box like every other field without value.
    const QVariant joker = rs.Fields(QStringLiteral("JokerTV"));
    if (!joker.isNull() && joker.toString().isEmpty())
        txtJoker->setText(QStringLiteral("Nicht einer"));
    else
        txtJoker->setText(store::valueText(joker));

    txtPubA->setText(store::fieldText(rs, QStringLiteral("PublikumA")));
    txtPubB->setText(store::fieldText(rs, QStringLiteral("PublikumB")));
    txtPubC->setText(store::fieldText(rs, QStringLiteral("PublikumC")));
    txtPubD->setText(store::fieldText(rs, QStringLiteral("PublikumD")));
}

void frmEditor::FormInPuffer()
{
    // Each box cut to its field's limit; the two answer letters in upper case.
    // The boxes themselves keep the text as typed.
    store::Recordset& rs = *EditorRecords;
    const auto write = [&rs](const QString& field, const QLineEdit* box) {
        rs.Collect(field, editor::leftChars(box->text(), store::fieldLimit(field)));
    };
    const auto writeLetter = [&rs](const QString& field, const QLineEdit* box) {
        const int limit = store::fieldLimit(field);
        rs.Collect(field, editor::leftChars(editor::leftChars(box->text(), limit).toUpper(), limit));
    };
    write(QStringLiteral("Frage"), txtFrage);
    write(QStringLiteral("AntwortA"), txtAntA);
    write(QStringLiteral("AntwortB"), txtAntB);
    write(QStringLiteral("AntwortC"), txtAntC);
    write(QStringLiteral("AntwortD"), txtAntD);
    write(QStringLiteral("PublikumA"), txtPubA);
    write(QStringLiteral("PublikumB"), txtPubB);
    write(QStringLiteral("PublikumC"), txtPubC);
    write(QStringLiteral("PublikumD"), txtPubD);
    writeLetter(QStringLiteral("Richtig"), txtRichtig);
    writeLetter(QStringLiteral("Fraglich"), txtFraglich);
    write(QStringLiteral("Nummer"), txtNr);
    write(QStringLiteral("JokerTV"), txtJoker);
}

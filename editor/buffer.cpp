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
    auto database = store::DBEngine::instance().OpenDatabase(platform::questionFile(store::kFileName));
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
    txtFrage->setText(store::fieldText(rs, store::field::Frage));
    txtAntA->setText(store::fieldText(rs, store::field::AntwortA));
    txtAntB->setText(store::fieldText(rs, store::field::AntwortB));
    txtAntC->setText(store::fieldText(rs, store::field::AntwortC));
    txtAntD->setText(store::fieldText(rs, store::field::AntwortD));
    txtRichtig->setText(store::fieldText(rs, store::field::Richtig));
    txtFraglich->setText(store::fieldText(rs, store::field::Fraglich));
    txtNr->setText(store::fieldText(rs, store::field::Nummer));

    // An empty JokerTV text reads "Nicht einer"; a JokerTV without value shows
    // an empty box like every other field without value.
    const QVariant joker = rs.Fields(store::field::JokerTV);
    if (!joker.isNull() && joker.toString().isEmpty())
        txtJoker->setText(QStringLiteral("Nicht einer"));
    else
        txtJoker->setText(store::valueText(joker));

    txtPubA->setText(store::fieldText(rs, store::field::PublikumA));
    txtPubB->setText(store::fieldText(rs, store::field::PublikumB));
    txtPubC->setText(store::fieldText(rs, store::field::PublikumC));
    txtPubD->setText(store::fieldText(rs, store::field::PublikumD));
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
    write(store::field::Frage, txtFrage);
    write(store::field::AntwortA, txtAntA);
    write(store::field::AntwortB, txtAntB);
    write(store::field::AntwortC, txtAntC);
    write(store::field::AntwortD, txtAntD);
    write(store::field::PublikumA, txtPubA);
    write(store::field::PublikumB, txtPubB);
    write(store::field::PublikumC, txtPubC);
    write(store::field::PublikumD, txtPubD);
    writeLetter(store::field::Richtig, txtRichtig);
    writeLetter(store::field::Fraglich, txtFraglich);
    write(store::field::Nummer, txtNr);
    write(store::field::JokerTV, txtJoker);
}

#pragma once

#include <QString>
#include <QStringList>

class TpkXML;

// Characters a report cannot hold: those without a byte in its code page (Windows-1250)
// and those XML 1.0 does not allow. The report stores each of them as "?"; the teacher
// is asked before that happens.
struct UnstorableText
{
    QStringList Characters; // each character once, in the order found, as shown to the user
    QStringList Places;     // the texts that hold them, each once, shortened around the character

    bool isEmpty() const { return Characters.isEmpty(); }
};

UnstorableText FindUnstorable(const QStringList& texts);
// Every element text, section and attribute value of the document.
UnstorableText FindUnstorable(const TpkXML& doc);

// The question that lists what was found: Tak writes the report with "?", Nie goes back.
QString UnstorableQuestion(const UnstorableText& found);

// Asks once when `doc` holds characters the report cannot store; true when the report
// may be written (nothing found, or the teacher answered Tak).
bool ConfirmUnstorable(const TpkXML& doc);

#pragma once

#include <QString>
#include <QStringList>

// The name of a report document (without ".xml"): a topic prefix, then each value
// after a "_". The values come from the school's lists and from free text, so a character
// that a file name cannot hold on the school's computers (\ / : * ? " < > | and
// control characters) becomes "-", and an overlong name is shortened. Only the file
// name changes; the document keeps the texts as typed.
QString ReportFileName(const QString& prefix, const QStringList& values);

// The same rules for one name.
QString SafeFileName(const QString& name);

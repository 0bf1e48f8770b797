#pragma once

#include <QString>

// The ways of getting a finished report to the school, as the delivery window offers
// them. Each tells its outcome in the message dialog.

// The file being delivered: the document chosen with "Chcę przesłać przygotowany
// wcześniej dokument", otherwise the report the editor has just written.
QString DeliverySource();

// Where the network copy of the delivered file goes: a file of the same name in the
// school's network folder. Empty when no network folder is set.
QString NetworkCopyTarget();

// Copies the report file `source` to `target`, replacing a file of that name. The
// copy is written as a new file in the target's folder and renamed over the target
// name only once complete, so a failed copy never leaves a partial file under the
// target name, and a link standing under that name is replaced, never followed. Tells the user why
// it failed (missing source, unreachable folder, failed copy) and returns false.
bool CopyDocument(const QString& source, const QString& target);

// Saves the report under the name the teacher chose and tells the full path; a
// failure adds the hint that the folder may be closed to the teacher. True when saved.
bool SaveDocumentTo(const QString& source, const QString& target);

// Copies the report into the school's network folder, only in school-network mode,
// and tells the outcome. True when the copy is there.
bool CopyToNetwork(const QString& source, const QString& target);

// Sends the report by the program's own mail to the school, in the name of
// `teacherName`, with progress and "Anuluj", within `timeLimitSeconds`, and tells the
// outcome: sent, failed, cancelled, or, after the whole mail was handed over, that it
// may have arrived. True when the server accepted the mail.
inline constexpr int kMailTimeLimitSeconds = 120;
bool MailDocument(const QString& source, const QString& teacherName,
                  int timeLimitSeconds = kMailTimeLimitSeconds);

#pragma once

#include "protocol/MailMessage.h"
#include "protocol/SmtpClient.h"

#include <QDateTime>
#include <QString>

struct Settings;

// The report mail: the teacher's greeting to the school with the report file attached.
// The same subject and greeting go through the program's own SMTP client and through
// the user's mail program.

// "Sprawozdanie - " and the teacher's name.
QString ReportMailSubject(const QString& teacherName);

// The greeting with the teacher's name on its last line. Its line ends are those the
// school's tools have always received: cut at CR, LF and CR LF it gives nine lines.
QString ReportMailBody(const QString& teacherName);

// The body of the report mail: a small HTML document with the greeting's lines as
// lines and the teacher's name, escaped, on the last.
QString ReportMailHtml(const QString& teacherName);

// The mail that carries the report file at `path` from the teacher to every address
// of the school's address list, with the HTML body above. Text is kept as Unicode
// here; the MIME writer puts the body and the header words into ISO-8859-2.
MailMessage ComposeReportMail(const QString& teacherName, const QString& path, const Settings& settings,
                              const QDateTime& now);

// The school's SMTP account of the settings. False with a reason when the port is not
// a whole number from 1 to 65535.
bool ReportMailAccount(const Settings& settings, SmtpAccount* account, QString* error = nullptr);

// Composes the report mail of `teacherName` for the file at `path` and sends it
// through the school's account, within the control's time limit. Every failure (a bad
// port, no connection, a refused login or recipient, an unreadable or oversized file,
// a dropped connection) gives its outcome and a readable reason; nothing of one
// attempt is carried into the next.
MailOutcome SendReportMail(const QString& path, const QString& teacherName, QString* error = nullptr,
                           const TransferControl& control = {SmtpClient::kDefaultTimeLimitSeconds, {}});

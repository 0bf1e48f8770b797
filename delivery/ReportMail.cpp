#include "delivery/ReportMail.h"

#include "core/AppState.h"
#include "protocol/HeaderEncoding.h"

#include <QFileInfo>

namespace {

// The greeting keeps its odd LF CR pairs: cut into lines they give the two empty
// lines between the paragraphs that the school's tools expect.
const QString kGreeting =
    QStringLiteral("Witam. \n\r\n\rOto moje sprawozdanie. Proszę przekazać protokolantowi. "
                   "\n\r\n\rZ poważaniem.  \n\r");

} // namespace

QString ReportMailSubject(const QString& teacherName)
{
    return QStringLiteral("Sprawozdanie - ") + teacherName;
}

QString ReportMailBody(const QString& teacherName)
{
    return kGreeting + teacherName;
}

QString ReportMailHtml(const QString& teacherName)
{
    // The greeting's lines as they are, each ended by <br> so that a mail program
    // shows them as lines; the name escaped, since it is text, never markup.
    const QString name = HeaderEncoding::withoutControls(teacherName)
                             .toHtmlEscaped();
    QString html = QStringLiteral("<!DOCTYPE html>\r\n<html><head>"
                                  "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=ISO-8859-2\">"
                                  "<title>Sprawozdanie</title></head>\r\n<body>\r\n");
    const QString greeting = kGreeting;
    QString line;
    for (qsizetype i = 0; i < greeting.size(); ++i) {
        const QChar c = greeting.at(i);
        if (c != u'\r' && c != u'\n') {
            line += c;
            continue;
        }
        html += line + QStringLiteral("<br>\r\n");
        line.clear();
        if (c == u'\r' && i + 1 < greeting.size() && greeting.at(i + 1) == u'\n')
            ++i;
    }
    return html + name + QStringLiteral("\r\n</body></html>\r\n");
}

MailMessage ComposeReportMail(const QString& teacherName, const QString& path, const Settings& settings,
                              const QDateTime& now)
{
    MailMessage mail;
    mail.SenderName = teacherName;
    mail.SenderAddress = settings.SenderAddress;
    mail.Recipients = settings.SchoolAddress;
    mail.Subject = ReportMailSubject(teacherName);
    mail.HtmlBody = ReportMailHtml(teacherName);
    mail.Date = now;
    mail.AttachmentPath = path;
    mail.AttachmentName = QFileInfo(path).fileName();
    return mail;
}

bool ReportMailAccount(const Settings& settings, SmtpAccount* account, QString* error)
{
    const QString text = settings.SmtpPort.trimmed();
    bool digitsOnly = !text.isEmpty() && text.size() <= 5;
    for (const QChar c : text)
        digitsOnly = digitsOnly && c >= QLatin1Char('0') && c <= QLatin1Char('9');
    const int port = digitsOnly ? text.toInt() : 0;
    if (port < 1 || port > 65535) {
        if (error)
            *error = QStringLiteral("Port serwera poczty „%1” nie jest liczbą od 1 do 65535.")
                         .arg(settings.SmtpPort);
        return false;
    }
    account->Host = settings.SmtpHost;
    account->Port = port;
    account->User = settings.SenderAddress;
    account->Password = settings.SmtpPassword;
    account->AllowPlainLogin = settings.AllowPlainLogin;
    return true;
}

MailOutcome SendReportMail(const QString& path, const QString& teacherName, QString* error,
                           const TransferControl& control)
{
    const AppState& state = appState();
    SmtpAccount account;
    if (!ReportMailAccount(state.Settings, &account, error))
        return MailOutcome::Failed;
    // The mail is built afresh for every attempt, so a failed one leaves nothing
    // (no attachment, no recipient) behind for the next.
    const MailMessage mail =
        ComposeReportMail(teacherName, path, state.Settings, QDateTime::currentDateTime());
    SmtpClient client(account);
    client.setTransferControl(control);
    client.send(mail, error);
    return client.outcome();
}

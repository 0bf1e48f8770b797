#include "protocol/MailMessage.h"

#include "document/TextCodec.h"
#include "protocol/HeaderEncoding.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QUuid>

namespace {

// Cuts text into lines: CR LF is one line end, any other CR or LF is one by itself.
QList<QByteArray> bodyLines(const QByteArray& text)
{
    QList<QByteArray> lines;
    QByteArray line;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text.at(i);
        if (c == '\r' || c == '\n') {
            lines << line;
            line.clear();
            if (c == '\r' && i + 1 < text.size() && text.at(i + 1) == '\n')
                ++i;
        } else {
            line += c;
        }
    }
    if (!line.isEmpty())
        lines << line;
    return lines;
}

QByteArray base64Lines(const QByteArray& bytes)
{
    const QByteArray encoded = bytes.toBase64();
    QByteArray out;
    for (qsizetype i = 0; i < encoded.size(); i += 76)
        out += encoded.mid(i, 76) + "\r\n";
    return out;
}

// "Name <address>" for a header whose name takes `used` characters of the line. An
// encoded name that leaves no room for the address on its last line has the address
// folded onto a line of its own.
QByteArray mailbox(const QString& name, const QString& address, int used)
{
    const QByteArray phrase = HeaderEncoding::encodePhrase(name, used);
    const QByteArray angle = "<" + address.toLatin1() + ">";
    if (phrase.isEmpty())
        return address.toLatin1();
    const qsizetype lastBreak = phrase.lastIndexOf("\r\n");
    const qsizetype lastLine = lastBreak < 0 ? used + phrase.size() : phrase.size() - lastBreak - 2;
    if (phrase.contains("=?") && lastLine + 1 + angle.size() > HeaderEncoding::kMaxEncodedLine)
        return phrase + "\r\n " + angle;
    return phrase + " " + angle;
}

} // namespace

QByteArray MailMessage::compose(QString* error) const
{
    auto fail = [&](const QString& reason) {
        if (error)
            *error = reason;
        return QByteArray();
    };

    if (!HeaderEncoding::isPlainAddress(SenderAddress))
        return fail(QStringLiteral("Nieprawidłowy adres nadawcy: „%1”.")
                        .arg(HeaderEncoding::withoutLineBreaks(SenderAddress)));
    QStringList to;
    QString reason;
    if (!HeaderEncoding::splitAddressList(Recipients, &to, &reason))
        return fail(reason);

    QByteArray attachment = AttachmentBytes;
    QString fileName = AttachmentName;
    if (!AttachmentPath.isEmpty()) {
        QFile file(AttachmentPath);
        if (!file.open(QIODevice::ReadOnly))
            return fail(
                QStringLiteral("Nie można odczytać pliku „%1”: %2").arg(AttachmentPath, file.errorString()));
        attachment = file.readAll();
        if (file.error() != QFileDevice::NoError)
            return fail(
                QStringLiteral("Nie można odczytać pliku „%1”: %2").arg(AttachmentPath, file.errorString()));
        if (fileName.isEmpty())
            fileName = QFileInfo(AttachmentPath).fileName();
    }

    // A base64 part never contains "=_", so this boundary cannot occur inside it.
    const QByteArray boundary = "=_Tabulon_" + QUuid::createUuid().toByteArray(QUuid::Id128);
    const QDateTime when = Date.isValid() ? Date : QDateTime::currentDateTime();
    const QByteArray quotedName = [&] {
        // Encoded words inside a quoted parameter are not standard MIME, but they are
        // what common mail programs write and read for file names outside ASCII.
        QByteArray name = HeaderEncoding::encodeText(fileName);
        name.replace("\r\n ", " ");
        name.replace('\\', "\\\\").replace('"', "\\\"");
        return "\"" + name + "\"";
    }();

    QByteArray out;
    out += "From: " + mailbox(SenderName, SenderAddress, 6) + "\r\n";
    out += "To: " + to.join(QStringLiteral(", ")).toLatin1() + "\r\n";
    out += "Subject: " + HeaderEncoding::encodeText(Subject, 9) + "\r\n";
    out += "Date: " + when.toString(Qt::RFC2822Date).toLatin1() + "\r\n";
    out += "Message-ID: <" + QUuid::createUuid().toByteArray(QUuid::Id128) + "@tabulon>\r\n";
    out += "MIME-Version: 1.0\r\n";
    out += "Content-Type: multipart/mixed; boundary=\"" + boundary + "\"\r\n";
    out += "\r\n";
    out += "This is a multi-part message in MIME format.\r\n";
    out += "\r\n--" + boundary + "\r\n";
    out += "Content-Type: text/html; charset=ISO-8859-2\r\n";
    out += "Content-Transfer-Encoding: 8bit\r\n";
    out += "\r\n";
    for (const QByteArray& line : bodyLines(TextCodec::toIso88592(HtmlBody)))
        out += line + "\r\n";
    out += "\r\n--" + boundary + "\r\n";
    out += "Content-Type: application/octet-stream; name=" + quotedName + "\r\n";
    out += "Content-Transfer-Encoding: base64\r\n";
    out += "Content-Disposition: inline; filename=" + quotedName + "\r\n";
    out += "\r\n";
    out += base64Lines(attachment);
    out += "\r\n--" + boundary + "--\r\n";
    return out;
}

#include "protocol/MailMessage.h"

#include "encoding/TextCodec.h"
#include "files/SafeFile.h"
#include "protocol/HeaderEncoding.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QUuid>

namespace {

// Cuts text into lines: CR LF is one line end, any other CR or LF is one by itself.
QList<QString> bodyLines(const QString& text)
{
    QList<QString> lines;
    QString line;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\r' || c == u'\n') {
            lines << line;
            line.clear();
            if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
        } else {
            line += c;
        }
    }
    if (!line.isEmpty())
        lines << line;
    return lines;
}

// One line as quoted-printable (RFC 2045), soft-broken within 76 characters.
QByteArray quotedPrintable(const QByteArray& line)
{
    static const char hex[] = "0123456789ABCDEF";
    QByteArray out;
    qsizetype lineLength = 0;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const auto c = static_cast<unsigned char>(line.at(i));
        const bool last = i + 1 == line.size();
        QByteArray piece;
        if ((c >= 33 && c <= 126 && c != '=') || (c == ' ' && !last))
            piece = QByteArray(1, char(c));
        else
            piece = QByteArray("=") + hex[c >> 4] + hex[c & 0x0F];
        if (lineLength + piece.size() > 75) {
            out += "=\r\n";
            lineLength = 0;
        }
        out += piece;
        lineLength += piece.size();
    }
    return out + "\r\n";
}

// The body in ISO-8859-2: 8-bit lines as they are, or quoted-printable when a line
// would be too long for a mail.
QByteArray bodyPart(const QString& html, QByteArray* transferEncoding)
{
    QList<QByteArray> lines;
    bool fits = true;
    for (const QString& line : bodyLines(html)) {
        lines << TextCodec::toIso88592(HeaderEncoding::withoutControls(line));
        fits = fits && lines.back().size() <= HeaderEncoding::kMaxHardLine;
    }
    *transferEncoding = fits ? "8bit" : "quoted-printable";
    QByteArray out;
    for (const QByteArray& line : lines)
        out += fits ? line + "\r\n" : quotedPrintable(line);
    return out;
}

// The addresses of a To header, folded between addresses within kMaxLine.
QByteArray addressLine(const QStringList& addresses, int used)
{
    QByteArray out;
    qsizetype lineLength = used;
    for (qsizetype i = 0; i < addresses.size(); ++i) {
        const QByteArray address = addresses.at(i).toLatin1();
        if (i > 0) {
            out += ',';
            ++lineLength;
            if (lineLength + 1 + address.size() > HeaderEncoding::kMaxLine) {
                out += "\r\n";
                lineLength = 0;
            }
            out += ' ';
            ++lineLength;
        }
        out += address;
        lineLength += address.size();
    }
    return out;
}

// True when every line of `text` keeps within the hard limit of a mail line.
bool linesFit(const QByteArray& text)
{
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf("\r\n", start);
        if (end < 0)
            end = text.size();
        if (end - start > HeaderEncoding::kMaxHardLine)
            return false;
        start = end + 2;
    }
    return true;
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
    const int limit = phrase.contains("=?") ? HeaderEncoding::kMaxEncodedLine : HeaderEncoding::kMaxLine;
    if (lastLine + 1 + angle.size() > limit)
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
    if (attachmentTooLarge())
        return fail(QStringLiteral("Załącznik jest większy niż %1 MB.").arg(kMaxAttachmentBytes >> 20));
    if (!AttachmentPath.isEmpty()) {
        // Bounded: a file that grew since it was looked at is refused, not read whole.
        const FileResult read = SafeFile::Read(AttachmentPath, kMaxAttachmentBytes, &attachment);
        if (read.failure == FileFailure::TooLarge)
            return fail(QStringLiteral("Załącznik jest większy niż %1 MB.").arg(kMaxAttachmentBytes >> 20));
        if (!read)
            return fail(QStringLiteral("Nie można odczytać pliku „%1”: %2.")
                            .arg(AttachmentPath, FileFailureText(read)));
        if (fileName.isEmpty())
            fileName = QFileInfo(AttachmentPath).fileName();
    }

    // A base64 part never contains "=_", so this boundary cannot occur inside it.
    const QByteArray boundary = "=_Tabulon_" + QUuid::createUuid().toByteArray(QUuid::Id128);
    const QDateTime when = Date.isValid() ? Date : QDateTime::currentDateTime();
    const QByteArray quotedName = [&] {
        // Encoded words inside a quoted parameter are not standard MIME, but they are
        // what common mail programs write and read for file names outside ASCII.
        // The parameter stands on a line of its own and folds between its words.
        QByteArray name = HeaderEncoding::encodeText(fileName, 11);
        name.replace('\\', "\\\\").replace('"', "\\\"");
        return "\"" + name + "\"";
    }();

    QByteArray out;
    out += "From: " + mailbox(SenderName, SenderAddress, 6) + "\r\n";
    out += "To: " + addressLine(to, 4) + "\r\n";
    out += "Subject: " + HeaderEncoding::encodeText(Subject, 9) + "\r\n";
    out += "Date: " + when.toString(Qt::RFC2822Date).toLatin1() + "\r\n";
    out += "Message-ID: <" + QUuid::createUuid().toByteArray(QUuid::Id128) + "@tabulon>\r\n";
    out += "MIME-Version: 1.0\r\n";
    out += "Content-Type: multipart/mixed;\r\n boundary=\"" + boundary + "\"\r\n";
    out += "\r\n";
    out += "This is a multi-part message in MIME format.\r\n";
    out += "\r\n--" + boundary + "\r\n";
    QByteArray transferEncoding;
    const QByteArray body = bodyPart(HtmlBody, &transferEncoding);
    out += "Content-Type: text/html; charset=ISO-8859-2\r\n";
    out += "Content-Transfer-Encoding: " + transferEncoding + "\r\n";
    out += "\r\n";
    out += body;
    out += "\r\n--" + boundary + "\r\n";
    out += "Content-Type: application/octet-stream;\r\n name=" + quotedName + "\r\n";
    out += "Content-Transfer-Encoding: base64\r\n";
    out += "Content-Disposition: inline;\r\n filename=" + quotedName + "\r\n";
    out += "\r\n";
    out += base64Lines(attachment);
    out += "\r\n--" + boundary + "--\r\n";
    // Every part above is built to keep within the limit; this is the last guard.
    if (!linesFit(out))
        return fail(
            QStringLiteral("Wiersz listu byłby dłuższy niż %1 znaków.").arg(HeaderEncoding::kMaxHardLine));
    return out;
}

bool MailMessage::attachmentTooLarge() const
{
    if (!AttachmentPath.isEmpty())
        return QFileInfo(AttachmentPath).size() > kMaxAttachmentBytes;
    return AttachmentBytes.size() > kMaxAttachmentBytes;
}

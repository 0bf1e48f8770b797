#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

// One mail with an HTML body and one attached file, composed as MIME: the body is
// 8-bit "text/html" in ISO-8859-2 (quoted-printable when a line is too long for a
// mail), the attachment base64 with Content-Disposition "inline". Header text outside
// ASCII is written as encoded words; header lines fold within 78 characters where the
// text allows and never pass 998. Control characters of any text are removed.
struct MailMessage
{
    QString SenderName;
    QString SenderAddress;
    QString Recipients; // address list, comma-separated
    QString Subject;
    QString HtmlBody; // cut into lines at CR LF, CR or LF
    QDateTime Date;   // the current time when left invalid

    // The attachment: read from AttachmentPath when it is set, else AttachmentBytes.
    // AttachmentName is the file name shown to the receiver; when empty the
    // file-name part of AttachmentPath is used.
    QString AttachmentPath;
    QByteArray AttachmentBytes;
    QString AttachmentName;

    // The complete message as handed to the server (lines end with CR LF). Returns an
    // empty array and a readable reason when an address is bad or the attachment
    // file cannot be read.
    QByteArray compose(QString* error = nullptr) const;

    // Attachments above this size are refused before anything is sent.
    static constexpr qint64 kMaxAttachmentBytes = 10 * 1024 * 1024;
    bool attachmentTooLarge() const;
};

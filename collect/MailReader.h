#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

// Finds the report documents attached to mails, with GMime: single mails (.eml,
// a file of a Maildir folder) and mailboxes in mbox form. An attachment is taken
// when its file name (RFC 2231 or RFC 2047 form alike) ends with ".xml" or its type
// is XML, whatever its transfer encoding; mails forwarded as attachments are
// searched too.
namespace MailReader {

// Caps: a larger mail or attachment is listed as damaged, not read; a damaged mail
// costs only itself, never the rest of its mailbox.
constexpr qint64 kMaxMailBytes = 64LL * 1024 * 1024;           // one mail
constexpr qint64 kMaxMailboxBytes = 16LL * 1024 * 1024 * 1024; // one mbox file
constexpr int kMaxMailboxMessages = 500000;
// GMime keeps a mail's contents in the file but holds its headers and one object per
// MIME part in memory, so these are bounded before GMime parses the mail: all header
// blocks of a mail together, the lines that may begin a part, the Content-Type lines
// (each nesting level needs one; GMime descends recursively) ...
constexpr qint64 kMaxHeaderBytes = 1024 * 1024;
constexpr int kMaxPartLines = 10000;
constexpr int kMaxTypeLines = 500;
// ... and, once parsed, the parts themselves (forwarded mails' parts included) and
// their nesting.
constexpr int kMaxMimeParts = 1000;
constexpr int kMaxMimeDepth = 16;

struct Sink
{
    // A report attachment: where it was found and its decoded bytes. `bytes` is empty
    // and `error` says why when it could not be taken (too large).
    std::function<void(const QString& source, const QByteArray& bytes, const QString& error)> attachment;
    // A mail or mailbox that could not be read at all, or a mail in it that could
    // not be read or was past a cap.
    std::function<void(const QString& source, const QString& error)> damaged;
    // Counts the mails read, for the report at the end.
    std::function<void(int reportsInMail)> mailRead;
};

// `fd` is an open, readable descriptor of a regular file; it is closed by the call.
// `label` names the file in what the sink receives.
void ReadSingleMail(int fd, const QString& label, const Sink& sink);
void ReadMailbox(int fd, const QString& label, const Sink& sink);

} // namespace MailReader

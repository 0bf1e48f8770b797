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

// Caps: a larger mail or attachment is listed as damaged, not read.
constexpr qint64 kMaxMailBytes = 64LL * 1024 * 1024;           // one mail
constexpr qint64 kMaxMailboxBytes = 16LL * 1024 * 1024 * 1024; // one mbox file
constexpr int kMaxMailboxMessages = 500000;
// A mail's header is held in memory while it is parsed, so it has its own cap.
constexpr qint64 kMaxHeaderBytes = 1024 * 1024;
constexpr int kMaxAttachmentsPerMail = 100;

struct Sink
{
    // A report attachment: where it was found and its decoded bytes. `bytes` is empty
    // and `error` says why when it could not be taken (too large).
    std::function<void(const QString& source, const QByteArray& bytes, const QString& error)> attachment;
    // A mail or mailbox that could not be read at all, or an unreadable mail in it.
    std::function<void(const QString& source, const QString& error)> damaged;
    // Counts the mails read, for the report at the end.
    std::function<void(int reportsInMail)> mailRead;
};

// `fd` is an open, readable descriptor of a regular file; it is closed by the call.
// `label` names the file in what the sink receives.
void ReadSingleMail(int fd, const QString& label, const Sink& sink);
void ReadMailbox(int fd, const QString& label, const Sink& sink);

} // namespace MailReader

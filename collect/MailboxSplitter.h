#pragma once

#include <QtGlobal>

#include <functional>

// Finds the mails of a mailbox in mbox form without holding any of it: the file is
// fed in chunks of any size and only a few bytes of the current line are kept. The
// split is GMime's own (GMIME_FORMAT_MBOX): whatever stands before the first line
// beginning with "From " is skipped, and every later line beginning with "From "
// (a line ends at LF) begins a new mail, wherever it stands: in a header, in a body,
// at the start of a forwarded mail. A single mail (.eml) is one span over the file.
//
// For each mail it also counts what GMime would hold in memory while parsing it, so
// that a mail can be refused before GMime sees it: the bytes of its header blocks
// (the mail's own, those of its parts, those of forwarded mails), the lines that may
// start a MIME part ("--" at the start) and the Content-Type header lines. The
// counts err on the safe side: a line is never missed, some body lines may be taken
// for header lines.
class MailboxSplitter
{
public:
    struct Mail
    {
        qint64 Marker = -1;  // offset of the "From " line; -1 for a single mail
        qint64 Start = 0;    // first byte after it
        qint64 End = 0;      // the next mail's "From " line, or the end of the file
        qint64 HeaderBytes = 0;
        int PartLines = 0;   // lines beginning with "--"
        int TypeLines = 0;   // lines beginning with "Content-Type" (any letter case)
    };

    explicit MailboxSplitter(bool mailbox);

    // Told every mail as soon as its end is known, in file order.
    std::function<void(const Mail&)> mailDone;

    void feed(const char* data, qsizetype size);
    // The end of the file: the last mail is told.
    void finish();

    int mails() const { return m_mails; }

private:
    static constexpr int kPrefix = 128; // bytes of a line kept to recognise it

    void endLine();
    void closeMail(qint64 end);

    bool m_mailbox;
    bool m_inMail;
    qint64 m_offset = 0;    // of the current line's first byte
    qint64 m_lineBytes = 0; // so far, its LF included once seen
    char m_prefix[kPrefix] = {};
    int m_prefixBytes = 0;
    Mail m_mail;
    int m_mails = 0;

    // Header blocks: the mail's header, then one after every line that may be a part
    // boundary, and the next block again after a header that declares (or may
    // declare) a forwarded mail.
    bool m_inHeader = true;
    bool m_partHeader = false;    // the block began after a "--" line
    bool m_afterClosing = false;  // ... that looked like a closing one ("--b--")
    bool m_blockHasType = false;  // it has a Content-Type line
    bool m_blockNests = false;    // ... that is, or may be, message/*
};

#include "collect/MailboxSplitter.h"

#include <cstring>

namespace {

bool startsWithNoCase(const char* text, int size, const char* word)
{
    const int n = static_cast<int>(std::strlen(word));
    if (size < n)
        return false;
    for (int i = 0; i < n; ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != word[i])
            return false;
    }
    return true;
}

// Whether the kept start of a Content-Type line shows a type that nests a mail
// (message/...), or shows no type at all (folded onto the next line, or cut off).
bool mayNestMail(const char* line, int size, bool whole)
{
    int i = 12; // "content-type"
    while (i < size && (line[i] == ' ' || line[i] == '\t'))
        ++i;
    if (i < size && line[i] == ':')
        ++i;
    while (i < size && (line[i] == ' ' || line[i] == '\t'))
        ++i;
    int end = size;
    while (end > i && (line[end - 1] == '\n' || line[end - 1] == '\r' || line[end - 1] == ' ' ||
                       line[end - 1] == '\t'))
        --end;
    if (end <= i)
        return true; // the type is on a folded line
    if (!whole && end - i < 8)
        return true;
    return startsWithNoCase(line + i, end - i, "message/") || startsWithNoCase(line + i, end - i, "\"message/");
}

} // namespace

MailboxSplitter::MailboxSplitter(bool mailbox) : m_mailbox(mailbox), m_inMail(!mailbox)
{
    if (!mailbox)
        m_mail.Start = 0;
}

void MailboxSplitter::feed(const char* data, qsizetype size)
{
    qsizetype i = 0;
    while (i < size) {
        const void* found = std::memchr(data + i, '\n', static_cast<size_t>(size - i));
        const qsizetype end = found ? static_cast<const char*>(found) - data + 1 : size;
        const qsizetype keep = std::min<qsizetype>(kPrefix - m_prefixBytes, end - i);
        if (keep > 0) {
            std::memcpy(m_prefix + m_prefixBytes, data + i, static_cast<size_t>(keep));
            m_prefixBytes += static_cast<int>(keep);
        }
        m_lineBytes += end - i;
        i = end;
        if (found)
            endLine();
    }
}

void MailboxSplitter::finish()
{
    if (m_lineBytes > 0)
        endLine();
    if (m_inMail)
        closeMail(m_offset);
    m_inMail = false;
}

void MailboxSplitter::closeMail(qint64 end)
{
    m_mail.End = end;
    ++m_mails;
    if (mailDone)
        mailDone(m_mail);
}

void MailboxSplitter::endLine()
{
    const qint64 start = m_offset;
    const qint64 bytes = m_lineBytes;
    m_offset += m_lineBytes;
    m_lineBytes = 0;
    const int kept = m_prefixBytes;
    m_prefixBytes = 0;
    const bool whole = bytes <= kPrefix;

    if (m_mailbox && kept >= 5 && std::memcmp(m_prefix, "From ", 5) == 0) {
        if (m_inMail)
            closeMail(start);
        m_inMail = true;
        m_mail = Mail();
        m_mail.Marker = start;
        m_mail.Start = start + bytes;
        m_inHeader = true;
        m_partHeader = false;
        m_afterClosing = false;
        m_blockHasType = false;
        m_blockNests = false;
        return;
    }
    if (!m_inMail)
        return;

    const bool typeLine = startsWithNoCase(m_prefix, kept, "content-type");
    if (typeLine)
        ++m_mail.TypeLines;
    const bool dashLine = kept >= 2 && m_prefix[0] == '-' && m_prefix[1] == '-';
    if (dashLine)
        ++m_mail.PartLines;

    if (m_inHeader) {
        const bool empty = bytes <= 2 && (bytes == 0 || m_prefix[0] == '\n' ||
                                          (m_prefix[0] == '\r' && (bytes == 1 || m_prefix[1] == '\n')));
        if (!empty) {
            m_mail.HeaderBytes += bytes;
            if (typeLine) {
                m_blockHasType = true;
                m_blockNests = m_blockNests || mayNestMail(m_prefix, kept, whole);
            }
            return;
        }
        // A forwarded mail's header follows its part's header; so may one in a part
        // without a type (a digest's parts are mails).
        const bool nested = m_blockNests || (m_partHeader && !m_afterClosing && !m_blockHasType);
        m_inHeader = nested;
        m_partHeader = false;
        m_blockHasType = false;
        m_blockNests = false;
        return;
    }
    if (dashLine) {
        int end = kept;
        while (end > 2 && (m_prefix[end - 1] == '\n' || m_prefix[end - 1] == '\r' || m_prefix[end - 1] == ' ' ||
                           m_prefix[end - 1] == '\t'))
            --end;
        m_afterClosing = whole && end >= 4 && m_prefix[end - 1] == '-' && m_prefix[end - 2] == '-';
        m_inHeader = true;
        m_partHeader = true;
        m_blockHasType = false;
        m_blockNests = false;
    }
}

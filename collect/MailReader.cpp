#include "collect/MailReader.h"

#include "collect/CollectedReport.h"

#include <gmime/gmime.h>

#include <memory>

#include <unistd.h>

namespace MailReader {

namespace {

// GMime is set up once per process and left to the process's end.
void initGMime()
{
    static const bool done = [] {
        g_mime_init();
        return true;
    }();
    (void)done;
}

struct Unref
{
    void operator()(gpointer object) const
    {
        if (object)
            g_object_unref(object);
    }
};
template <typename T> using GPtr = std::unique_ptr<T, Unref>;

// Deeper nesting than this is no mail a teacher's program sends.
constexpr int kMaxNesting = 16;

class MailWalker
{
public:
    MailWalker(const QString& label, const Sink& sink) : m_label(label), m_sink(sink) {}

    void walk(GMimeObject* object, int depth)
    {
        if (!object || depth > kMaxNesting || m_found >= kMaxAttachmentsPerMail)
            return;
        if (GMIME_IS_MULTIPART(object)) {
            GMimeMultipart* multipart = GMIME_MULTIPART(object);
            const int count = g_mime_multipart_get_count(multipart);
            for (int i = 0; i < count; ++i)
                walk(g_mime_multipart_get_part(multipart, i), depth + 1);
        } else if (GMIME_IS_MESSAGE_PART(object)) {
            GMimeMessage* inner = g_mime_message_part_get_message(GMIME_MESSAGE_PART(object));
            if (inner)
                walk(g_mime_message_get_mime_part(inner), depth + 1);
        } else if (GMIME_IS_PART(object)) {
            take(GMIME_PART(object));
        }
    }

    int found() const { return m_found; }

private:
    void take(GMimePart* part)
    {
        const char* rawName = g_mime_part_get_filename(part);
        const QString name = rawName ? QString::fromUtf8(rawName) : QString();
        GMimeContentType* type = g_mime_object_get_content_type(GMIME_OBJECT(part));
        const bool xmlType = type && g_mime_content_type_is_type(type, "*", "xml");
        if (!name.endsWith(QLatin1String(".xml"), Qt::CaseInsensitive) && !xmlType)
            return;
        ++m_found;
        const QString source = m_label + QStringLiteral(": ") +
                               (name.isEmpty() ? QStringLiteral("załącznik %1").arg(m_found) : name);
        GMimeDataWrapper* content = g_mime_part_get_content(part);
        GMimeStream* encoded = content ? g_mime_data_wrapper_get_stream(content) : nullptr;
        if (!encoded) {
            m_sink.attachment(source, {}, QStringLiteral("załącznik jest pusty"));
            return;
        }
        // Every transfer encoding makes the data longer, never shorter, than it is
        // decoded: a bound on the encoded length bounds the decoded one.
        const gint64 length = g_mime_stream_length(encoded);
        if (length < 0 || length > 2 * kMaxReportBytes) {
            m_sink.attachment(source, {}, QStringLiteral("załącznik jest za duży na sprawozdanie"));
            return;
        }
        GPtr<GMimeStream> decoded(g_mime_stream_mem_new());
        if (g_mime_data_wrapper_write_to_stream(content, decoded.get()) < 0) {
            m_sink.attachment(source, {}, QStringLiteral("nie można odkodować załącznika"));
            return;
        }
        GByteArray* bytes = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(decoded.get()));
        m_sink.attachment(
            source,
            bytes ? QByteArray(reinterpret_cast<const char*>(bytes->data), static_cast<qsizetype>(bytes->len))
                  : QByteArray(),
            QString());
    }

    QString m_label;
    const Sink& m_sink;
    int m_found = 0;
};

void readMessage(GMimeMessage* message, const QString& label, const Sink& sink)
{
    MailWalker walker(label, sink);
    walker.walk(g_mime_message_get_mime_part(message), 0);
    if (sink.mailRead)
        sink.mailRead(walker.found());
}

GPtr<GMimeParser> parserOn(int fd, GMimeFormat format)
{
    initGMime();
    GPtr<GMimeStream> stream(g_mime_stream_fs_new(fd));
    GPtr<GMimeParser> parser(g_mime_parser_new_with_stream(stream.get()));
    g_mime_parser_set_format(parser.get(), format);
    return parser;
}

// The number (from 1) of the first mail of an mbox whose header runs past
// kMaxHeaderBytes, or 0. Only the headers are held in memory while GMime parses a
// mail, so this is the one part of a mailbox that a size check after parsing cannot
// bound. The pass reads the file in chunks and keeps no line: a mail starts with a
// "From " line at the top of the file or after an empty line, and its header ends at
// the next empty line.
int firstOverlongHeader(int fd)
{
    constexpr qsizetype kChunk = 64 * 1024;
    QByteArray chunk(kChunk, Qt::Uninitialized);
    int mail = 0;
    bool inHeader = false;
    bool lineStart = true, lineEmpty = true, previousEmpty = true;
    qint64 headerBytes = 0;
    QByteArray lineHead; // the first five bytes of the line, to find "From "
    off_t offset = 0;
    for (;;) {
        const ssize_t got = ::pread(fd, chunk.data(), size_t(kChunk), offset);
        if (got <= 0)
            return 0;
        offset += got;
        for (ssize_t i = 0; i < got; ++i) {
            const char c = chunk.at(i);
            if (lineStart) {
                lineHead.clear();
                lineEmpty = true;
                lineStart = false;
            }
            if (lineHead.size() < 5)
                lineHead.append(c);
            if (c == '\n') {
                const bool empty = lineEmpty;
                if (!inHeader && previousEmpty && lineHead.startsWith("From ")) {
                    ++mail;
                    inHeader = true;
                    headerBytes = 0;
                } else if (inHeader && empty) {
                    inHeader = false;
                }
                previousEmpty = empty;
                lineStart = true;
                continue;
            }
            if (c != '\r')
                lineEmpty = false;
            if (inHeader && ++headerBytes > kMaxHeaderBytes)
                return mail;
        }
    }
}

} // namespace

void ReadSingleMail(int fd, const QString& label, const Sink& sink)
{
    GPtr<GMimeParser> parser = parserOn(fd, GMIME_FORMAT_MESSAGE);
    GPtr<GMimeMessage> message(g_mime_parser_construct_message(parser.get(), nullptr));
    if (!message) {
        sink.damaged(label, QStringLiteral("to nie jest list w formacie MIME"));
        return;
    }
    readMessage(message.get(), label, sink);
}

void ReadMailbox(int fd, const QString& label, const Sink& sink)
{
    if (const int mail = firstOverlongHeader(fd)) {
        ::close(fd);
        sink.damaged(label, QStringLiteral("list nr %1 ma nagłówek dłuższy niż %2 MB; skrzynki nie odczytano")
                                .arg(mail)
                                .arg(kMaxHeaderBytes >> 20));
        return;
    }
    GPtr<GMimeParser> parser = parserOn(fd, GMIME_FORMAT_MBOX);
    int number = 0;
    while (!g_mime_parser_eos(parser.get())) {
        if (number >= kMaxMailboxMessages) {
            sink.damaged(
                label,
                QStringLiteral("skrzynka ma ponad %1 listów; dalsze pominięto").arg(kMaxMailboxMessages));
            return;
        }
        const gint64 start = g_mime_parser_tell(parser.get());
        GPtr<GMimeMessage> message(g_mime_parser_construct_message(parser.get(), nullptr));
        ++number;
        const QString mailLabel = label + u'#' + QString::number(number);
        if (!message) {
            if (number == 1)
                sink.damaged(label, QStringLiteral("to nie jest skrzynka pocztowa w formacie mbox"));
            else if (!g_mime_parser_eos(parser.get()))
                sink.damaged(mailLabel,
                             QStringLiteral("list jest nieczytelny; dalszą część skrzynki pominięto"));
            return;
        }
        // The parser keeps the parts' contents in the file, so a long mail costs only
        // its headers; it is still refused, as the single mails are.
        if (g_mime_parser_tell(parser.get()) - start > kMaxMailBytes) {
            sink.damaged(mailLabel,
                         QStringLiteral("list jest za duży (ponad %1 MB)").arg(kMaxMailBytes >> 20));
            continue;
        }
        readMessage(message.get(), mailLabel, sink);
    }
}

} // namespace MailReader

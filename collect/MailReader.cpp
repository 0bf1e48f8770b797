#include "collect/MailReader.h"

#include "collect/CollectedReport.h"
#include "collect/MailboxSplitter.h"

#include <gmime/gmime.h>

#include <cerrno>
#include <cstring>
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

// The parts of a parsed mail and how deep they nest, counted before anything is
// taken from it.
struct Shape
{
    int parts = 0;
    int depth = 0;
};

void measure(GMimeObject* object, int depth, Shape& shape)
{
    if (!object || shape.parts > kMaxMimeParts || shape.depth > kMaxMimeDepth)
        return;
    ++shape.parts;
    shape.depth = std::max(shape.depth, depth);
    if (GMIME_IS_MULTIPART(object)) {
        GMimeMultipart* multipart = GMIME_MULTIPART(object);
        const int count = g_mime_multipart_get_count(multipart);
        for (int i = 0; i < count; ++i)
            measure(g_mime_multipart_get_part(multipart, i), depth + 1, shape);
    } else if (GMIME_IS_MESSAGE_PART(object)) {
        GMimeMessage* inner = g_mime_message_part_get_message(GMIME_MESSAGE_PART(object));
        if (inner)
            measure(g_mime_message_get_mime_part(inner), depth + 1, shape);
    }
}

class MailWalker
{
public:
    MailWalker(const QString& label, const Sink& sink) : m_label(label), m_sink(sink) {}

    void walk(GMimeObject* object)
    {
        if (!object)
            return;
        if (GMIME_IS_MULTIPART(object)) {
            GMimeMultipart* multipart = GMIME_MULTIPART(object);
            const int count = g_mime_multipart_get_count(multipart);
            for (int i = 0; i < count; ++i)
                walk(g_mime_multipart_get_part(multipart, i));
        } else if (GMIME_IS_MESSAGE_PART(object)) {
            GMimeMessage* inner = g_mime_message_part_get_message(GMIME_MESSAGE_PART(object));
            if (inner)
                walk(g_mime_message_get_mime_part(inner));
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

// Why a mail is refused before GMime parses it; empty when it may be parsed.
QString refusal(const MailboxSplitter::Mail& mail)
{
    if (mail.End - mail.Start > kMaxMailBytes)
        return QStringLiteral("list jest za duży (ponad %1 MB)").arg(kMaxMailBytes >> 20);
    // Part boundaries first: the header count takes in the boundary lines as well,
    // so a flood of empty parts is named for what it is.
    if (mail.PartLines > kMaxPartLines)
        return QStringLiteral("list ma ponad %1 wierszy zaczynających się od „--” (granic części MIME)")
            .arg(kMaxPartLines);
    if (mail.HeaderBytes > kMaxHeaderBytes)
        return QStringLiteral("nagłówki listu mają razem ponad %1 MB").arg(kMaxHeaderBytes >> 20);
    if (mail.TypeLines > kMaxTypeLines)
        return QStringLiteral("list ma ponad %1 nagłówków Content-Type").arg(kMaxTypeLines);
    return QString();
}

// Parses one mail of the file (its bytes Start to End) and hands its reports on.
void readMail(GMimeStream* file, const MailboxSplitter::Mail& mail, const QString& label, const Sink& sink)
{
    const QString refused = refusal(mail);
    if (!refused.isEmpty()) {
        sink.damaged(label, refused);
        return;
    }
    if (mail.End <= mail.Start) {
        if (sink.mailRead)
            sink.mailRead(0);
        return;
    }
    GPtr<GMimeStream> part(g_mime_stream_substream(file, mail.Start, mail.End));
    GPtr<GMimeParser> parser(g_mime_parser_new_with_stream(part.get()));
    g_mime_parser_set_format(parser.get(), GMIME_FORMAT_MESSAGE);
    GPtr<GMimeMessage> message(g_mime_parser_construct_message(parser.get(), nullptr));
    if (!message) {
        sink.damaged(label, QStringLiteral("to nie jest list w formacie MIME"));
        return;
    }
    GMimeObject* body = g_mime_message_get_mime_part(message.get());
    Shape shape;
    measure(body, 0, shape);
    if (shape.parts > kMaxMimeParts) {
        sink.damaged(label, QStringLiteral("list ma ponad %1 części MIME").arg(kMaxMimeParts));
        return;
    }
    if (shape.depth > kMaxMimeDepth) {
        sink.damaged(label,
                     QStringLiteral("części listu są zagnieżdżone głębiej niż %1 poziomów").arg(kMaxMimeDepth));
        return;
    }
    MailWalker walker(label, sink);
    walker.walk(body);
    if (sink.mailRead)
        sink.mailRead(walker.found());
}

// Reads the whole file once in chunks; each mail is parsed as soon as its end is
// found, from the file itself (GMime keeps the parts' contents there).
void readFile(int fd, const QString& label, bool mailbox, const Sink& sink)
{
    initGMime();
    GPtr<GMimeStream> file(g_mime_stream_fs_new(fd)); // owns fd from here
    MailboxSplitter splitter(mailbox);
    bool stopped = false;
    splitter.mailDone = [&](const MailboxSplitter::Mail& mail) {
        if (stopped)
            return;
        if (!mailbox) {
            if (mail.End == 0)
                sink.damaged(label, QStringLiteral("plik jest pusty"));
            else
                readMail(file.get(), mail, label, sink);
            return;
        }
        if (splitter.mails() > kMaxMailboxMessages) {
            sink.damaged(label,
                         QStringLiteral("skrzynka ma ponad %1 listów; dalszych nie czytano").arg(kMaxMailboxMessages));
            stopped = true;
            return;
        }
        readMail(file.get(), mail, label + u'#' + QString::number(splitter.mails()), sink);
    };
    constexpr qsizetype kChunk = 1024 * 1024;
    QByteArray chunk(kChunk, Qt::Uninitialized);
    off_t offset = 0;
    for (;;) {
        const ssize_t got = ::pread(fd, chunk.data(), size_t(kChunk), offset);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            sink.damaged(label, QStringLiteral("błąd odczytu: %1").arg(QString::fromLocal8Bit(strerror(errno))));
            stopped = true;
            break;
        }
        if (got == 0 || stopped)
            break;
        offset += got;
        splitter.feed(chunk.constData(), got);
    }
    splitter.finish();
    if (mailbox && splitter.mails() == 0)
        sink.damaged(label, QStringLiteral("to nie jest skrzynka pocztowa w formacie mbox (brak wiersza „From ”)"));
}

} // namespace

void ReadSingleMail(int fd, const QString& label, const Sink& sink)
{
    readFile(fd, label, false, sink);
}

void ReadMailbox(int fd, const QString& label, const Sink& sink)
{
    readFile(fd, label, true, sink);
}

} // namespace MailReader

#include "collect/ImapBodyStructure.h"

#include <QMap>
#include <QString>

#include <gmime/gmime.h>

namespace {

constexpr int kMaxDepth = 32;

bool isXmlType(const QByteArray& type, const QByteArray& subtype)
{
    return subtype == "XML" || subtype.endsWith("+XML") || (type == "XML" && !subtype.isEmpty());
}

// The name parameters of one parameter list ("name", "filename", their RFC 2231
// sections), decoded.
bool namesEndWithXml(const ImapValue& params)
{
    if (!params.isList() || params.items.size() % 2 != 0)
        return false;
    struct Sections
    {
        QMap<int, QByteArray> parts;
        bool extended = false;
    };
    QMap<QByteArray, Sections> names;
    for (qsizetype i = 0; i + 1 < params.items.size(); i += 2) {
        const QByteArray key = params.items[i].upper();
        if (params.items[i + 1].kind != ImapValue::Kind::String &&
            params.items[i + 1].kind != ImapValue::Kind::Atom)
            continue;
        const qsizetype star = key.indexOf('*');
        const QByteArray base = star < 0 ? key : key.left(star);
        if (base != "NAME" && base != "FILENAME")
            continue;
        Sections& s = names[base];
        int section = 0;
        if (star >= 0) {
            QByteArray rest = key.mid(star + 1);
            if (rest.endsWith('*') || rest.isEmpty()) {
                s.extended = true;
                if (rest.endsWith('*'))
                    rest.chop(1);
            }
            bool ok = true;
            if (!rest.isEmpty())
                section = rest.toInt(&ok);
            if (!ok || section < 0 || section > 999)
                continue;
        }
        s.parts.insert(section, params.items[i + 1].text);
    }
    for (const Sections& s : std::as_const(names)) {
        if (DecodedParameter(s.parts.values(), s.extended).endsWith(QLatin1String(".xml"), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

bool carries(const ImapValue& body, int depth)
{
    if (!body.isList() || body.items.isEmpty() || depth > kMaxDepth)
        return false;
    if (body.items.first().isList()) {
        // A multipart: its parts (lists), then the subtype and extension data, which
        // read as no part of their own.
        for (const ImapValue& item : body.items) {
            if (item.isList() && carries(item, depth + 1))
                return true;
        }
        return false;
    }
    if (body.items.size() < 2)
        return false;
    const QByteArray type = body.items[0].upper();
    const QByteArray subtype = body.items[1].upper();
    if (isXmlType(type, subtype))
        return true;
    // The parameters, a disposition ("inline" (filename ...)) and, in a forwarded
    // mail, its own body structure.
    for (qsizetype i = 2; i < body.items.size(); ++i) {
        const ImapValue& item = body.items[i];
        if (!item.isList())
            continue;
        if (namesEndWithXml(item))
            return true;
        if (item.items.size() >= 2 && !item.items[0].isList() && namesEndWithXml(item.items[1]))
            return true;
        if (type == "MESSAGE" && carries(item, depth + 1))
            return true;
    }
    return false;
}

QByteArray percentDecoded(const QByteArray& text)
{
    return QByteArray::fromPercentEncoding(text);
}

} // namespace

QString DecodedParameter(const QList<QByteArray>& values, bool extended)
{
    QByteArray joined;
    for (const QByteArray& v : values)
        joined += v;
    if (extended) {
        // charset'language'value; only the first section carries the two.
        const qsizetype first = joined.indexOf('\'');
        const qsizetype second = first < 0 ? -1 : joined.indexOf('\'', first + 1);
        if (second >= 0)
            joined = joined.mid(second + 1);
        joined = percentDecoded(joined);
    }
    if (!joined.contains("=?"))
        return QString::fromUtf8(joined);
    static const bool ready = [] {
        g_mime_init();
        return true;
    }();
    (void)ready;
    char* decoded = g_mime_utils_header_decode_text(nullptr, joined.constData());
    const QString text = decoded ? QString::fromUtf8(decoded) : QString::fromUtf8(joined);
    g_free(decoded);
    return text;
}

bool CarriesXmlAttachment(const ImapValue& structure)
{
    return carries(structure, 0);
}

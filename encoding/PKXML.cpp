#include "encoding/PKXML.h"

#include "encoding/TextCodec.h"
#include "files/SafeFile.h"

#include <QFile>
#include <QFileInfo>
#include <QIODevice>

#include <algorithm>
#include <array>

namespace {

// Deeper nesting than this is refused (the load answers false) so that hostile input
// cannot exhaust the stack; the program's files are three levels deep.
constexpr int kMaxDepth = 256;

bool isXmlSpace(QChar c)
{
    const char16_t u = c.unicode();
    return u == u'\t' || u == u'\n' || u == u'\r' || u == u' ';
}

QChar upper(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80)
        return (u >= u'a' && u <= u'z') ? QChar(char16_t(u - 32)) : c;
    return c.toUpper();
}

// Leaves out leading and trailing characters with codes 32 and below.
QStringView trimmedView(QStringView text)
{
    qsizetype b = 0;
    qsizetype e = text.size();
    while (b < e && text[b].unicode() <= 32)
        ++b;
    while (e > b && text[e - 1].unicode() <= 32)
        --e;
    return text.mid(b, e - b);
}

QString trimmed(QStringView text)
{
    return trimmedView(text).toString();
}

// Reads UTF-16 text with a position and an end flag. The end flag is set as soon as a
// read or a scan needs a character beyond the last one, and stays set.
class Reader
{
public:
    explicit Reader(QStringView text) : m_text(text) {}

    bool atEnd() const { return m_end; }

    // One character, or a NUL (and the end flag) past the last one.
    QChar read()
    {
        if (m_pos >= m_text.size()) {
            m_end = true;
            m_lastConsumed = false;
            return QChar();
        }
        m_lastConsumed = true;
        return m_text[m_pos++];
    }

    // Steps back over the character that read() returned; a read past the end
    // consumed nothing, so there is nothing to step back over.
    void back()
    {
        if (m_lastConsumed)
            --m_pos;
        m_lastConsumed = false;
    }

    void backExact(qsizetype count) { m_pos = std::max<qsizetype>(0, m_pos - count); }

    void skip(qsizetype count)
    {
        m_pos += count;
        if (m_pos > m_text.size()) {
            m_pos = m_text.size();
            m_end = true;
        }
    }

    void skipSpace()
    {
        while (m_pos < m_text.size() && isXmlSpace(m_text[m_pos]))
            ++m_pos;
        if (m_pos >= m_text.size())
            m_end = true;
    }

    // Everything up to (not including) the first character for which `stop` holds.
    template <typename Stop> QStringView readUntil(Stop stop)
    {
        const qsizetype start = m_pos;
        while (m_pos < m_text.size() && !stop(m_text[m_pos]))
            ++m_pos;
        if (m_pos >= m_text.size())
            m_end = true;
        return m_text.mid(start, m_pos - start);
    }

    // Text up to `terminator`, which is consumed. Without a terminator the text is
    // empty and the rest of the input is consumed.
    QStringView readUntilTerminator(QStringView terminator)
    {
        const qsizetype found = m_text.indexOf(terminator, m_pos);
        if (found < 0) {
            m_pos = m_text.size();
            m_end = true;
            return {};
        }
        const QStringView text = m_text.mid(m_pos, found - m_pos);
        m_pos = found + terminator.size();
        return text;
    }

    // The next `count` characters, or nothing (with the end flag) when fewer remain.
    bool readExact(qsizetype count, QStringView* out)
    {
        if (m_text.size() - m_pos < count) {
            m_pos = m_text.size();
            m_end = true;
            return false;
        }
        *out = m_text.mid(m_pos, count);
        m_pos += count;
        return true;
    }

private:
    QStringView m_text;
    qsizetype m_pos = 0;
    bool m_end = false;
    bool m_lastConsumed = false;
};

enum class TagResult
{
    Failed,
    Open,
    SelfClosed,
    CDataSection
};

class Parser
{
public:
    explicit Parser(QStringView text) : m_in(text) {}

    bool content(TpkXMLNode& parent, int depth);
    // The input ran out while an element was still open.
    bool endedInsideElement() const { return m_endedInsideElement; }

private:
    TagResult tag(TpkXMLNode& node, TpkXMLNode& parent);
    bool attributes(TpkXMLNode& node, bool* selfClosed);
    // The data files repeat a few element names thousands of times ("Uczen1" in every
    // class): equal names share one string instead of each allocating its own.
    QString name(QStringView text);

    Reader m_in;
    std::array<QString, 512> m_names;
    bool m_endedInsideElement = false;
};

QString Parser::name(QStringView text)
{
    // A small direct-mapped cache: the length and the last two characters tell the
    // numbered names apart; a clash only costs a fresh string.
    const qsizetype n = text.size();
    const size_t slot =
        (size_t(n) * 31u + (n > 0 ? text[n - 1].unicode() : 0u) * 7u + (n > 1 ? text[n - 2].unicode() : 0u)) %
        m_names.size();
    QString& cached = m_names[slot];
    if (cached != text)
        cached = text.toString();
    return cached;
}

bool Parser::content(TpkXMLNode& parent, int depth)
{
    // Input that runs out inside an element (depth 0 is the invisible root) leaves
    // that element open, which is how a file cut short looks, also when the cut
    // falls inside a closing tag.
    const auto refuse = [&] {
        if (depth > 0 && m_in.atEnd())
            m_endedInsideElement = true;
        return false;
    };
    while (!m_in.atEnd()) {
        m_in.skipSpace();
        if (m_in.read() != u'<')
            return refuse();
        if (m_in.read() == u'/') {
            const QStringView name = m_in.readUntil([](QChar c) { return isXmlSpace(c) || c == u'>'; });
            m_in.skipSpace();
            if (m_in.read() != u'>')
                return refuse();
            return SameNameNoCase(name, parent.Name);
        }
        m_in.back();
        // Refused before the node exists, so that a tree kept from a refused load
        // never nests deeper than a load accepts.
        if (depth >= kMaxDepth)
            return false;
        auto node = std::make_unique<TpkXMLNode>();
        const TagResult result = tag(*node, parent);
        if (result == TagResult::Failed)
            return refuse();
        if (result != TagResult::CDataSection) {
            TpkXMLNode* child = parent.AddNode(std::move(node));
            if (result == TagResult::Open && !content(*child, depth + 1))
                return refuse();
        }
        m_in.skipSpace();
    }
    if (depth > 0)
        m_endedInsideElement = true;
    return true;
}

TagResult Parser::tag(TpkXMLNode& node, TpkXMLNode& parent)
{
    bool selfClosed = false;
    const QChar first = m_in.read();
    if (first == u'!') {
        QStringView seven;
        if (!m_in.readExact(7, &seven))
            return TagResult::Failed;
        if (seven.compare(u"[CDATA[", Qt::CaseInsensitive) == 0) {
            parent.CData = m_in.readUntilTerminator(u"]]>").toString();
            return TagResult::CDataSection;
        }
        // Any other "<!" construct is read as a comment.
        m_in.backExact(7);
        node.Kind = nkComment;
        m_in.skip(2);
        node.Value = trimmed(m_in.readUntilTerminator(u"-->"));
        return TagResult::SelfClosed;
    }
    if (first == u'?') {
        node.Kind = nkInstruction;
        selfClosed = true;
    } else {
        m_in.back();
    }

    const QStringView name = m_in.readUntil([](QChar c) { return isXmlSpace(c) || c == u'/' || c == u'>'; });
    m_in.skipSpace();
    const QChar c = m_in.read();
    if (c == u'/') {
        if (m_in.read() != u'>')
            return TagResult::Failed;
        selfClosed = true;
    } else if (c != u'>') {
        m_in.back();
    }
    if (name.isEmpty())
        return TagResult::Failed;
    node.Name = this->name(name);

    if (c != u'>' && c != u'/' && !attributes(node, &selfClosed))
        return TagResult::Failed;

    // Text runs up to the next "<", even after a self-closed tag.
    m_in.skipSpace();
    node.Value = XMLUnescape(trimmed(m_in.readUntil([](QChar ch) { return ch == u'<'; })));
    return selfClosed ? TagResult::SelfClosed : TagResult::Open;
}

bool Parser::attributes(TpkXMLNode& node, bool* selfClosed)
{
    while (!m_in.atEnd()) {
        m_in.skipSpace();
        const QChar c = m_in.read();
        if (c == u'/') {
            if (m_in.read() != u'>')
                return false;
            *selfClosed = true;
            return true;
        }
        if (c == u'>')
            return true;
        m_in.back();
        const QStringView name =
            m_in.readUntil([](QChar ch) { return isXmlSpace(ch) || ch == u'=' || ch == u'>'; });
        if (node.Kind == nkInstruction && name == u"?")
            return m_in.read() == u'>';
        m_in.skipSpace();
        if (m_in.read() != u'=')
            return false;
        m_in.skipSpace();
        if (m_in.read() != u'"')
            return false;
        const QStringView value = m_in.readUntil([](QChar ch) { return ch == u'"'; });
        if (m_in.read() != u'"')
            return false;
        node.Attrs.Add(TpkXMLAttr(this->name(trimmedView(name)), XMLUnescape(value.toString())));
    }
    return true;
}

void writeNode(const TpkXMLNode& node, const QString& indent, const QString& unit, QString& out)
{
    static const QString crlf = QStringLiteral("\r\n");
    if (node.Kind == nkComment) {
        out += indent + QStringLiteral("<!-- ") + node.Value + QStringLiteral(" -->") + crlf;
        return;
    }
    const bool hasBlock = node.NodeCount() > 0 || !node.CData.isEmpty();
    const bool empty = node.Value.isEmpty() && !hasBlock;
    const bool instruction = node.Kind == nkInstruction;

    out += indent;
    out += instruction ? QStringLiteral("<?") : QStringLiteral("<");
    out += node.Name;
    for (int i = 0; i < node.Attrs.Count(); ++i) {
        const TpkXMLAttr* a = node.Attrs.Get(i);
        out += QLatin1Char(' ');
        out += a->Name;
        out += QStringLiteral("=\"");
        out += XMLEscape(a->Value);
        out += QLatin1Char('"');
    }
    if (instruction)
        out += QStringLiteral("?>");
    else
        out += empty ? QStringLiteral("/>") : QStringLiteral(">");
    out += XMLEscape(node.Value);
    if (hasBlock) {
        out += crlf;
        const QString inner = indent + unit;
        if (!node.CData.isEmpty())
            out += inner + QStringLiteral("<![CDATA[") + node.CData + QStringLiteral("]]>") + crlf;
        for (int i = 0; i < node.NodeCount(); ++i)
            writeNode(*node.GetNode(i), inner, unit, out);
        if (node.NodeCount() > 0)
            out += indent;
    }
    if (!instruction && !empty)
        out += QStringLiteral("</") + node.Name + QLatin1Char('>');
    out += crlf;
}

} // namespace

bool SameNameNoCase(QStringView a, QStringView b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (a[i] != b[i] && upper(a[i]) != upper(b[i]))
            return false;
    }
    return true;
}

QString ReplaceAllNoCase(const QString& text, const QString& pattern, const QString& replacement)
{
    if (pattern.isEmpty())
        return text;
    QString out;
    qsizetype from = 0;
    const QStringView view(text);
    while (from <= text.size() - pattern.size()) {
        qsizetype at = from;
        const qsizetype last = text.size() - pattern.size();
        while (at <= last && !SameNameNoCase(view.mid(at, pattern.size()), pattern))
            ++at;
        if (at > last)
            break;
        out += view.mid(from, at - from);
        out += replacement;
        from = at + pattern.size();
    }
    if (from == 0)
        return text;
    out += view.mid(from);
    return out;
}

QString XMLEscape(const QString& text)
{
    const auto special = [](QChar c) { return c == u'&' || c == u'<' || c == u'>' || c == u'"'; };
    if (std::none_of(text.cbegin(), text.cend(), special))
        return text;
    QString s = ReplaceAllNoCase(text, QStringLiteral("&"), QStringLiteral("&amp;"));
    s = ReplaceAllNoCase(s, QStringLiteral("<"), QStringLiteral("&lt;"));
    s = ReplaceAllNoCase(s, QStringLiteral(">"), QStringLiteral("&gt;"));
    return ReplaceAllNoCase(s, QStringLiteral("\""), QStringLiteral("&quot;"));
}

QString XMLUnescape(const QString& text)
{
    if (!text.contains(u'&'))
        return text;
    QString s = ReplaceAllNoCase(text, QStringLiteral("&quot;"), QStringLiteral("\""));
    s = ReplaceAllNoCase(s, QStringLiteral("&gt;"), QStringLiteral(">"));
    s = ReplaceAllNoCase(s, QStringLiteral("&lt;"), QStringLiteral("<"));
    return ReplaceAllNoCase(s, QStringLiteral("&amp;"), QStringLiteral("&"));
}

TpkXMLAttr* TpkXMLAttrs::Get(int index)
{
    return index >= 0 && index < Count() ? &m_items[static_cast<size_t>(index)] : nullptr;
}

const TpkXMLAttr* TpkXMLAttrs::Get(int index) const
{
    return index >= 0 && index < Count() ? &m_items[static_cast<size_t>(index)] : nullptr;
}

TpkXMLNode* TpkXMLNode::FindNode(const QString& name, bool create)
{
    for (const auto& child : m_nodes) {
        if (SameNameNoCase(child->Name, name))
            return child.get();
    }
    if (!create)
        return nullptr;
    return AddNode(std::make_unique<TpkXMLNode>(name));
}

const TpkXMLNode* TpkXMLNode::FindNode(QStringView name) const
{
    for (const auto& child : m_nodes) {
        if (SameNameNoCase(child->Name, name))
            return child.get();
    }
    return nullptr;
}

TpkXMLNode* TpkXMLNode::AddNode(std::unique_ptr<TpkXMLNode> node)
{
    m_nodes.push_back(std::move(node));
    return m_nodes.back().get();
}

TpkXMLNode* TpkXMLNode::GetNode(int index) const
{
    return index >= 0 && index < NodeCount() ? m_nodes[static_cast<size_t>(index)].get() : nullptr;
}

bool TpkXML::LoadFromFile(const QString& fileName)
{
    Root.ClearNodes();
    // The school's files are a few megabytes; the bound keeps a hostile one from
    // taking all memory. A link or anything but a regular file is not read.
    QByteArray bytes;
    if (!SafeFile::Read(fileName, 64 * 1024 * 1024, &bytes) || bytes.isEmpty())
        return false;
    return LoadFromBuffer(bytes);
}

bool TpkXML::LoadFromStream(QIODevice& stream)
{
    Root.ClearNodes();
    const TpkXMLBuf bytes = stream.readAll();
    if (bytes.size() < 1)
        return false;
    return LoadFromBuffer(bytes);
}

bool TpkXML::LoadFromBuffer(QByteArrayView bytes)
{
    Root.ClearNodes();
    EndedInsideElement = false;
    if (bytes.size() < 2)
        return false;
    QString text;
    if (static_cast<unsigned char>(bytes[0]) == 0xFF && static_cast<unsigned char>(bytes[1]) == 0xFE) {
        Unicode = true;
        const qsizetype units = (bytes.size() - 2) / 2;
        text.resize(units);
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.data()) + 2;
        for (qsizetype i = 0; i < units; ++i)
            text[i] = QChar(char16_t(p[2 * i] | (p[2 * i + 1] << 8)));
    } else {
        Unicode = false;
        text = TextCodec::fromCp1250(bytes);
    }
    Parser parser(text);
    const bool wellFormed = parser.content(Root, 0);
    EndedInsideElement = parser.endedInsideElement();
    return wellFormed;
}

QString TpkXML::GetXMLText() const
{
    QString out;
    for (int i = 0; i < Root.NodeCount(); ++i)
        writeNode(*Root.GetNode(i), QString(), IndentUnit, out);
    return out;
}

bool TpkXML::SaveToStream(QIODevice& stream) const
{
    const QString text = GetXMLText();
    if (text.isEmpty())
        return true;
    QByteArray bytes;
    if (Unicode) {
        bytes.reserve(2 + text.size() * 2);
        bytes.append('\xFF').append('\xFE');
        for (QChar c : text) {
            bytes.append(static_cast<char>(c.unicode() & 0xFF));
            bytes.append(static_cast<char>(c.unicode() >> 8));
        }
    } else {
        bytes = TextCodec::toCp1250(text);
    }
    return stream.write(bytes) == bytes.size();
}

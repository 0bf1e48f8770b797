#include "collect/ImapResponse.h"

#include <QRegularExpression>

QByteArray ImapValue::upper() const
{
    return kind == Kind::Atom || kind == Kind::String ? text.toUpper() : QByteArray();
}

namespace {

class Reader
{
public:
    explicit Reader(const QByteArray& s) : m_s(s) {}

    bool atEnd() const { return m_pos >= m_s.size(); }
    qsizetype pos() const { return m_pos; }
    char peek() const { return atEnd() ? '\0' : m_s.at(m_pos); }
    bool startsWith(const char* text) const
    {
        return m_pos <= m_s.size() && QByteArrayView(m_s).sliced(m_pos).startsWith(QByteArrayView(text));
    }

    // The rest of the current line without its end, the reader put after it. A
    // literal announced at the end of the line is skipped with the line it belongs
    // to; false when the stream ends inside it.
    bool skipLine(QByteArray* text = nullptr)
    {
        for (;;) {
            const qsizetype end = m_s.indexOf('\n', m_pos);
            if (end < 0) {
                m_pos = m_s.size();
                return false;
            }
            QByteArray line = m_s.mid(m_pos, end - m_pos);
            if (line.endsWith('\r'))
                line.chop(1);
            if (text)
                *text += line;
            m_pos = end + 1;
            const qint64 literal = announcedLiteral(line);
            if (literal < 0)
                return true;
            if (m_s.size() - m_pos < literal)
                return false;
            m_pos += literal;
        }
    }

    // One value at the reader; false on malformed input.
    bool value(ImapValue* out, int depth)
    {
        if (depth > ImapResponse::kMaxNesting)
            return false;
        const char c = peek();
        if (c == '(') {
            ++m_pos;
            out->kind = ImapValue::Kind::List;
            for (;;) {
                while (peek() == ' ')
                    ++m_pos;
                if (peek() == ')') {
                    ++m_pos;
                    return true;
                }
                if (atEnd() || peek() == '\r' || peek() == '\n')
                    return false;
                ImapValue item;
                if (!value(&item, depth + 1))
                    return false;
                out->items.append(std::move(item));
            }
        }
        if (c == '"') {
            ++m_pos;
            out->kind = ImapValue::Kind::String;
            while (!atEnd()) {
                const char d = m_s.at(m_pos++);
                if (d == '"')
                    return true;
                if (d == '\r' || d == '\n')
                    return false;
                if (d == '\\') {
                    if (atEnd())
                        return false;
                    out->text.append(m_s.at(m_pos++));
                } else {
                    out->text.append(d);
                }
            }
            return false;
        }
        if (c == '{') {
            const qsizetype close = m_s.indexOf('}', m_pos);
            if (close < 0 || close - m_pos > 24)
                return false;
            QByteArray digits = m_s.mid(m_pos + 1, close - m_pos - 1);
            if (digits.endsWith('+'))
                digits.chop(1);
            bool ok = false;
            const qint64 length = digits.toLongLong(&ok);
            if (!ok || length < 0)
                return false;
            m_pos = close + 1;
            if (startsWith("\r\n"))
                m_pos += 2;
            else if (peek() == '\n')
                m_pos += 1;
            else
                return false;
            if (m_s.size() - m_pos < length)
                return false;
            out->kind = ImapValue::Kind::String;
            out->text = m_s.mid(m_pos, qsizetype(length));
            m_pos += qsizetype(length);
            return true;
        }
        // An atom, a number, NIL, or a fetch item name such as BODY[] or
        // BODY[HEADER.FIELDS (A B)]<0>.
        const qsizetype start = m_pos;
        int brackets = 0;
        while (!atEnd()) {
            const char d = peek();
            if (d == '[')
                ++brackets;
            else if (d == ']')
                --brackets;
            else if (d == '\r' || d == '\n' || d == '"' || d == '{')
                break;
            else if (brackets <= 0 && (d == ' ' || d == '(' || d == ')'))
                break;
            ++m_pos;
        }
        if (m_pos == start)
            return false;
        out->text = m_s.mid(start, m_pos - start);
        out->kind = out->text.toUpper() == "NIL" ? ImapValue::Kind::Nil : ImapValue::Kind::Atom;
        if (out->kind == ImapValue::Kind::Nil)
            out->text.clear();
        return true;
    }

    bool lineEnd()
    {
        if (startsWith("\r\n")) {
            m_pos += 2;
            return true;
        }
        if (peek() == '\n') {
            ++m_pos;
            return true;
        }
        return false;
    }

    void advance(qsizetype n) { m_pos += n; }

    // "{123}" or "{123+}" at the end of a line: the literal's length, else -1.
    static qint64 announcedLiteral(const QByteArray& line)
    {
        if (!line.endsWith('}'))
            return -1;
        const qsizetype open = line.lastIndexOf('{');
        if (open < 0)
            return -1;
        QByteArray digits = line.mid(open + 1, line.size() - open - 2);
        if (digits.endsWith('+'))
            digits.chop(1);
        bool ok = false;
        const qint64 n = digits.toLongLong(&ok);
        return ok && n >= 0 ? n : -1;
    }

private:
    const QByteArray& m_s;
    qsizetype m_pos = 0;
};

bool parseFetch(const ImapValue& list, ImapFetch* fetch)
{
    if (!list.isList() || list.items.size() % 2 != 0)
        return false;
    for (qsizetype i = 0; i + 1 < list.items.size(); i += 2) {
        const QByteArray name = list.items[i].upper();
        const ImapValue& v = list.items[i + 1];
        bool ok = true;
        if (name == "UID")
            fetch->uid = v.text.toLongLong(&ok);
        else if (name == "RFC822.SIZE")
            fetch->size = v.text.toLongLong(&ok);
        else if (name == "BODYSTRUCTURE") {
            fetch->hasStructure = true;
            fetch->structure = v;
        } else if (name == "BODY[]") {
            fetch->hasBody = v.kind == ImapValue::Kind::String;
            fetch->body = v.text;
        }
        if (!ok)
            return false;
    }
    return true;
}

} // namespace

bool ImapResponse::parse(const QByteArray& stream, QString* error)
{
    static const QRegularExpression numberThenWord(QStringLiteral("^(\\d+) ([A-Za-z]+)"));
    auto fail = [&](const QString& why) {
        *error = why;
        return false;
    };
    Reader r(stream);
    bool completed = false;
    while (!r.atEnd()) {
        if (r.startsWith("* ")) {
            completed = false;
            r.advance(2);
            // "n FETCH (...)" is read value by value; everything else as a line.
            const qsizetype start = r.pos();
            const QByteArray head = stream.mid(start, 40);
            const QRegularExpressionMatch m = numberThenWord.match(QString::fromLatin1(head));
            if (m.hasMatch() && m.captured(2).toUpper() == u"FETCH") {
                r.advance(m.capturedLength(0));
                if (r.peek() != ' ')
                    return fail(QStringLiteral("nieczytelna odpowiedź FETCH serwera"));
                r.advance(1);
                ImapValue items;
                ImapFetch fetch;
                if (!r.value(&items, 0) || !parseFetch(items, &fetch) || !r.lineEnd())
                    return fail(r.atEnd() ? QStringLiteral("odpowiedź serwera urwała się w połowie")
                                          : QStringLiteral("nieczytelna odpowiedź FETCH serwera"));
                fetches.append(std::move(fetch));
                continue;
            }
            QByteArray line;
            if (!r.skipLine(&line))
                return fail(QStringLiteral("odpowiedź serwera urwała się w połowie"));
            if (m.hasMatch() && m.captured(2).toUpper() == u"EXISTS") {
                exists = m.captured(1).toLongLong();
            } else if (line.toUpper().startsWith("SEARCH")) {
                const QList<QByteArray> words = line.mid(6).simplified().split(' ');
                for (const QByteArray& w : words) {
                    if (w.isEmpty())
                        continue;
                    bool ok = false;
                    const qint64 uid = w.toLongLong(&ok);
                    if (!ok || uid <= 0)
                        return fail(QStringLiteral("nieczytelna odpowiedź SEARCH serwera"));
                    searchUids.append(uid);
                }
            } else if (line.toUpper().startsWith("OK [UIDVALIDITY ")) {
                bool ok = false;
                const QByteArray rest = line.mid(16);
                uidValidity = rest.left(rest.indexOf(']')).toLongLong(&ok);
                if (!ok || uidValidity <= 0)
                    return fail(QStringLiteral("nieczytelna wartość UIDVALIDITY"));
            }
            continue;
        }
        // A tagged completion or a continuation; the command's own completion is the
        // last line the server sent.
        QByteArray line;
        if (!r.skipLine(&line))
            return fail(QStringLiteral("odpowiedź serwera urwała się w połowie"));
        const QList<QByteArray> words = line.split(' ');
        completed = words.size() >= 2 && words[1].toUpper() == "OK" && !line.startsWith('+');
        readOnly = completed && line.toUpper().contains("[READ-ONLY]");
        if (!completed && words.size() >= 2 && (words[1].toUpper() == "NO" || words[1].toUpper() == "BAD") &&
            r.atEnd())
            return fail(QStringLiteral("serwer odmówił: %1").arg(QString::fromUtf8(line.left(200))));
    }
    if (!completed)
        return fail(QStringLiteral("odpowiedź serwera urwała się w połowie"));
    return true;
}

#include "protocol/HeaderEncoding.h"

#include "encoding/TextCodec.h"

namespace HeaderEncoding {

namespace {

const QByteArray kWordStart = QByteArrayLiteral("=?ISO-8859-2?Q?");
const QByteArray kWordEnd = QByteArrayLiteral("?=");
constexpr int kMaxWordLength = 75;

bool isAsciiPrintable(const QString& text)
{
    for (QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() > 0x7E)
            return false;
    }
    return true;
}

// Characters that may stand for themselves in a Q-encoded word anywhere in a header
// (RFC 2047, section 5, rule 3).
bool isQLiteral(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '!' ||
           c == '*' || c == '+' || c == '-' || c == '/';
}

QByteArray qEncodeByte(unsigned char c)
{
    if (c == ' ')
        return QByteArrayLiteral("_");
    if (isQLiteral(c))
        return QByteArray(1, char(c));
    static const char hex[] = "0123456789ABCDEF";
    QByteArray out("=");
    out.append(hex[c >> 4]);
    out.append(hex[c & 0x0F]);
    return out;
}

// Encoded words for any text, each line after the first holding one word behind a
// folding blank.
QByteArray encodeWords(const QString& clean, int used)
{
    const QByteArray bytes = TextCodec::toIso88592(clean);
    const int frame = int(kWordStart.size() + kWordEnd.size());
    // The first word shares its line with what stands before it; every later one has
    // a line of its own after the folding blank. A word always holds one character.
    const int laterRoom = kMaxWordLength - frame;
    const int firstRoom = qBound(3, kMaxEncodedLine - used - frame, laterRoom);
    QByteArray out;
    QByteArray word;
    auto flush = [&] {
        if (word.isEmpty())
            return;
        if (!out.isEmpty())
            out += "\r\n ";
        out += kWordStart + word + kWordEnd;
        word.clear();
    };
    for (char ch : bytes) {
        const QByteArray piece = qEncodeByte(static_cast<unsigned char>(ch));
        const int room = out.isEmpty() ? firstRoom : laterRoom;
        if (word.size() + piece.size() > room)
            flush();
        word += piece;
    }
    flush();
    return out;
}

// Plain ASCII folded before a run of blanks wherever the line would pass kMaxLine.
// Empty when some word cannot be brought under the limit that way.
QByteArray foldPlain(const QByteArray& text, int used)
{
    QByteArray out;
    qsizetype lineLength = used;
    bool lineHasText = false;
    qsizetype i = 0;
    while (i < text.size()) {
        // One piece: the blanks before a word and the word.
        qsizetype end = i;
        while (end < text.size() && text.at(end) == ' ')
            ++end;
        while (end < text.size() && text.at(end) != ' ')
            ++end;
        const QByteArray piece = text.mid(i, end - i);
        const bool startsWithBlank = piece.startsWith(' ');
        if (lineHasText && startsWithBlank && lineLength + piece.size() > kMaxLine) {
            out += "\r\n";
            lineLength = 0;
        }
        out += piece;
        lineLength += piece.size();
        lineHasText = true;
        if (lineLength > kMaxLine)
            return {};
        i = end;
    }
    return out;
}

} // namespace

QString withoutControls(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        const ushort u = c.unicode();
        if (u < 0x20 || (u >= 0x7F && u <= 0x9F))
            continue;
        out += c;
    }
    return out;
}

QString withoutLineBreaks(const QString& text)
{
    QString out = text;
    for (QChar& c : out) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            c = QLatin1Char(' ');
    }
    return out;
}

QByteArray encodeText(const QString& text, int used)
{
    const QString clean = withoutControls(text);
    if (isAsciiPrintable(clean)) {
        const QByteArray folded = foldPlain(clean.toLatin1(), used);
        if (!folded.isEmpty() || clean.isEmpty())
            return folded;
    }
    return encodeWords(clean, used);
}

QByteArray encodePhrase(const QString& name, int used)
{
    const QString clean = withoutControls(name).trimmed();
    if (!isAsciiPrintable(clean))
        return encodeWords(clean, used);
    static const QString specials = QStringLiteral("()<>[]:;@\\,.\"");
    bool needsQuotes = false;
    for (QChar c : clean) {
        if (specials.contains(c))
            needsQuotes = true;
    }
    if (!needsQuotes && used + clean.size() <= kMaxLine)
        return clean.toLatin1();
    QByteArray out("\"");
    for (QChar c : clean) {
        if (c == QLatin1Char('"') || c == QLatin1Char('\\'))
            out += '\\';
        out += char(c.unicode());
    }
    out += '"';
    // A name too long for its line goes as encoded words, which fold anywhere.
    if (used + out.size() > kMaxLine)
        return encodeWords(clean, used);
    return out;
}

bool isPlainAddress(const QString& address)
{
    if (address.isEmpty() || address.size() > kMaxAddressLength || address.count(QLatin1Char('@')) != 1 || address.startsWith(QLatin1Char('@')) ||
        address.endsWith(QLatin1Char('@')))
        return false;
    for (QChar c : address) {
        const ushort u = c.unicode();
        if (u <= 0x20 || u >= 0x7F || c == QLatin1Char('<') || c == QLatin1Char('>') ||
            c == QLatin1Char(',') || c == QLatin1Char('"') || c == QLatin1Char('(') || c == QLatin1Char(')'))
            return false;
    }
    return true;
}

bool splitAddressList(const QString& list, QStringList* addresses, QString* error)
{
    QStringList out;
    for (const QString& rawEntry : list.split(QLatin1Char(','))) {
        QString entry = rawEntry.trimmed();
        if (entry.isEmpty())
            continue;
        if (withoutLineBreaks(entry) != entry) {
            if (error)
                *error = QStringLiteral("Nieprawidłowy adres pocztowy: „%1”.").arg(withoutLineBreaks(entry));
            return false;
        }
        const qsizetype open = entry.lastIndexOf(QLatin1Char('<'));
        if (open >= 0 && entry.endsWith(QLatin1Char('>')))
            entry = entry.mid(open + 1, entry.size() - open - 2).trimmed();
        if (!isPlainAddress(entry)) {
            if (error)
                *error = QStringLiteral("Nieprawidłowy adres pocztowy: „%1”.")
                             .arg(withoutLineBreaks(rawEntry.trimmed()));
            return false;
        }
        out << entry;
    }
    if (out.isEmpty()) {
        if (error)
            *error = QStringLiteral("Brak adresu odbiorcy.");
        return false;
    }
    if (addresses)
        *addresses = out;
    return true;
}

} // namespace HeaderEncoding

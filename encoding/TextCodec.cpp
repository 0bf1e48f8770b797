#include "encoding/TextCodec.h"

#include <QHash>
#include <QStringDecoder>

#include <array>

namespace TextCodec {
namespace {

// One table per code page, built once from the toolkit's own converter: byte to
// character for decoding and the reverse map for encoding.
struct Table
{
    std::array<char16_t, 256> toUnicode{};
    QHash<char16_t, char> fromUnicode;
};

Table buildTable(const char* name)
{
    Table t;
    for (int b = 0; b < 256; ++b) {
        QStringDecoder decoder(name, QStringConverter::Flag::Stateless);
        const char byte = static_cast<char>(b);
        const QString s = decoder(QByteArrayView(&byte, 1));
        char16_t ch = 0xFFFD;
        if (!decoder.hasError() && s.size() == 1)
            ch = s.at(0).unicode();
        else if (b < 0x80)
            ch = static_cast<char16_t>(b);
        t.toUnicode[static_cast<size_t>(b)] = ch;
        if (ch != 0xFFFD && !t.fromUnicode.contains(ch))
            t.fromUnicode.insert(ch, byte);
    }
    return t;
}

const Table& table(CodePage page)
{
    static const Table cp1250 = buildTable("windows-1250");
    static const Table iso88592 = buildTable("ISO-8859-2");
    return page == CodePage::Windows1250 ? cp1250 : iso88592;
}

} // namespace

QByteArray encode(QStringView text, CodePage page)
{
    const Table& t = table(page);
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1].unicode())) {
            ++i; // a character outside the BMP is one character, one "?"
            out.append('?');
            continue;
        }
        const auto it = t.fromUnicode.constFind(c);
        out.append(it == t.fromUnicode.constEnd() ? '?' : it.value());
    }
    return out;
}

QString decode(QByteArrayView bytes, CodePage page)
{
    const Table& t = table(page);
    // Both code pages agree with ASCII below 0x80: widen everything at once, then
    // look up only the bytes above.
    QString out = QString::fromLatin1(bytes.data(), bytes.size());
    QChar* d = out.data();
    for (qsizetype i = 0; i < out.size(); ++i) {
        const char16_t u = d[i].unicode();
        if (u >= 0x80)
            d[i] = QChar(t.toUnicode[u]);
    }
    return out;
}

bool canEncode(QStringView text, CodePage page, QString* offending)
{
    const Table& t = table(page);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size()) {
            if (offending)
                *offending = text.mid(i, 2).toString();
            return false;
        }
        if (!t.fromUnicode.contains(c)) {
            if (offending)
                *offending = QString(QChar(c));
            return false;
        }
    }
    return true;
}

} // namespace TextCodec

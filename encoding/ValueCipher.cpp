#include "encoding/ValueCipher.h"

#include "encoding/PassPhraseDigest.h"
#include "encoding/PiWords.h"
#include "encoding/TextCodec.h"
#include "encoding/ValueBase64.h"

#include <QtEndian>

namespace {

constexpr char passPhrase[] = "Trelomandrix 1987 Pelikany";
constexpr int keyLength = 16;

} // namespace

ValueCipher::ValueCipher(QByteArrayView key)
{
    for (int i = 0; i < 18; ++i)
        m_p[i] = PiWords::words[i];
    for (int box = 0; box < 4; ++box)
        for (int i = 0; i < 256; ++i)
            m_s[box][i] = PiWords::words[18 + 256 * box + i];

    qsizetype at = 0;
    for (quint32& p : m_p) {
        quint32 word = 0;
        for (int n = 0; n < 4; ++n) {
            const uchar b = key.isEmpty() ? 0 : static_cast<uchar>(key[at]);
            at = key.isEmpty() ? 0 : (at + 1) % key.size();
            word = (word << 8) | b;
        }
        p ^= word;
    }

    quint32 left = 0, right = 0;
    for (int i = 0; i < 18; i += 2) {
        encryptBlock(left, right);
        m_p[i] = left;
        m_p[i + 1] = right;
    }
    for (auto& box : m_s) {
        for (int i = 0; i < 256; i += 2) {
            encryptBlock(left, right);
            box[i] = left;
            box[i + 1] = right;
        }
    }
}

ValueCipher ValueCipher::fromPassPhrase()
{
    const QByteArrayView phrase(passPhrase, sizeof passPhrase - 1);
    // Every key length is a run of its own; only the 16-byte key is used.
    QByteArray key;
    for (const int length : {8, 16, 24, 32}) {
        QByteArray derived = PassPhraseDigest::derive(phrase, length);
        if (length == keyLength)
            key = std::move(derived);
    }
    return ValueCipher(key);
}

const ValueCipher& ValueCipher::shared()
{
    // The key depends only on the built-in phrase, so one derivation serves the whole run.
    static const ValueCipher cipher = fromPassPhrase();
    return cipher;
}

quint32 ValueCipher::roundFunction(quint32 x) const
{
    return ((m_s[0][x >> 24] + m_s[1][(x >> 16) & 0xFF]) ^ m_s[2][(x >> 8) & 0xFF]) + m_s[3][x & 0xFF];
}

// Every round takes its function value from the block as it stood before the first
// round, so the two values are computed once.
void ValueCipher::encryptBlock(quint32& left, quint32& right) const
{
    const quint32 fLeft = roundFunction(left);
    const quint32 fRight = roundFunction(right);
    left ^= m_p[0];
    for (int i = 1; i <= 15; i += 2) {
        right ^= m_p[i] ^ fLeft;
        left ^= m_p[i + 1] ^ fRight;
    }
    right ^= m_p[17];
}

void ValueCipher::decryptBlock(quint32& left, quint32& right) const
{
    const quint32 fLeft = roundFunction(left);
    const quint32 fRight = roundFunction(right);
    right ^= m_p[17];
    for (int i = 16; i >= 2; i -= 2) {
        left ^= m_p[i] ^ fRight;
        right ^= m_p[i - 1] ^ fLeft;
    }
    left ^= m_p[0];
}

QByteArray ValueCipher::encrypt(QByteArrayView plain) const
{
    const qsizetype whole = plain.size() / BlockSize;
    const qsizetype rest = plain.size() % BlockSize;
    QByteArray out(plain.toByteArray());
    out.append(BlockSize - rest, '\0');
    out[out.size() - 1] = static_cast<char>(rest);
    uchar* data = reinterpret_cast<uchar*>(out.data());
    for (qsizetype b = 0; b <= whole; ++b) {
        uchar* block = data + b * BlockSize;
        quint32 left = qFromLittleEndian<quint32>(block);
        quint32 right = qFromLittleEndian<quint32>(block + 4);
        encryptBlock(left, right);
        qToLittleEndian(left, block);
        qToLittleEndian(right, block + 4);
    }
    return out;
}

QByteArray ValueCipher::decrypt(QByteArrayView cipherText, bool* ok) const
{
    if (ok)
        *ok = false;
    const qsizetype blocks = cipherText.size() / BlockSize;
    if (blocks == 0)
        return {};
    QByteArray out(cipherText.first(blocks * BlockSize).toByteArray());
    uchar* data = reinterpret_cast<uchar*>(out.data());
    for (qsizetype b = 0; b < blocks; ++b) {
        uchar* block = data + b * BlockSize;
        quint32 left = qFromLittleEndian<quint32>(block);
        quint32 right = qFromLittleEndian<quint32>(block + 4);
        decryptBlock(left, right);
        qToLittleEndian(left, block);
        qToLittleEndian(right, block + 4);
    }
    // A count above 7 never comes from a sound encoder: the value is damaged.
    const int count = data[out.size() - 1];
    if (count >= BlockSize)
        return {};
    out.truncate((blocks - 1) * BlockSize + count);
    if (ok)
        *ok = true;
    return out;
}

QByteArray ValueCipher::decodeValue(QStringView value) const
{
    const std::optional<QByteArray> bytes = ValueBase64::decode(value);
    if (!bytes)
        return {};
    return decrypt(*bytes);
}

QString ValueCipher::encodeValue(QByteArrayView plain) const
{
    return ValueBase64::encode(encrypt(plain));
}

QString DecodeValue(const QString& value)
{
    return TextCodec::fromCp1250(ValueCipher::shared().decodeValue(value));
}

QString EncodeValue(const QString& text)
{
    return ValueCipher::shared().encodeValue(TextCodec::toCp1250(text));
}

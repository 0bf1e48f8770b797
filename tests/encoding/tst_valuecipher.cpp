#include "encoding/PassPhraseDigest.h"
#include "encoding/PiWords.h"
#include "encoding/ValueBase64.h"
#include "encoding/ValueCipher.h"

#include <QRandomGenerator>
#include <QTest>
#include <QtEndian>

namespace {

// The published Blowfish over the same tables: big-endian blocks, the round function
// on the updated half, a swap after every round. Used only to prove the tables.
class PublishedBlowfish
{
public:
    explicit PublishedBlowfish(const QByteArray& key)
    {
        for (int i = 0; i < 18; ++i)
            p[i] = PiWords::words[i];
        for (int b = 0; b < 4; ++b)
            for (int i = 0; i < 256; ++i)
                s[b][i] = PiWords::words[18 + 256 * b + i];
        int at = 0;
        for (quint32& word : p) {
            quint32 k = 0;
            for (int n = 0; n < 4; ++n, at = (at + 1) % key.size())
                k = (k << 8) | static_cast<uchar>(key[at]);
            word ^= k;
        }
        quint32 l = 0, r = 0;
        for (int i = 0; i < 18; i += 2) {
            encrypt(l, r);
            p[i] = l;
            p[i + 1] = r;
        }
        for (auto& box : s)
            for (int i = 0; i < 256; i += 2) {
                encrypt(l, r);
                box[i] = l;
                box[i + 1] = r;
            }
    }

    void encrypt(quint32& l, quint32& r) const
    {
        for (int i = 0; i < 16; ++i) {
            l ^= p[i];
            r ^= f(l);
            std::swap(l, r);
        }
        std::swap(l, r);
        r ^= p[16];
        l ^= p[17];
    }

private:
    quint32 f(quint32 x) const
    {
        return ((s[0][x >> 24] + s[1][(x >> 16) & 0xFF]) ^ s[2][(x >> 8) & 0xFF]) + s[3][x & 0xFF];
    }
    quint32 p[18];
    quint32 s[4][256];
};

QByteArray randomBytes(QRandomGenerator& rng, qsizetype length)
{
    QByteArray bytes(length, '\0');
    for (char& c : bytes)
        c = static_cast<char>(rng.bounded(256));
    return bytes;
}

QByteArray encryptRawBlock(const ValueCipher& cipher, QByteArray block)
{
    uchar* data = reinterpret_cast<uchar*>(block.data());
    quint32 l = qFromLittleEndian<quint32>(data), r = qFromLittleEndian<quint32>(data + 4);
    cipher.encryptBlock(l, r);
    qToLittleEndian(l, data);
    qToLittleEndian(r, data + 4);
    return block;
}

} // namespace

class TestValueCipher : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void piTablesPassPublishedBlowfishVectors()
    {
        // Eric Young's test vectors: key, clear text, cipher text (big-endian hex).
        const char* vectors[][3] = {
            {"0000000000000000", "0000000000000000", "4EF997456198DD78"},
            {"FFFFFFFFFFFFFFFF", "FFFFFFFFFFFFFFFF", "51866FD5B85ECB8A"},
            {"3000000000000000", "1000000000000001", "7D856F9A613063F2"},
            {"1111111111111111", "1111111111111111", "2466DD878B963C9D"},
            {"0123456789ABCDEF", "1111111111111111", "61F9C3802281B096"},
            {"FEDCBA9876543210", "0123456789ABCDEF", "0ACEAB0FC6A0A28D"},
        };
        for (const auto& v : vectors) {
            const PublishedBlowfish bf(QByteArray::fromHex(v[0]));
            const QByteArray clear = QByteArray::fromHex(v[1]);
            quint32 l = qFromBigEndian<quint32>(clear.constData());
            quint32 r = qFromBigEndian<quint32>(clear.constData() + 4);
            bf.encrypt(l, r);
            QByteArray out(8, '\0');
            qToBigEndian(l, out.data());
            qToBigEndian(r, out.data() + 4);
            QCOMPARE(out.toHex().toUpper(), QByteArray(v[2]));
        }
        QCOMPARE(PiWords::words[0], 0x243F6A88u);
        QCOMPARE(PiWords::words[PiWords::Count - 1], 0x3AC372E6u);
    }

    void blockFunctionIsOneFixedMask()
    {
        // Every round value comes from the block as it stood before the rounds, so each
        // cancels out: a block is XOR-ed with one key-dependent mask. Were a round value
        // taken from the half being updated, the mask would vary from block to block.
        const ValueCipher& cipher = ValueCipher::shared();
        const QByteArray zero(8, '\0');
        const QByteArray mask = encryptRawBlock(cipher, zero);
        QVERIFY(mask != zero);
        QRandomGenerator rng(1987);
        for (int n = 0; n < 200; ++n) {
            const QByteArray block = randomBytes(rng, 8);
            QByteArray expected(8, '\0');
            for (int i = 0; i < 8; ++i)
                expected[i] = static_cast<char>(block[i] ^ mask[i]);
            QCOMPARE(encryptRawBlock(cipher, block), expected);

            quint32 l = rng.generate(), r = rng.generate();
            const quint32 l0 = l, r0 = r;
            cipher.encryptBlock(l, r);
            cipher.decryptBlock(l, r);
            QCOMPARE(l, l0);
            QCOMPARE(r, r0);
        }
        // A different key gives a different mask.
        const ValueCipher other(QByteArray("another key 1234"));
        QVERIFY(encryptRawBlock(other, zero) != mask);
    }

    void keyDerivedOnceEqualsKeyDerivedPerCall()
    {
        const ValueCipher fresh = ValueCipher::fromPassPhrase();
        QRandomGenerator rng(42);
        for (int n = 0; n < 50; ++n) {
            const QByteArray plain = randomBytes(rng, rng.bounded(40));
            const QString value = ValueCipher::shared().encodeValue(plain);
            QCOMPARE(fresh.encodeValue(plain), value);
            QCOMPARE(fresh.decodeValue(value), plain);
        }
        // The derivation itself: each length is a whole run, so shorter keys are prefixes;
        // every byte of the phrase counts.
        const QByteArray phrase("Trelomandrix 1987 Pelikany");
        const QByteArray key32 = PassPhraseDigest::derive(phrase, 32);
        QCOMPARE(key32.size(), 32);
        QCOMPARE(PassPhraseDigest::derive(phrase, 16), key32.left(16));
        QCOMPARE(PassPhraseDigest::derive(phrase, 256).left(32), key32);
        for (int i = 0; i < phrase.size(); ++i) {
            QByteArray changed = phrase;
            changed[i] = static_cast<char>(changed[i] ^ 1);
            QVERIFY(PassPhraseDigest::derive(changed, 16) != key32.left(16));
        }
        QVERIFY(PassPhraseDigest::derive(phrase + '\0', 16) != key32.left(16));
        QVERIFY(PassPhraseDigest::derive(QByteArray(), 16) !=
                PassPhraseDigest::derive(QByteArray(8, '\0'), 16));
    }

    void base64Rules()
    {
        // RFC 4648 examples both ways.
        const char* pairs[][2] = {{"", ""},
                                  {"f", "Zg=="},
                                  {"fo", "Zm8="},
                                  {"foo", "Zm9v"},
                                  {"foob", "Zm9vYg=="},
                                  {"fooba", "Zm9vYmE="},
                                  {"foobar", "Zm9vYmFy"}};
        for (const auto& p : pairs) {
            QCOMPARE(ValueBase64::encode(QByteArray(p[0])), QString::fromLatin1(p[1]));
            QCOMPARE(ValueBase64::decode(QString::fromLatin1(p[1])), std::optional<QByteArray>(p[0]));
        }
        QRandomGenerator rng(7);
        for (int length = 0; length < 64; ++length) {
            const QByteArray bytes = randomBytes(rng, length);
            QCOMPARE(ValueBase64::decode(ValueBase64::encode(bytes)), std::optional<QByteArray>(bytes));
        }
        // "=" in third place ends the group after one byte, whatever follows in the group;
        // decoding goes on with the next group.
        for (const char* text : {"Zg=A", "Zg=z", "Zg=+", "Zg=,", "Zg==", "Zm=="})
            QCOMPARE(ValueBase64::decode(QString::fromLatin1(text)), std::optional<QByteArray>("f"));
        QCOMPARE(ValueBase64::decode(u"Zg==Zm8=Zm9v"), std::optional<QByteArray>("ffofoo"));
        // Outside "+".."z": refused.
        for (const QString& text :
             {QStringLiteral("Zm9\n"), QStringLiteral("Zm9{"), QStringLiteral("Zm9*"), QStringLiteral("Zm9 "),
              QStringLiteral("Zm9ę"), QStringLiteral("Zm9v\r\n")})
            QVERIFY2(!ValueBase64::decode(text), qPrintable(text));
        // Inside "+".."z" but not in the alphabet, "=" in first or second place, a length
        // that is not a multiple of 4: refused as well.
        for (const char* text :
             {"Zm9-", "Zm,v", "Zm9@", "Zm9\\", "Zm9:", "=m9v", "Z=9v", "Zm9vY", "Zm9", "Zm8=Z"})
            QVERIFY2(!ValueBase64::decode(QString::fromLatin1(text)), text);
    }

    void blockLayoutAndLengthRule()
    {
        const ValueCipher& cipher = ValueCipher::shared();
        // 0 to 7 bytes: one block; 8 bytes: two, the second carrying the count 0.
        for (int length = 0; length <= 17; ++length) {
            const QByteArray plain(length, 'x');
            const QByteArray enc = cipher.encrypt(plain);
            QCOMPARE(enc.size(), (length / 8 + 1) * 8);
            QByteArray last(8, '\0');
            last[7] = static_cast<char>(length % 8);
            last.replace(0, length % 8, plain.right(length % 8));
            QCOMPARE(enc.right(8), encryptRawBlock(cipher, last));
        }
        const QString eight = cipher.encodeValue("12345678");
        QCOMPARE(eight.size(), 24);
        QCOMPARE(cipher.decodeValue(eight), QByteArray("12345678"));

        // Equal plain blocks give equal cipher blocks; one flipped cipher bit flips the
        // same plain bit.
        const QByteArray enc = cipher.encrypt("ABCDEFGHABCDEFGHxyz");
        QCOMPARE(enc.mid(0, 8), enc.mid(8, 8));
        QByteArray flipped = enc;
        flipped[10] = static_cast<char>(flipped[10] ^ 0x20);
        QCOMPARE(cipher.decrypt(flipped), QByteArray("ABCDEFGHABcDEFGHxyz"));

        // Fewer than 8 bytes: damaged. Bytes after the last whole block are not read.
        bool ok = true;
        QCOMPARE(cipher.decrypt(QByteArray(), &ok), QByteArray());
        QVERIFY(!ok);
        QCOMPARE(cipher.decrypt(QByteArray(7, 'a'), &ok), QByteArray());
        QVERIFY(!ok);
        QCOMPARE(cipher.decrypt(enc + "tail", &ok), QByteArray("ABCDEFGHABCDEFGHxyz"));
        QVERIFY(ok);

        // A count above 7 never comes from a sound encoder: the value is damaged.
        for (int count : {8, 9, 127, 255}) {
            QByteArray block("abcdefg");
            block.append(static_cast<char>(count));
            const QByteArray bad = cipher.encrypt("12345678").left(8) + encryptRawBlock(cipher, block);
            QCOMPARE(cipher.decrypt(bad, &ok), QByteArray());
            QVERIFY(!ok);
            QCOMPARE(DecodeValue(ValueBase64::encode(bad)), QString());
        }
    }

    void decodeValueRoundTripsAndNeverFails()
    {
        const QString letters = QStringLiteral("ąćęłńóśźżĄĆĘŁŃÓŚŹŻ „cytat” – € ");
        QRandomGenerator rng(2026);
        for (int length = 0; length <= 100; ++length) {
            QString text;
            for (int i = 0; i < length; ++i)
                text += rng.bounded(2) ? letters[rng.bounded(letters.size())] : QChar(u' ' + rng.bounded(95));
            const QString value = EncodeValue(text);
            QCOMPARE(value.size(), ((length / 8 + 1) * 8 + 2) / 3 * 4);
            QCOMPARE(DecodeValue(value), text);
            QCOMPARE(EncodeValue(text), value); // deterministic
        }
        QCOMPARE(DecodeValue(EncodeValue(QStringLiteral("Zażółć 日本"))), QStringLiteral("Zażółć ??"));

        const QString marker = EncodeValue(QStringLiteral("Tabulon"));
        QCOMPARE(DecodeValue(QString()), QString());
        QCOMPARE(DecodeValue(marker + QLatin1Char('\n')), QString());
        QCOMPARE(DecodeValue(marker.left(6) + QStringLiteral("\r\n") + marker.mid(6)), QString());
        QCOMPARE(DecodeValue(marker.left(4)), QString()); // three bytes, no whole block
        // Truncating or corrupting any character of a stored value never reads outside
        // it: a cut value holds no whole block, and a damaged one still holds only one.
        QCOMPARE(marker.size(), 12);
        for (int i = 0; i < marker.size(); ++i) {
            QCOMPARE(DecodeValue(marker.left(i)), QString());
            for (char16_t c = 0; c < 300; c += 7) {
                QString damaged = marker;
                damaged[i] = QChar(c);
                QVERIFY(DecodeValue(damaged).size() <= 7);
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestValueCipher)
#include "tst_valuecipher.moc"

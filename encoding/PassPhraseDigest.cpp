#include "encoding/PassPhraseDigest.h"

#include "encoding/DigestCipher.h"
#include "encoding/PiWords.h"

#include <QtEndian>

#include <algorithm>

namespace PassPhraseDigest {

QByteArray derive(QByteArrayView phrase, int length)
{
    length = std::clamp(length, 0, DigestSize);

    uchar digest[DigestSize];
    for (int i = 0; i < DigestSize / 4; ++i)
        qToBigEndian(PiWords::words[i], digest + 4 * i);
    int digestIndex = 0;
    quint32 w[4] = {0x55555555, 0x55555555, 0x55555555, 0x55555555};
    int keyIndex = 0;

    const auto feed = [&](uchar b) {
        digest[digestIndex] ^= b;
        digestIndex = (digestIndex + 1) % DigestSize;
        // Key bytes 0 to 7 are w0 and w1, low byte first; w2 and w3 only change by mixing.
        w[keyIndex / 4] ^= quint32(b) << (8 * (keyIndex % 4));
        if (++keyIndex == 8) {
            quint32 a = w[3], bb = w[2], c = w[1], d = w[0];
            for (int n = 0; n < 4; ++n)
                DigestCipher::quadMix(a, bb, c, d);
            w[0] = a;
            w[1] = bb;
            w[2] = c;
            w[3] = d;
            keyIndex = 0;
        }
    };

    for (const char b : phrase)
        feed(static_cast<uchar>(b));
    // Closing bytes: 0x01 then zeros up to the end of the group, which always mixes once more.
    const int closing = 8 - keyIndex;
    feed(0x01);
    for (int i = 1; i < closing; ++i)
        feed(0x00);

    uchar key[16];
    for (int i = 0; i < 4; ++i)
        qToLittleEndian(w[i], key + 4 * i);
    const DigestCipher cipher(key, 8);
    for (int block = 0; block < DigestSize; block += 16)
        cipher.encryptBlock(digest + block);
    return QByteArray(reinterpret_cast<const char*>(digest), length);
}

} // namespace PassPhraseDigest

#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <array>

// Values that the school side stores in the settings file and the school data files
// are protected with this 64-bit block cipher. It has the layout of Blowfish (16 rounds,
// tables from the digits of pi, the Blowfish key schedule), but its blocks are two
// little-endian words, every round function value is taken from the block as it was
// before the first round, and the halves are not swapped at the end. Stored values must
// be reproduced bit for bit, so these differences are kept.
class ValueCipher
{
public:
    static constexpr int BlockSize = 8;

    // Keys the cipher; the key bytes are used cyclically (an empty key counts as zeros).
    explicit ValueCipher(QByteArrayView key);

    // The cipher keyed from the built-in pass phrase, derived afresh (all four key lengths,
    // as the stored values were produced) on every call.
    static ValueCipher fromPassPhrase();
    // The same cipher, derived once per process and shared.
    static const ValueCipher& shared();

    void encryptBlock(quint32& left, quint32& right) const;
    void decryptBlock(quint32& left, quint32& right) const;

    // ECB over whole blocks; the last block carries the count (0 to 7) of its text bytes
    // in its last byte, so a text of n bytes becomes n div 8 + 1 blocks.
    QByteArray encrypt(QByteArrayView plain) const;
    // Empty on a ciphertext shorter than one block or a count above 7. Bytes after the
    // last whole block are not read.
    QByteArray decrypt(QByteArrayView cipherText, bool* ok = nullptr) const;

    // Base64 text to plain 8-bit bytes; empty on any error.
    QByteArray decodeValue(QStringView value) const;
    // Plain 8-bit bytes to Base64 text.
    QString encodeValue(QByteArrayView plain) const;

private:
    quint32 roundFunction(quint32 x) const;

    std::array<quint32, 18> m_p{};
    std::array<std::array<quint32, 256>, 4> m_s{};
};

// One stored value (Base64 of the encrypted Windows-1250 text) to its plain text. Never
// fails: a value that cannot be decoded gives empty text. The key is derived once.
QString DecodeValue(const QString& value);

// The inverse, for the administrator's tools: Windows-1250 text (characters the code
// page cannot hold become "?"), encrypted and Base64-encoded with "=" filling.
QString EncodeValue(const QString& text);

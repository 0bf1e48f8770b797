#pragma once

#include <QtGlobal>

#include <array>

// The 128-bit block cipher that finishes the pass-phrase digest: a Feistel cipher whose
// round function is two QuadMix passes over a half block and a pair of subkeys. Only
// encryption is ever needed. Blocks are four little-endian words.
class DigestCipher
{
public:
    // `key` is 16 bytes; `rounds` is limited to 4..16.
    DigestCipher(const uchar* key, int rounds);

    void encryptBlock(uchar* block) const; // 16 bytes, in place

    // The mixing function shared with the digest: eight add-rotate-xor lines.
    static void quadMix(quint32& a, quint32& b, quint32& c, quint32& d);

private:
    std::array<quint32, 32> m_subkeys{};
    int m_rounds = 8;
};

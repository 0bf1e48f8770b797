#include "encoding/DigestCipher.h"

#include <QtEndian>

#include <algorithm>

namespace {

// One mixing step of the ISAAC random-number generator over eight words.
void isaacMix(quint32& a, quint32& b, quint32& c, quint32& d, quint32& e, quint32& f, quint32& g, quint32& h)
{
    a ^= b << 11;
    d += a;
    b += c;
    b ^= c >> 2;
    e += b;
    c += d;
    c ^= d << 8;
    f += c;
    d += e;
    d ^= e >> 16;
    g += d;
    e += f;
    e ^= f << 10;
    h += e;
    f += g;
    f ^= g >> 4;
    a += f;
    g += h;
    g ^= h << 8;
    b += g;
    h += a;
    h ^= a >> 9;
    c += h;
    a += b;
}

} // namespace

void DigestCipher::quadMix(quint32& a, quint32& b, quint32& c, quint32& d)
{
    a += d;
    d += a;
    a ^= a >> 7;
    b += a;
    a += b;
    b ^= b << 13;
    c += b;
    b += c;
    c ^= c >> 17;
    d += c;
    c += d;
    d ^= d << 9;
    a += d;
    d += a;
    a ^= a >> 3;
    b += a;
    a += b;
    b ^= b << 7;
    c += b;
    b += c;
    c ^= d >> 15; // d, not c: the stored values depend on it
    d += c;
    c += d;
    d ^= d << 11;
}

DigestCipher::DigestCipher(const uchar* key, int rounds) : m_rounds(std::clamp(rounds, 4, 16))
{
    const quint32 k0 = qFromLittleEndian<quint32>(key);
    const quint32 k1 = qFromLittleEndian<quint32>(key + 4);
    const quint32 k2 = qFromLittleEndian<quint32>(key + 8);
    const quint32 k3 = qFromLittleEndian<quint32>(key + 12);
    static constexpr quint32 constants[4] = {0x55555555, 0xAAAAAAAA, 0x33333333, 0xCCCCCCCC};
    for (int j = 0; j < 4; ++j) {
        const quint32 t = constants[j];
        quint32 a = k0, b = t, c = k1, d = t, e = k2, f = t, g = k3, h = t;
        for (int n = 0; n < 8; ++n)
            isaacMix(a, b, c, d, e, f, g, h);
        const quint32 out[8] = {a, b, c, d, e, f, g, h};
        std::copy(std::begin(out), std::end(out), m_subkeys.begin() + 8 * j);
    }
}

void DigestCipher::encryptBlock(uchar* block) const
{
    quint32 l0 = qFromLittleEndian<quint32>(block);
    quint32 l1 = qFromLittleEndian<quint32>(block + 4);
    quint32 r0 = qFromLittleEndian<quint32>(block + 8);
    quint32 r1 = qFromLittleEndian<quint32>(block + 12);
    for (int r = 0; r < m_rounds; ++r) {
        quint32 a = l0, b = m_subkeys[2 * r], c = l1, d = m_subkeys[2 * r + 1];
        quadMix(a, b, c, d);
        std::swap(a, c);
        std::swap(b, d);
        quadMix(a, b, c, d);
        const quint32 newL0 = a ^ b ^ r0;
        const quint32 newL1 = c ^ d ^ r1;
        r0 = l0;
        r1 = l1;
        l0 = newL0;
        l1 = newL1;
    }
    qToLittleEndian(r0, block);
    qToLittleEndian(r1, block + 4);
    qToLittleEndian(l0, block + 8);
    qToLittleEndian(l1, block + 12);
}

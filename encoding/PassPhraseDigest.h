#pragma once

#include <QByteArray>
#include <QByteArrayView>

// Turns a pass phrase into key bytes: the phrase is folded into a 256-byte digest that
// starts from the digits of pi and into four mixing words, and the digest is then
// encrypted with DigestCipher keyed by those words.
namespace PassPhraseDigest {

constexpr int DigestSize = 256;

// The first `length` bytes (1 to 256) of the finished digest of `phrase`. Each call is a
// complete run of its own, whatever the length.
QByteArray derive(QByteArrayView phrase, int length);

} // namespace PassPhraseDigest

#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <optional>

// Base64 as the stored values use it: the standard alphabet, "=" filling the last
// group, no line breaks.
namespace ValueBase64 {

// Decodes group by group. An "=" in third place ends its group after one byte whatever
// the fourth character is, and decoding goes on with the next group. Refused (no
// value): a character outside "+".."z", a character in that range that is not in the
// alphabet (other than "=" in third or fourth place), and a text whose length is not a
// multiple of 4.
std::optional<QByteArray> decode(QStringView text);

QString encode(QByteArrayView bytes);

} // namespace ValueBase64

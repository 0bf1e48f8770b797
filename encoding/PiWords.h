#pragma once

#include <QtGlobal>

// The hexadecimal digits of pi's fractional part as 32-bit words, most significant
// first (0x243F6A88, 0x85A308D3, ...). The value cipher's P array is words 0 to 17 and
// its four tables follow, 256 words each; the pass-phrase digest starts from the first
// 64 words. The array is computed at build time by PiWordsGenerator.
namespace PiWords {
constexpr int Count = 18 + 4 * 256;
extern const quint32 words[Count];
} // namespace PiWords

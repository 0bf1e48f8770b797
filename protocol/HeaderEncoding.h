#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Header text of the mails the program writes. Text outside ASCII becomes RFC 2047
// encoded words in ISO-8859-2 with the Q encoding; CR and LF never reach a header.
namespace HeaderEncoding {

// `text` with every CR, LF and other control character replaced by a blank.
QString withoutLineBreaks(const QString& text);

// Every text that enters a header or a mail body: without control characters
// (C0 including NUL, CR and LF, DEL and C1), which are removed.
QString withoutControls(const QString& text);

// The longest header line that holds encoded words.
inline constexpr int kMaxEncodedLine = 76;
// Header lines are folded within this many characters where the text allows.
inline constexpr int kMaxLine = 78;
// No line of a mail is ever longer than this (RFC 5322).
inline constexpr int kMaxHardLine = 998;
// The longest address taken (RFC 5321 allows 254 characters in a path).
inline constexpr int kMaxAddressLength = 254;

// The value as it may stand in a header: plain ASCII stays as it is, folded before
// blanks to keep lines within kMaxLine (a word too long for that makes the whole
// value encoded words); any other text
// becomes one or more encoded words "=?ISO-8859-2?Q?...?=" (each at most 75
// characters), separated by a folding CR LF and a blank. `used` counts what already
// stands on the first line (the header's name, say), so that no line with an encoded
// word runs past 76 characters.
QByteArray encodeText(const QString& text, int used = 0);

// A display name for From or To: an encoded-word sequence, a quoted string, or an
// atom, whichever the text needs; `used` as for encodeText.
QByteArray encodePhrase(const QString& name, int used = 0);

// Splits an address list on commas. "Name <a@b>" gives a@b. Returns false with a
// reason when an entry is not a plain address (no "@", blanks, angle brackets or
// control characters inside) or the list is empty.
bool splitAddressList(const QString& list, QStringList* addresses, QString* error = nullptr);

// True when `address` may stand in a header and in an SMTP command as it is.
bool isPlainAddress(const QString& address);

} // namespace HeaderEncoding

#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// The program's files and mails use 8-bit code pages: Windows-1250 for the data
// files, the settings file and the report documents, ISO-8859-2 for mail. These
// conversions never depend on the user's locale. A character the target code page
// cannot hold becomes "?".
namespace TextCodec {

enum class CodePage { Windows1250, Iso88592 };

QByteArray encode(QStringView text, CodePage page);
QString decode(QByteArrayView bytes, CodePage page);

// True when every character of `text` has a byte in `page`; otherwise the first
// character that has none is stored in `offending` (when given).
bool canEncode(QStringView text, CodePage page, QString* offending = nullptr);

inline QByteArray toCp1250(QStringView text) { return encode(text, CodePage::Windows1250); }
inline QString fromCp1250(QByteArrayView bytes) { return decode(bytes, CodePage::Windows1250); }
inline QByteArray toIso88592(QStringView text) { return encode(text, CodePage::Iso88592); }
inline QString fromIso88592(QByteArrayView bytes) { return decode(bytes, CodePage::Iso88592); }

} // namespace TextCodec

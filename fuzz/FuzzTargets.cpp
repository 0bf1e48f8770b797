#include "fuzz/FuzzTargets.h"

#include "delivery/VersionDate.h"
#include "document/PKXML.h"
#include "document/ReportFileName.h"
#include "document/ValueBase64.h"
#include "document/ValueCipher.h"
#include "protocol/HeaderEncoding.h"
#include "protocol/MailMessage.h"
#include "shell/AppState.h"
#include "shell/SchoolData.h"
#include "shell/SettingsReader.h"
#include "shell/TextLines.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

namespace {

QString utf8(QByteArrayView bytes)
{
    return QString::fromUtf8(bytes);
}

// True when every line of `text` ends with CR LF, holds no other CR or LF and no
// NUL, and is at most `limit` characters long.
bool wellFormedLines(const QByteArray& text, qsizetype limit)
{
    qsizetype start = 0;
    while (start < text.size()) {
        const qsizetype end = text.indexOf("\r\n", start);
        if (end < 0 || end - start > limit)
            return false;
        const QByteArrayView line(text.constData() + start, end - start);
        if (line.contains('\r') || line.contains('\n') || line.contains('\0'))
            return false;
        start = end + 2;
    }
    return true;
}

} // namespace

const QList<FuzzTarget>& FuzzTargets()
{
    static const QList<FuzzTarget> targets = {
        {"data_files", FuzzDataFiles}, {"values", FuzzValues}, {"settings", FuzzSettings},
        {"version_file", FuzzVersionFile}, {"mail", FuzzMail}, {"report_file_name", FuzzReportFileName},
    };
    return targets;
}

bool FuzzDataFiles(QByteArrayView bytes)
{
    TpkXML xml;
    xml.LoadFromBuffer(bytes);
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    xml.SaveToStream(out);
    // What the writer wrote must load again.
    TpkXML again;
    if (!out.data().isEmpty() && !again.LoadFromBuffer(out.data()))
        return false;

    SchoolData model;
    for (DataFileKind kind : {DataFileKind::Teachers, DataFileKind::Subjects, DataFileKind::Classes}) {
        DataFileStatus status;
        if (!LoadDataBuffer(kind, bytes, model, &status) && status.reason.isEmpty())
            return false;
    }
    return true;
}

bool FuzzValues(QByteArrayView bytes)
{
    const QString text = QString::fromLatin1(bytes);
    if (const std::optional<QByteArray> decoded = ValueBase64::decode(text)) {
        // What was taken encodes to a text that gives the same bytes again.
        if (ValueBase64::decode(ValueBase64::encode(*decoded)) != decoded)
            return false;
    }
    const QString plain = DecodeValue(text);
    DecodeValue(utf8(bytes));
    // A decoded text is Windows-1250 text, so it is stored and read back unchanged.
    return DecodeValue(EncodeValue(plain)) == plain;
}

bool FuzzSettings(QByteArrayView bytes)
{
    static QTemporaryDir folder;
    if (!folder.isValid())
        return false;
    AppState state;
    state.SettingsFile = folder.filePath(QStringLiteral("Tabulon.ini"));
    QFile file(state.SettingsFile);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes.data(), bytes.size()) != bytes.size())
        return false;
    file.close();
    const bool read = ReadSettings(state, folder.path(), DecodeValue);
    const qsizetype lines = TextLines::split(bytes.toByteArray()).size();
    if (read && lines < 9)
        return false;
    // The tenth line is the only way to allow a login in clear.
    if (state.Settings.AllowPlainLogin && (!read || lines < 10))
        return false;
    if (read)
        NormaliseSettings(state.Settings);
    return true;
}

bool FuzzVersionFile(QByteArrayView bytes)
{
    for (const QByteArray& line : TextLines::split(bytes.toByteArray())) {
        const QString value = DecodeValue(QString::fromLatin1(line));
        for (const QString& text : {value, QString::fromLatin1(line)}) {
            const QDate date = ParseVersionDate(text);
            // A date that was read is read the same from its own Polish form.
            if (date.isValid() && ParseVersionDate(date.toString(QStringLiteral("dd.MM.yyyy"))) != date)
                return false;
        }
    }
    return true;
}

bool FuzzMail(QByteArrayView bytes)
{
    // The fields, separated by 0xFF (a byte UTF-8 never holds).
    const QList<QByteArray> parts = bytes.toByteArray().split('\xFF');
    const auto field = [&](int i) { return i < parts.size() ? utf8(parts.at(i)) : QString(); };
    MailMessage m;
    m.SenderName = field(0);
    m.SenderAddress = field(1);
    m.Recipients = field(2);
    m.Subject = field(3);
    m.HtmlBody = field(4);
    m.AttachmentName = field(5);
    m.AttachmentBytes = parts.value(6);
    m.Date = QDateTime(QDate(2026, 6, 19), QTime(14, 5, 9));

    for (int used : {0, 9, 40}) {
        // Every line of a header value stays within the soft limit, its first line
        // counting what stands before it.
        for (const QByteArray& value :
             {HeaderEncoding::encodeText(m.Subject, used), HeaderEncoding::encodePhrase(m.SenderName, used)}) {
            const QByteArray line = QByteArray(used, 'x') + value + "\r\n";
            if (!wellFormedLines(line, HeaderEncoding::kMaxLine))
                return false;
        }
    }
    QStringList addresses;
    if (HeaderEncoding::splitAddressList(m.Recipients, &addresses)) {
        for (const QString& a : addresses) {
            if (!HeaderEncoding::isPlainAddress(a))
                return false;
        }
    }

    const QByteArray mail = m.compose();
    if (mail.isEmpty())
        return true;
    if (!wellFormedLines(mail, HeaderEncoding::kMaxHardLine))
        return false;
    // The header block: lines within the soft limit, unless a line holds a single word
    // that no fold could split (a long address).
    const QByteArray head = mail.left(mail.indexOf("\r\n\r\n") + 2);
    for (QByteArray line : head.split('\n')) {
        if (line.size() <= HeaderEncoding::kMaxLine + 1)
            continue;
        line = line.trimmed();
        const qsizetype colon = line.indexOf(": ");
        if (colon > 0 && !line.left(colon).contains(' '))
            line = line.mid(colon + 2);
        if (line.contains(' '))
            return false;
    }
    // The attachment arrives as it was given.
    const qsizetype disposition = mail.indexOf("Content-Disposition:");
    const qsizetype dataStart = mail.indexOf("\r\n\r\n", disposition) + 4;
    const QByteArray base64 = mail.mid(dataStart, mail.indexOf("\r\n--", dataStart) - dataStart);
    return QByteArray::fromBase64(base64) == m.AttachmentBytes;
}

bool FuzzReportFileName(QByteArrayView bytes)
{
    const QList<QByteArray> parts = bytes.toByteArray().split('\xFF');
    QStringList values;
    for (qsizetype i = 1; i < parts.size(); ++i)
        values << utf8(parts.at(i));
    const QString prefix = utf8(parts.value(0));
    for (const QString& name : {SafeFileName(prefix), ReportFileName(prefix, values)}) {
        if (name.toUtf8().size() > 200)
            return false;
        for (const QChar c : name) {
            if (c.unicode() < 0x20 || c.unicode() == 0x7F || QStringLiteral("\\/:*?\"<>|").contains(c))
                return false;
        }
        if (!name.isEmpty() && name.back().isHighSurrogate())
            return false;
    }
    // Shortening keeps the start of the mended name.
    const QString whole = SafeFileName(prefix);
    QString mended = prefix;
    for (QChar& c : mended) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || QStringLiteral("\\/:*?\"<>|").contains(c))
            c = QLatin1Char('-');
    }
    return mended.startsWith(whole);
}

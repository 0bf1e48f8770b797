#include "collect/CollectionSources.h"

#include "collect/CollectFiles.h"
#include "core/AppFolders.h"
#include "core/SchoolData.h"
#include "files/SafeFile.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace {

QByteArray encoded(const QString& value)
{
    return QUrl::toPercentEncoding(value);
}

} // namespace

QString CollectionSources::DefaultDataFolder()
{
    const QString data = AppFolders::under(ResolveAppData()).data;
    return QFileInfo(QDir(data).filePath(kTeachersFile)).isFile() ? QDir::cleanPath(data) : QString();
}

QString CollectionSources::SettingsPath()
{
    return ResolveAppData() + QStringLiteral("/Orvix/Tabulon/Zbiorka/zbiorka.txt");
}

CollectionSources CollectionSources::Load(const QString& path)
{
    CollectionSources s;
    s.DataFolder = DefaultDataFolder();
    QByteArray bytes;
    if (!SafeFile::Read(path, kMaxSettingsBytes, &bytes) || !bytes.startsWith("TABULON-ZBIORKA 1\n"))
        return s;
    for (const QByteArray& line : bytes.split('\n').mid(1)) {
        const qsizetype eq = line.indexOf('=');
        if (eq <= 0)
            continue;
        const QByteArray key = line.left(eq);
        const QString value = QUrl::fromPercentEncoding(line.mid(eq + 1));
        if (key == "sciezka" && s.Paths.size() < kMaxPaths && !value.isEmpty())
            s.Paths.append(value);
        else if (key == "imap")
            s.UseImap = value == u"1";
        else if (key == "serwer")
            s.Imap.Host = value.left(253);
        else if (key == "port")
            s.Imap.Port = qBound(1, value.toInt(), 65535);
        else if (key == "tls")
            s.Imap.ImplicitTls = value != u"starttls";
        else if (key == "konto")
            s.Imap.User = value.left(254);
        else if (key == "folder" && !value.isEmpty())
            s.Imap.Folder = value.left(200);
        else if (key == "pamietaj-haslo")
            s.RememberPassword = value == u"1";
        else if (key == "dane")
            s.DataFolder = value;
    }
    return s;
}

bool CollectionSources::save(QString* error, const QString& path) const
{
    QByteArray out = "TABULON-ZBIORKA 1\n";
    for (const QString& p : Paths)
        out += "sciezka=" + encoded(p) + '\n';
    out += "imap=" + QByteArray(UseImap ? "1" : "0") + '\n';
    out += "serwer=" + encoded(Imap.Host) + '\n';
    out += "port=" + QByteArray::number(Imap.Port) + '\n';
    out += "tls=" + QByteArray(Imap.ImplicitTls ? "tls" : "starttls") + '\n';
    out += "konto=" + encoded(Imap.User) + '\n';
    out += "folder=" + encoded(Imap.Folder) + '\n';
    out += "pamietaj-haslo=" + QByteArray(RememberPassword ? "1" : "0") + '\n';
    out += "dane=" + encoded(DataFolder) + '\n';
    if (!CollectFiles::MakeFolders(ResolveAppData(), QFileInfo(path).absolutePath(), error))
        return false;
    const FileResult written = SafeFile::Write(path, out);
    if (!written)
        *error = QStringLiteral("nie można zapisać ustawień zbiórki: %1").arg(FileFailureText(written));
    return written.ok();
}

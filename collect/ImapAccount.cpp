#include "collect/ImapAccount.h"

#include <QCryptographicHash>
#include <QRegularExpression>
#include <QUrl>

bool ImapAccount::FromUrl(const QString& text, ImapAccount* account, QString* error)
{
    const QUrl url(text, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != u"imaps" && scheme != u"imap") || url.host().isEmpty() ||
        !url.query().isEmpty() || !url.fragment().isEmpty() || !url.userInfo().isEmpty()) {
        *error = QStringLiteral("adres skrzynki ma postać imaps://serwer[:port]/FOLDER "
                                "(albo imap://… dla STARTTLS)");
        return false;
    }
    ImapAccount a;
    a.Host = url.host();
    a.ImplicitTls = scheme == u"imaps";
    a.Port = url.port(a.ImplicitTls ? kImplicitTlsPort : kStartTlsPort);
    QString folder = url.path(QUrl::FullyDecoded);
    while (folder.startsWith(u'/'))
        folder.remove(0, 1);
    if (!folder.isEmpty())
        a.Folder = folder;
    a.User = account->User.isEmpty() ? QStringLiteral("-") : account->User; // checked where it is given
    if (!a.isValid(error))
        return false;
    a.User = account->User;
    a.Password = account->Password;
    *account = a;
    return true;
}

bool ImapAccount::isValid(QString* error) const
{
    static const QRegularExpression hostPattern(QStringLiteral("^[A-Za-z0-9.-]{1,253}$|^\\[[0-9A-Fa-f:.]+\\]$"));
    if (!hostPattern.match(Host).hasMatch()) {
        *error = QStringLiteral("nieprawidłowa nazwa serwera poczty: „%1”").arg(Host.left(100));
        return false;
    }
    if (Port < 1 || Port > 65535) {
        *error = QStringLiteral("nieprawidłowy port serwera poczty: %1").arg(Port);
        return false;
    }
    // Folder and account go into commands: no control characters, printable ASCII
    // for the folder (other names need IMAP's own encoding of folder names).
    for (const QChar c : Folder) {
        if (c.unicode() < 0x20 || c.unicode() > 0x7E) {
            *error = QStringLiteral("nazwa folderu może zawierać tylko litery łacińskie bez ogonków, cyfry i "
                                    "znaki ASCII");
            return false;
        }
    }
    if (Folder.isEmpty() || Folder.size() > 200) {
        *error = QStringLiteral("podaj folder skrzynki (zwykle INBOX)");
        return false;
    }
    for (const QChar c : User) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F) {
            *error = QStringLiteral("nazwa konta zawiera znaki sterujące");
            return false;
        }
    }
    if (User.isEmpty() || User.size() > 254) {
        *error = QStringLiteral("podaj nazwę konta pocztowego");
        return false;
    }
    return true;
}

QString ImapAccount::displayName() const
{
    return QStringLiteral("%1@%2:%3/%4").arg(User, Host).arg(Port).arg(Folder);
}

QString ImapAccount::cacheKey() const
{
    const QByteArray identity =
        (Host.toLower() + u'\n' + QString::number(Port) + u'\n' + User + u'\n' + Folder).toUtf8();
    return QString::fromLatin1(QCryptographicHash::hash(identity, QCryptographicHash::Sha256).toHex().left(24));
}

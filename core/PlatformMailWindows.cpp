#include "core/PlatformMail.h"

#include "encoding/TextCodec.h"

#include <QByteArray>
#include <QDir>
#include <QFileInfo>

#include <windows.h>

#include <mapi.h>

namespace Platform {

namespace {

// One Simple MAPI send: the mail program shows the message or sends it, as the user
// has set it up. True when the mail system accepted the message.
bool MapiSendReport(const QString& recipient, const QString& subject, const QString& body,
                    const QString& path)
{
    HMODULE library = LoadLibraryW(L"MAPI32.DLL");
    if (!library)
        return false;
    auto send = reinterpret_cast<LPMAPISENDMAIL>(GetProcAddress(library, "MAPISendMail"));
    if (!send) {
        FreeLibrary(library);
        return false;
    }

    // Simple MAPI takes text in the system's 8-bit code page.
    QByteArray recipientText = TextCodec::toCp1250(recipient);
    QByteArray subjectText = TextCodec::toCp1250(subject);
    QByteArray bodyText = TextCodec::toCp1250(body);
    QByteArray pathText = TextCodec::toCp1250(QDir::toNativeSeparators(path));
    QByteArray fileNameText = TextCodec::toCp1250(QFileInfo(path).fileName());

    MapiRecipDesc to{};
    to.ulRecipClass = MAPI_TO;
    to.lpszName = recipientText.data();
    to.lpszAddress = recipientText.data();

    MapiFileDesc file{};
    file.nPosition = ULONG(-1);
    file.lpszPathName = pathText.data();
    file.lpszFileName = fileNameText.data();

    QByteArray messageType("text/html");
    MapiMessage message{};
    message.lpszSubject = subjectText.data();
    message.lpszNoteText = bodyText.data();
    message.lpszMessageType = messageType.data();
    message.nRecipCount = 1;
    message.lpRecips = &to;
    message.nFileCount = 1;
    message.lpFiles = &file;

    const ULONG result = send(0, 0, &message, 0, 0);
    FreeLibrary(library);
    return result == SUCCESS_SUCCESS;
}

} // namespace

bool SendWithMailProgram(const QString& recipients, const QString& subject, const QString& body,
                         const QString& attachmentPath)
{
    return MapiSendReport(recipients, subject, body, attachmentPath);
}

} // namespace Platform

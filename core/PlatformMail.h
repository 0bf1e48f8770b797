#pragma once

#include <QString>

namespace Platform {

// Hands a prepared mail with one attached file to the user's own mail program, where
// the user reviews and sends it. `recipients` is the school's address list (commas
// between addresses). True when the mail program took the message.
//
// On Windows this is Simple MAPI ("MAPISendMail" of MAPI32.DLL); elsewhere xdg-email
// opens the desktop's mail program with the message filled in.
bool SendWithMailProgram(const QString& recipients, const QString& subject, const QString& body,
                         const QString& attachmentPath);

} // namespace Platform

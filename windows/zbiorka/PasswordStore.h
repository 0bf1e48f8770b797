#pragma once

#include <QString>

// The mailbox password in the desktop's keyring (Secret Service, KWallet, ...),
// through QtKeychain; never in a file of ours. Every call waits at most a few seconds
// for the keyring; with no keyring the calls fail and the password is asked each time.
namespace PasswordStore {

// False when nothing is stored or no keyring answers.
bool Read(const QString& key, QString* password);
// False, with the keyring's reason, when it could not be stored.
bool Write(const QString& key, const QString& password, QString* error);
void Remove(const QString& key);

} // namespace PasswordStore

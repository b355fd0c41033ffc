#pragma once

#include <QByteArray>
#include <QString>

// The program's key to every bd1, in one place: the engine that opens a file,
// the connection, the tool that creates a file and a backup's copy all take
// it from here, so that none of them asks another for it.
//
// A file's key is the program's password derived (PBKDF2-HMAC-SHA1, 64 000
// iterations) with the salt the file begins with. Nothing in the program may
// read that salt from a file it holds open through a second descriptor
// (closing it would drop the process's locks on bd1): the engine that opens
// the file reads it once, before the open, and lends it here for as long as
// the file stays open.

// The program's database password, for creating new files.
QByteArray databasePassword();

// The first bytes of an encrypted file are its key salt. Reading them also
// tells a missing, unreadable or plainly damaged file apart (a StoreError
// naming the file). Only for a file this process does not hold open.
QByteArray saltOfFile(const QString& path);

// The key statement value ("x'…'") for a file's salt: the password derived
// once per salt, so that opening a file stays cheap.
QByteArray keyForSalt(const QByteArray& salt);

// The key statement value with the salt appended ("x'<key><salt>'"): a new
// file keyed with it takes that salt, and so opens with the program's
// password like the file the salt came from.
QByteArray keyWithSalt(const QByteArray& salt);

// The salt of a file an engine of this process has just opened, until it closes it.
void lendSalt(const QString& path, const QByteArray& salt);
void takeSaltBack(const QString& path, const QByteArray& salt);

// The key statement value for the file at path: from the salt an open engine
// lent, or read from the file while none holds it.
QByteArray derivedKeyFor(const QString& path);

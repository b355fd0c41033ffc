#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

inline const QString BACKUP_FOLDER_NAME = QStringLiteral("backups");
inline constexpr int BACKUPS_KEPT = 30;

// The backups folder beside the bd1 of a data folder.
QString backupFolder(const QString& folder);

// The backups of bd1 in a backups folder, oldest first (their names sort by date and time).
QStringList existingBackups(const QString& backupsFolder);

// Writes a consistent copy of the bd1 of folder into destination (the
// backups folder beside bd1 when empty), through the engine's online backup,
// keyed with the program's password; the copy is written under a partial
// name, takes its own name (the moment now) only once whole, and only the
// newest BACKUPS_KEPT are kept. Partial copies that a killed backup left in
// the folder are removed. Returns the copy's path; throws StoreError with a
// Portuguese message naming what failed. Nothing half written is left behind.
QString writeBackup(const QString& folder, const QDateTime& now, const QString& destination = QString());

// The backup made after each confirmed day close: the day's copy, which
// replaces that day's earlier one once it is whole; none for a till working
// on a shop's server (the server is backed up on its own). Never throws: a
// failure comes back as the message to show the cashier once; nothing when
// the copy was made.
std::optional<QString> Respaldo_Automatico(const QString& folder, const QDateTime& now);

// Puts a backup in place of the bd1 of folder: the backup must open with the
// program's key and hold the five tables; the current bd1 (with any pending
// write-ahead log) is kept beside it under a dated name, which is returned.
// The caller makes sure the program is not running on folder. Throws
// StoreError and leaves the current bd1 in place when anything fails.
QString restoreBackup(const QString& folder, const QString& backupPath, const QDateTime& now);

#pragma once

#include "collect/ImapAccount.h"

#include <QString>
#include <QStringList>

// What the collecting window reads, as the user chose it last time: folders and
// mailbox files, the school's mailbox on an IMAP server, the school's data. Kept per
// user in the data folder; the password never goes there.
struct CollectionSources
{
    QStringList Paths;
    bool UseImap = false;
    ImapAccount Imap; // its Password is never saved
    bool RememberPassword = false;
    QString DataFolder; // empty: collect without the school's data

    // The school's data as the teacher's program on this computer keeps them, when
    // they are there; empty otherwise.
    static QString DefaultDataFolder();
    // <the user's data folder>/Orvix/Tabulon/Zbiorka/zbiorka.txt
    static QString SettingsPath();

    // The choices saved last time; the defaults for anything missing or unreadable.
    static CollectionSources Load(const QString& path = SettingsPath());
    bool save(QString* error, const QString& path = SettingsPath()) const;

    static constexpr qint64 kMaxSettingsBytes = 64 * 1024;
    static constexpr int kMaxPaths = 100;
};

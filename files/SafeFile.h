#pragma once

#include "files/TransferControl.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The one way the program and its tools write and read files of their own or from
// outside. A library's success return is no proof that bytes reached the disk (a full
// disk can pass unnoticed through a buffered write), so every byte written here is
// checked, flushed and synced before a file takes its name, and a failure leaves the
// old file as it was.

// Why a file operation failed.
enum class FileFailure
{
    None,
    NoSpace,    // the disk, the quota or the file size limit is full
    Denied,     // no permission, or a read-only folder or disk
    Link,       // a link stands where a file or folder of ours should be
    NotRegular, // a FIFO, device, folder or socket where a file should be
    Missing,    // no such file or folder
    TooLarge,   // more bytes than allowed
    Exists,     // every name that could be claimed is taken
    Io,         // any other failure of the system
    TimedOut,   // the time limit ran out
    Cancelled,  // the progress callback asked to stop
};

struct FileResult
{
    FileFailure failure = FileFailure::None;
    // The system's own words for the failure (for a detail line); empty on success.
    QString detail;

    bool ok() const { return failure == FileFailure::None; }
    explicit operator bool() const { return ok(); }
};

// The reason in Polish, as a clause to follow a colon in a message:
// "Nie udało się zapisać szkicu: " + FileFailureText(result) + ".".
QString FileFailureText(const FileResult& result);

namespace SafeFile {

// Who may read a new file: everyone the folder lets in, or only its owner (settings
// with a password, drafts). An existing file keeps its own permissions.
enum class Access
{
    Shared,
    Private,
};

// Replaces `path` with exactly `bytes`: a temporary file in the same folder takes every
// byte (each write checked), is synced and closed, then renamed over the name and the
// folder synced. A link at `path` is replaced, never followed; a folder or other
// non-regular file there is refused. On any failure the old file is untouched and no
// temporary file is left behind.
FileResult Write(const QString& path, QByteArrayView bytes, Access access = Access::Shared);

// Claims a new name in `folder` by creating it, empty, so that no other program can
// take it: base + suffix, then base + " (2)" + suffix up to " (maxNumber)". Existing
// names, links included, are passed over. Fill the claimed file with Write().
FileResult ClaimNew(const QString& folder, const QString& base, const QString& suffix, int maxNumber,
                    QString* claimedPath, Access access = Access::Shared);

// ClaimNew() then Write() of `bytes` into the claimed name; on failure the claimed name
// is given up again. The archive of handed-in reports keeps each one so.
FileResult WriteNew(const QString& folder, const QString& base, const QString& suffix, int maxNumber,
                    QByteArrayView bytes, QString* writtenPath, Access access = Access::Shared);

// Appends `line` and a line break to the log at `path`, created when missing. A log
// that would pass `maxBytes` is first renamed to `rotatedPath` (replacing the older
// one) and begun anew. The line reaches the disk whole or not at all; the lines already
// there are never rewritten. Writers in other programs wait their turn.
FileResult AppendLine(const QString& path, QByteArrayView line, qint64 maxBytes, const QString& rotatedPath);

struct ReadOptions
{
    // A link to a regular file is read only when asked for; by default a link is
    // refused as FileFailure::Link.
    bool followLinks = false;
    // Progress, cancelling and a time limit for large reads; may be null.
    const TransferControl* control = nullptr;
};

// Reads the whole regular file at `path` into `bytes` (emptied first), at most
// `maxBytes`. A FIFO, device, socket or folder is refused before a byte is read and
// without waiting for a writer.
FileResult Read(const QString& path, qint64 maxBytes, QByteArray* bytes, const ReadOptions& options = {});

// Read() of `source` then Write() of `target`.
FileResult Copy(const QString& source, const QString& target, qint64 maxBytes, const ReadOptions& options = {},
                Access access = Access::Shared);

// Makes the folder `path` when missing (its parent must exist) and checks that it is
// a real folder, not a link to one.
FileResult MakeFolder(const QString& path, Access access = Access::Shared);

// Syncs the folder's entries, after renames made in it.
FileResult SyncFolder(const QString& path);

} // namespace SafeFile

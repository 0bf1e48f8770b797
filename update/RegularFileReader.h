#pragma once

#include "files/TransferControl.h"

#include <QByteArray>
#include <QString>

// Reading a file that someone else put in place (the school's network folder, the
// program's own data folder), in the words of the data update: SafeFile::Read() does
// the reading. Only a regular file is read; a link, a FIFO, a device or a folder is
// refused before a byte is read, so that such a name can neither hang the program,
// feed it without end nor lead it elsewhere.
enum class FileReadResult
{
    Read,
    Missing,    // no such file, or its folder cannot be reached
    NotRegular, // a FIFO, device, folder, socket, or a link
    TooLarge,   // more than the allowed bytes
    Failed,     // opened, but reading failed
    TimedOut,   // the control's time limit ran out
    Cancelled,  // the control's progress asked to stop
};

// Reads the whole of `path` into `bytes` (emptied first), at most `maxBytes`,
// reporting progress to `control` between chunks and giving up after its time limit.
FileReadResult ReadRegularFile(const QString& path, qint64 maxBytes, const TransferControl& control,
                               QByteArray* bytes);

#include "update/RegularFileReader.h"

#include "files/SafeFile.h"

FileReadResult ReadRegularFile(const QString& path, qint64 maxBytes, const TransferControl& control,
                               QByteArray* bytes)
{
    SafeFile::ReadOptions options;
    options.control = &control;
    switch (SafeFile::Read(path, maxBytes, bytes, options).failure) {
    case FileFailure::None:
        return FileReadResult::Read;
    case FileFailure::Missing:
        return FileReadResult::Missing;
    case FileFailure::Link:
    case FileFailure::NotRegular:
        return FileReadResult::NotRegular;
    case FileFailure::TooLarge:
        return FileReadResult::TooLarge;
    case FileFailure::TimedOut:
        return FileReadResult::TimedOut;
    case FileFailure::Cancelled:
        return FileReadResult::Cancelled;
    case FileFailure::NoSpace:
    case FileFailure::Denied:
    case FileFailure::Exists:
    case FileFailure::Io:
        break;
    }
    return FileReadResult::Failed;
}

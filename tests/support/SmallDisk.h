#pragma once

#include <QString>
#include <QTemporaryDir>

// A folder on a disk of its own that a test can fill to the last byte: a small tmpfs
// mounted for the test when the system allows it (as root), else an ordinary folder
// under a file size limit (RLIMIT_FSIZE), so that writes fail as on a full disk
// either way.
class SmallDisk
{
public:
    explicit SmallDisk(qint64 bytes = 512 * 1024);
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool isValid() const { return m_dir.isValid(); }
    // True when a real tmpfs is mounted at path().
    bool isMounted() const { return m_mounted; }
    QString path() const { return m_dir.path(); }
    // How the disk was made, for the test's log.
    QString kind() const;

    // Fills the disk: on a tmpfs a file takes every free byte; otherwise the process may
    // grow no file past its current size. Files already there stay readable.
    bool fill();
    // Frees the space fill() took.
    void release();
    // Makes the disk read-only: a tmpfs is mounted again read-only; an ordinary folder
    // and its files lose their write permissions (which binds everyone but root).
    bool makeReadOnly();

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
    bool m_limited = false;
    qint64 m_bytes;
};

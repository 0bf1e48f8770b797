#include "drafts/DraftStore.h"

#include "core/Messages.h"
#include "files/SafeFile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QLockFile>
#include <QSysInfo>

#include <algorithm>
#include <cstdio>

namespace {

// The first line of every draft file; the number is the format version.
const QByteArray kMagic = QByteArrayLiteral("TABULON-SZKIC 1\n");
const QString kSuffix = QStringLiteral(".szkic");

constexpr const char* kTeacher = "nauczyciel";
constexpr const char* kTopic = "zagadnienie";
constexpr const char* kChanged = "zmieniony";
constexpr const char* kAbout = "dotyczy";
constexpr const char* kInput = "dane";
constexpr const char* kDialog = "okno";

const QString kWriteFailed = QStringLiteral(
    "Nie udało się zapisać szkicu sprawozdania (%1).\rDostarcz sprawozdanie przed zamknięciem programu.");

QString lockPath(const QString& draftPath)
{
    return draftPath + QStringLiteral(".lock");
}

} // namespace

DraftStore::DraftStore(const QString& dataFolder)
    : m_folder(dataFolder.isEmpty() ? QString() : QDir(dataFolder).filePath(QStringLiteral("Szkice")))
{
}

QString DraftStore::PathOf(const QString& teacher, int topic) const
{
    // The teacher's name comes from the school's data: it only picks the file through
    // its digest and never becomes part of a path.
    const QByteArray digest =
        QCryptographicHash::hash(teacher.toUtf8(), QCryptographicHash::Sha256).toHex().left(20);
    return QDir(m_folder).filePath(QStringLiteral("szkic-%1-%2").arg(topic).arg(QString::fromLatin1(digest)) +
                                   kSuffix);
}

QByteArray DraftStore::Encode(const Draft& draft)
{
    QJsonObject o;
    o.insert(QLatin1String(kTeacher), draft.Teacher);
    o.insert(QLatin1String(kTopic), draft.Topic);
    o.insert(QLatin1String(kChanged), draft.Changed.toUTC().toString(Qt::ISODateWithMs));
    o.insert(QLatin1String(kAbout), draft.About);
    o.insert(QLatin1String(kInput), draft.Input);
    if (!draft.Dialog.isEmpty())
        o.insert(QLatin1String(kDialog), draft.Dialog);
    return kMagic + QJsonDocument(o).toJson(QJsonDocument::Indented);
}

bool DraftStore::Decode(const QByteArray& bytes, Draft* draft)
{
    if (bytes.size() > kMaxBytes || !bytes.startsWith(kMagic))
        return false;
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes.mid(kMagic.size()), &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return false;
    const QJsonObject o = doc.object();
    const QJsonValue teacher = o.value(QLatin1String(kTeacher));
    const QJsonValue topic = o.value(QLatin1String(kTopic));
    const QJsonValue about = o.value(QLatin1String(kAbout));
    const QJsonValue input = o.value(QLatin1String(kInput));
    const QJsonValue dialog = o.value(QLatin1String(kDialog));
    const QDateTime changed =
        QDateTime::fromString(o.value(QLatin1String(kChanged)).toString(), Qt::ISODateWithMs);
    if (!teacher.isString() || !topic.isDouble() || !about.isString() || !input.isObject() ||
        !changed.isValid() || !(dialog.isUndefined() || dialog.isObject()))
        return false;
    draft->Teacher = teacher.toString();
    draft->Topic = topic.toInt(-1);
    draft->Changed = changed.toLocalTime();
    draft->About = about.toString();
    draft->Input = input.toObject();
    draft->Dialog = dialog.toObject();
    return true;
}

DraftStore::Found DraftStore::Read(const QString& teacher, int topic, Draft* draft, QString* setAside) const
{
    if (!IsUsable())
        return Found::None;
    const QString path = PathOf(teacher, topic);
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return Found::None;

    // The same cap as when it is written; a link planted in the folder is never
    // followed: it counts as a damaged draft.
    QByteArray bytes;
    const bool good = SafeFile::Read(path, kMaxBytes, &bytes).ok() && Decode(bytes, draft) &&
                      draft->Teacher == teacher && draft->Topic == topic;
    if (good)
        return Found::Draft;

    // Set aside under a name of its own, so that it can still be looked at; a second
    // damaged draft in the same second gets the next free number.
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside = path + QStringLiteral(".uszkodzony-") + stamp;
    for (int n = 2; QFileInfo(aside).exists() || QFileInfo(aside).isSymLink(); ++n)
        aside = path + QStringLiteral(".uszkodzony-%1-%2").arg(stamp).arg(n);
    if (!QFile::rename(path, aside))
        QFile::remove(path); // not even a rename: it must not be offered again
    if (setAside)
        *setAside = aside;
    return Found::Damaged;
}

bool DraftStore::Write(const Draft& draft, QString* error) const
{
    const QFileInfo folder(m_folder);
    if (!IsUsable() || folder.isSymLink() || (!folder.exists() && !QDir().mkpath(m_folder)) ||
        !QFileInfo(m_folder).isDir()) {
        if (error)
            *error = QStringLiteral("nie można utworzyć folderu Szkice");
        return false;
    }
    const QByteArray bytes = Encode(draft);
    // A draft that could not be read back is not written either.
    if (bytes.size() > kMaxBytes) {
        if (error)
            *error = QStringLiteral("szkic przekracza %1 MB").arg(kMaxBytes / (1024 * 1024));
        return false;
    }
    const FileResult written = SafeFile::Write(PathOf(draft.Teacher, draft.Topic), bytes, SafeFile::Access::Private);
    if (!written && error)
        *error = FileFailureText(written);
    return written.ok();
}

namespace {

// The draft's lock for one removal or move, when this program does not hold it
// already; false when another living program does.
bool lockForChange(const QString& draftPath, bool heldHere, std::unique_ptr<QLockFile>* lock)
{
    if (heldHere)
        return true;
    *lock = std::make_unique<QLockFile>(lockPath(draftPath));
    (*lock)->setStaleLockTime(0);
    return (*lock)->tryLock(0);
}

} // namespace

bool DraftStore::Remove(const QString& teacher, int topic, bool heldHere) const
{
    if (!IsUsable())
        return false;
    const QString path = PathOf(teacher, topic);
    std::unique_ptr<QLockFile> lock;
    if (!QFileInfo::exists(path) || !lockForChange(path, heldHere, &lock))
        return false;
    return QFile::remove(path);
}

QString DraftStore::DiscardedFolder() const
{
    return IsUsable() ? QDir(m_folder).filePath(QStringLiteral("Odrzucone")) : QString();
}

bool DraftStore::Discard(const QString& teacher, int topic, bool heldHere) const
{
    if (!IsUsable())
        return false;
    const QString path = PathOf(teacher, topic);
    if (!QFileInfo::exists(path))
        return true;
    std::unique_ptr<QLockFile> lock;
    if (!lockForChange(path, heldHere, &lock))
        return false;
    if (!SafeFile::MakeFolder(DiscardedFolder(), SafeFile::Access::Private))
        return false;
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QString base = QFileInfo(path).completeBaseName() + QLatin1Char('-') + stamp;
    QString target;
    // The name is claimed first, so that two discards in one second both stay.
    if (!SafeFile::ClaimNew(DiscardedFolder(), base, kSuffix, 1000, &target, SafeFile::Access::Private))
        return false;
    // rename() replaces the empty claimed file in one step.
    if (std::rename(QFile::encodeName(path).constData(), QFile::encodeName(target).constData()) != 0) {
        QFile::remove(target);
        return false;
    }
    SafeFile::SyncFolder(DiscardedFolder());
    PruneDiscarded();
    return true;
}

void DraftStore::PruneDiscarded() const
{
    if (!IsUsable())
        return;
    QDir folder(DiscardedFolder());
    if (!folder.exists())
        return;
    // Newest first; whatever is too old or past the cap goes.
    const QFileInfoList files =
        folder.entryInfoList({QStringLiteral("*") + kSuffix}, QDir::Files | QDir::System, QDir::Time);
    const QDateTime oldest = QDateTime::currentDateTime().addDays(-kDiscardedDays);
    qint64 kept = 0;
    for (const QFileInfo& file : files) {
        kept += file.size();
        if (file.lastModified() < oldest || kept > kDiscardedMaxBytes)
            QFile::remove(file.filePath());
    }
}

QList<Draft> DraftStore::All() const
{
    QList<Draft> drafts;
    if (!IsUsable())
        return drafts;
    const QFileInfoList files =
        QDir(m_folder).entryInfoList({QStringLiteral("szkic-*") + kSuffix}, QDir::Files, QDir::Time);
    for (const QFileInfo& file : files) {
        if (drafts.size() >= 20)
            break;
        QByteArray bytes;
        Draft draft;
        if (SafeFile::Read(file.filePath(), kMaxBytes, &bytes).ok() && Decode(bytes, &draft) &&
            PathOf(draft.Teacher, draft.Topic) == file.filePath())
            drafts << draft;
    }
    std::sort(drafts.begin(), drafts.end(),
              [](const Draft& a, const Draft& b) { return a.Changed > b.Changed; });
    return drafts;
}

// ---- DraftKeeper ----------------------------------------------------------------

DraftKeeper::DraftKeeper(Collect collect, QObject* parent) : QObject(parent), m_collect(std::move(collect))
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(kDelayMs);
    m_longest.setSingleShot(true);
    m_longest.setInterval(kLongestDelayMs);
    connect(&m_timer, &QTimer::timeout, this, [this] { WriteNow(); });
    connect(&m_longest, &QTimer::timeout, this, [this] { WriteNow(); });
}

DraftKeeper::~DraftKeeper()
{
    // Killed or not, what is on disk stays: only the lock goes.
    m_timer.stop();
    m_longest.stop();
}

DraftKeeper::Lock DraftKeeper::Begin(const DraftStore& store, const QString& teacher, int topic)
{
    End();
    m_holder.clear();
    if (!store.IsUsable() || !QDir().mkpath(store.Folder()))
        return Lock::Failed;
    auto lock = std::make_unique<QLockFile>(lockPath(store.PathOf(teacher, topic)));
    // A lock left by a program that has ended on this computer is taken over; a
    // living one is not, and neither is one of another computer (its program may
    // still run there on the shared home folder).
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        qint64 pid = 0;
        QString host;
        QString application;
        if (lock->error() == QLockFile::LockFailedError && lock->getLockInfo(&pid, &host, &application) &&
            !host.isEmpty() && host != QSysInfo::machineHostName()) {
            m_holder = host;
            return Lock::OtherMachine;
        }
        return Lock::Busy;
    }
    m_store = store;
    m_teacher = teacher;
    m_topic = topic;
    m_lock = std::move(lock);
    m_written = {};
    m_toldFailure = false;
    return Lock::Taken;
}

DraftKeeper::Lock DraftKeeper::TakeOver(const DraftStore& store, const QString& teacher, int topic)
{
    QLockFile stale(lockPath(store.PathOf(teacher, topic)));
    stale.setStaleLockTime(0);
    if (!stale.tryLock(0))
        stale.removeStaleLockFile();
    else
        stale.unlock();
    return Begin(store, teacher, topic);
}

void DraftKeeper::Changed()
{
    if (!IsKeeping())
        return;
    m_timer.start();
    // The first change not yet written sets the latest moment of writing.
    if (!m_longest.isActive())
        m_longest.start();
}

void DraftKeeper::Flush()
{
    if (IsKeeping() && m_timer.isActive())
        WriteNow();
}

void DraftKeeper::End()
{
    Flush();
    m_timer.stop();
    m_longest.stop();
    m_lock.reset();
    m_store.reset();
}

void DraftKeeper::Discard()
{
    m_timer.stop();
    m_longest.stop();
    if (m_store && m_lock)
        m_store->Discard(m_teacher, m_topic, true);
    m_lock.reset();
    m_store.reset();
}

void DraftKeeper::Remove()
{
    m_timer.stop();
    m_longest.stop();
    if (m_store && m_lock)
        m_store->Remove(m_teacher, m_topic, true);
    m_lock.reset();
    m_store.reset();
}

void DraftKeeper::WriteNow()
{
    m_timer.stop();
    m_longest.stop();
    if (!m_store)
        return;
    std::optional<Draft> draft = m_collect();
    if (!draft) {
        m_store->Remove(m_teacher, m_topic, true);
        m_written = {};
        return;
    }
    const QJsonObject both{{QStringLiteral("dane"), draft->Input}, {QStringLiteral("okno"), draft->Dialog}};
    if (both == m_written && QFileInfo::exists(m_store->PathOf(m_teacher, m_topic)))
        return;
    draft->Teacher = m_teacher;
    draft->Topic = m_topic;
    draft->Changed = QDateTime::currentDateTime();
    QString error;
    if (m_store->Write(*draft, &error)) {
        m_written = both;
        return;
    }
    // Once per editor opening: the teacher must know, but not at every keystroke.
    if (!m_toldFailure) {
        m_toldFailure = true;
        ShowMessage(KindNotice, IconWarning, kWriteFailed.arg(error));
    }
}

#include "editors/DraftStore.h"

#include "shell/Messages.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QLockFile>
#include <QSaveFile>

namespace {

// The first line of every draft file; the number is the format version.
const QByteArray kMagic = QByteArrayLiteral("TABULON-SZKIC 1\n");
const QString kSuffix = QStringLiteral(".szkic");

constexpr const char* kTeacher = "nauczyciel";
constexpr const char* kTopic = "zagadnienie";
constexpr const char* kChanged = "zmieniony";
constexpr const char* kAbout = "dotyczy";
constexpr const char* kInput = "dane";

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
    const QDateTime changed =
        QDateTime::fromString(o.value(QLatin1String(kChanged)).toString(), Qt::ISODateWithMs);
    if (!teacher.isString() || !topic.isDouble() || !about.isString() || !input.isObject() ||
        !changed.isValid())
        return false;
    draft->Teacher = teacher.toString();
    draft->Topic = topic.toInt(-1);
    draft->Changed = changed.toLocalTime();
    draft->About = about.toString();
    draft->Input = input.toObject();
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

    bool good = false;
    // A link planted in the folder is never followed: it counts as a damaged draft.
    if (info.isFile() && !info.isSymLink() && info.size() <= kMaxBytes) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) {
            good =
                Decode(file.read(kMaxBytes + 1), draft) && draft->Teacher == teacher && draft->Topic == topic;
        }
    }
    if (good)
        return Found::Draft;

    // Set aside under a name of its own, so that it can still be looked at.
    const QString aside = path + QStringLiteral(".uszkodzony-") +
                          QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
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
    const QString path = PathOf(draft.Teacher, draft.Topic);
    // The new file is renamed over the name; a link there is replaced, never followed.
    if (QFileInfo(path).isSymLink())
        QFile::remove(path);
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly) || file.write(Encode(draft)) < 0 || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

void DraftStore::Remove(const QString& teacher, int topic) const
{
    if (IsUsable())
        QFile::remove(PathOf(teacher, topic));
}

// ---- DraftKeeper ----------------------------------------------------------------

DraftKeeper::DraftKeeper(Collect collect, QObject* parent) : QObject(parent), m_collect(std::move(collect))
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(kDelayMs);
    connect(&m_timer, &QTimer::timeout, this, [this] { WriteNow(); });
}

DraftKeeper::~DraftKeeper()
{
    // Killed or not, what is on disk stays: only the lock goes.
    m_timer.stop();
}

bool DraftKeeper::Begin(const DraftStore& store, const QString& teacher, int topic)
{
    End();
    if (!store.IsUsable() || !QDir().mkpath(store.Folder()))
        return false;
    auto lock = std::make_unique<QLockFile>(lockPath(store.PathOf(teacher, topic)));
    // A lock left by a program that has ended is taken over; a living one is not.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        return false;
    m_store = store;
    m_teacher = teacher;
    m_topic = topic;
    m_lock = std::move(lock);
    m_written = {};
    m_toldFailure = false;
    return true;
}

void DraftKeeper::Changed()
{
    if (IsKeeping())
        m_timer.start();
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
    m_lock.reset();
    m_store.reset();
}

void DraftKeeper::Discard()
{
    m_timer.stop();
    if (m_store)
        m_store->Remove(m_teacher, m_topic);
    m_lock.reset();
    m_store.reset();
}

void DraftKeeper::WriteNow()
{
    m_timer.stop();
    if (!m_store)
        return;
    std::optional<Draft> draft = m_collect();
    if (!draft) {
        m_store->Remove(m_teacher, m_topic);
        m_written = {};
        return;
    }
    if (draft->Input == m_written && QFileInfo::exists(m_store->PathOf(m_teacher, m_topic)))
        return;
    draft->Teacher = m_teacher;
    draft->Topic = m_topic;
    draft->Changed = QDateTime::currentDateTime();
    QString error;
    if (m_store->Write(*draft, &error)) {
        m_written = draft->Input;
        return;
    }
    // Once per editor opening: the teacher must know, but not at every keystroke.
    if (!m_toldFailure) {
        m_toldFailure = true;
        ShowMessage(KindNotice, IconWarning, kWriteFailed.arg(error));
    }
}

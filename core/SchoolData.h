#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// The school's own data as the three data files in DataFolder give it: the classes
// with their pupils, the teachers and the subjects, all in file order. The rest of
// the program only reads it.

using _Uczen = QString; // a pupil: only the name, as the school writes it

struct _Klasa
{
    QList<_Uczen> Pupils; // PupilCount entries
    QString Op;           // "1": the class's pupils get no numeric average
    qint32 PupilCount = 0;
    QString Name;
};

struct _Belfer
{
    QString FirstName;
    QString Surname;

    // Surname, one blank, first name: the teacher list's text and TeacherName.
    QString DisplayName() const { return Surname + QLatin1Char(' ') + FirstName; }
};

using _Szkola = QList<_Klasa>;       // the classes; index 0 is "Klasa1"
using _Nauczyciele = QList<_Belfer>; // the teachers
using _Przedmioty = QStringList;     // the subject names

struct SchoolData
{
    _Szkola Classes;
    _Nauczyciele Teachers;
    _Przedmioty Subjects;
};

// The one instance, living for the whole run.
SchoolData& schoolData();

inline const QString kTeachersFile = QStringLiteral("nauczyciele.kbs");
inline const QString kSubjectsFile = QStringLiteral("przedmioty.kps");
inline const QString kClassesFile = QStringLiteral("uczniowie.kls");

// Counts above these bounds fail the file as a damaged one instead of exhausting
// memory: at most this many teachers, subjects, classes, or pupils in one class, and
// this many pupils in all classes together.
constexpr int kMaxDataCount = 10000;
constexpr int kMaxPupilsTotal = 100000;

// What a loader found besides its answer, for the administrator's tool.
struct DataFileStatus
{
    bool wellFormed = true; // the XML reader accepted the whole file
    bool complete = true;   // the file did not end inside an open element
    bool encoded = false;   // values were stored encoded
    QString reason;         // why the file failed, in Polish; empty on success
};

// Per-file loaders: read the file at `path` into `data` (only the file's own list is
// replaced, and only on success). A missing file, a missing count or one that is not
// a decimal number within the bounds above fails the file.
bool LoadTeachers(const QString& path, SchoolData& data, DataFileStatus* status = nullptr);
bool LoadSubjects(const QString& path, SchoolData& data, DataFileStatus* status = nullptr);
bool LoadClasses(const QString& path, SchoolData& data, DataFileStatus* status = nullptr);

enum class DataFileKind
{
    Teachers,
    Subjects,
    Classes
};

// The same from the bytes of a file already read.
bool LoadDataBuffer(DataFileKind kind, QByteArrayView bytes, SchoolData& data,
                    DataFileStatus* status = nullptr);

// Loads the three files from appState().DataFolder into schoolData() and rebuilds
// TeacherNames and SubjectNames. On the first failure `repair`, when given, may put
// other files in place (telling the user itself) and answer true, and the load is
// tried once more; a failure that remains is shown to the user once, in the words of
// the work mode.
bool LoadSchoolData(const std::function<bool()>& repair = {});

// Text that is an optional sign followed by decimal digits and fits 32 bits.
bool ParseDataInteger(const QString& text, qint32* value);

#include "core/SchoolData.h"

#include "core/AppState.h"
#include "core/DataFileReader.h"
#include "core/Messages.h"
#include "files/SafeFile.h"

#include <limits>
#include <new>

namespace {

QString quoted(const QString& text)
{
    return QStringLiteral("„") + text + QStringLiteral("”");
}

// Reads a count element; on failure fills `reason` with what was wrong with it.
// `describe` names the count; it is asked only on failure, as a large school's good
// load reads hundreds of counts.
template <typename Describe>
bool readCount(const DataFileReader& reader, const TpkXMLNode* node, Describe describe, int* count,
               QString* reason)
{
    const QString text = reader.ReadValue(node);
    qint32 value = 0;
    const bool isNumber = !text.isEmpty() && ParseDataInteger(text, &value);
    if (isNumber && value >= 0 && value <= kMaxDataCount) {
        *count = value;
        return true;
    }
    const QString what = describe();
    if (text.isEmpty())
        *reason = QStringLiteral("brak liczby %1").arg(what);
    else if (!isNumber)
        *reason = QStringLiteral("liczba %1 nie jest liczbą dziesiętną: %2").arg(what, quoted(text));
    else
        *reason = QStringLiteral("liczba %1 poza zakresem 0–%2: %3").arg(what).arg(kMaxDataCount).arg(value);
    return false;
}

// The part common to the three loaders: parse the bytes and note what the reader said.
void openBuffer(DataFileReader& reader, QByteArrayView bytes, const QString& top, DataFileStatus& status)
{
    status.wellFormed = reader.load(bytes, top);
    status.complete = !reader.endedInsideElement();
    status.encoded = reader.ValuesEncoded;
}

bool finish(bool ok, DataFileStatus& local, DataFileStatus* status)
{
    if (status)
        *status = local;
    return ok;
}

void reportFailure()
{
    const QString text = appState().Settings.WorkMode == kWorkModeHome
                             ? QStringLiteral("Pliki danych są uszkodzone.\rProgram nie może działać. "
                                              "Zainstaluj program ponownie.")
                             : QStringLiteral("Pliki danych są niedostępne lub uszkodzone.\rProgram nie może "
                                              "działać.\rSkontaktuj się z administratorem sieci.");
    ShowMessage(KindNotice, IconInformation, text);
}

} // namespace

SchoolData& schoolData()
{
    static SchoolData data;
    return data;
}

bool ParseDataInteger(const QString& text, qint32* value)
{
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    if (i == text.size())
        return false;
    qint64 n = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return false;
        n = n * 10 + (c - u'0');
        if (n > qint64(1) << 31)
            return false;
    }
    if (negative)
        n = -n;
    if (n < std::numeric_limits<qint32>::min() || n > std::numeric_limits<qint32>::max())
        return false;
    *value = static_cast<qint32>(n);
    return true;
}

namespace {

bool readTeachers(QByteArrayView bytes, SchoolData& data, DataFileStatus* status)
{
    DataFileStatus local;
    DataFileReader reader;
    openBuffer(reader, bytes, QStringLiteral("Belfry"), local);
    const TpkXMLNode* top = reader.top();
    int count = 0;
    if (!readCount(reader, DataFileReader::find(top, QStringLiteral("Ilosc")),
                   [] { return QStringLiteral("nauczycieli („Ilosc”)"); }, &count, &local.reason))
        return finish(false, local, status);
    _Nauczyciele teachers(count);
    const auto numbered = DataFileReader::numbered(top, u"Belfer", count);
    for (int i = 0; i < count; ++i) {
        const TpkXMLNode* teacher = numbered[i + 1];
        teachers[i].Surname = reader.ReadValue(DataFileReader::find(teacher, QStringLiteral("Nzw")));
        teachers[i].FirstName = reader.ReadValue(DataFileReader::find(teacher, QStringLiteral("Im")));
    }
    data.Teachers = std::move(teachers);
    return finish(true, local, status);
}

bool readSubjects(QByteArrayView bytes, SchoolData& data, DataFileStatus* status)
{
    DataFileStatus local;
    DataFileReader reader;
    openBuffer(reader, bytes, QStringLiteral("Przedmioty"), local);
    const TpkXMLNode* top = reader.top();
    int count = 0;
    if (!readCount(reader, DataFileReader::find(top, QStringLiteral("Ilosc")),
                   [] { return QStringLiteral("przedmiotów („Ilosc”)"); }, &count, &local.reason))
        return finish(false, local, status);
    _Przedmioty subjects;
    subjects.reserve(count);
    const auto numbered = DataFileReader::numbered(top, u"Przedm", count);
    for (int i = 0; i < count; ++i)
        subjects.append(reader.ReadValue(numbered[i + 1]));
    data.Subjects = std::move(subjects);
    return finish(true, local, status);
}

bool readClasses(QByteArrayView bytes, SchoolData& data, DataFileStatus* status)
{
    DataFileStatus local;
    DataFileReader reader;
    openBuffer(reader, bytes, QStringLiteral("Szkola"), local);
    const TpkXMLNode* top = reader.top();
    int count = 0;
    if (!readCount(reader, DataFileReader::find(top, QStringLiteral("IloscKlas")),
                   [] { return QStringLiteral("klas („IloscKlas”)"); }, &count, &local.reason))
        return finish(false, local, status);
    _Szkola classes(count);
    qint64 pupilsTotal = 0;
    const auto numbered = DataFileReader::numbered(top, u"Klasa", count);
    for (int k = 0; k < count; ++k) {
        _Klasa& c = classes[k];
        const TpkXMLNode* node = numbered[k + 1];
        c.Name = reader.ReadValue(DataFileReader::find(node, u"Nazwa"));
        c.Op = reader.ReadValue(DataFileReader::find(node, u"Op"));
        int pupils = 0;
        const auto what = [k] { return QStringLiteral("uczniów klasy %1 („Klasa%1/IleUczniow”)").arg(k + 1); };
        if (!readCount(reader, DataFileReader::find(node, u"IleUczniow"), what, &pupils, &local.reason))
            return finish(false, local, status);
        pupilsTotal += pupils;
        if (pupilsTotal > kMaxPupilsTotal) {
            local.reason = QStringLiteral("łączna liczba uczniów przekracza %1").arg(kMaxPupilsTotal);
            return finish(false, local, status);
        }
        c.PupilCount = pupils;
        c.Pupils.reserve(pupils);
        const auto pupilNodes = DataFileReader::numbered(node, u"Uczen", pupils);
        for (int m = 0; m < pupils; ++m)
            c.Pupils.append(reader.ReadValue(pupilNodes[m + 1]));
    }
    data.Classes = std::move(classes);
    return finish(true, local, status);
}

} // namespace

bool LoadDataBuffer(DataFileKind kind, QByteArrayView bytes, SchoolData& data, DataFileStatus* status)
{
    switch (kind) {
    case DataFileKind::Teachers:
        return readTeachers(bytes, data, status);
    case DataFileKind::Subjects:
        return readSubjects(bytes, data, status);
    case DataFileKind::Classes:
        return readClasses(bytes, data, status);
    }
    return false;
}

namespace {

// The data files are a few megabytes at most; this bound only keeps a hostile file
// from taking all memory.
constexpr qint64 kMaxDataFileBytes = 64 * 1024 * 1024;

bool loadFile(DataFileKind kind, const QString& path, SchoolData& data, DataFileStatus* status)
{
    QByteArray bytes;
    const FileResult read = SafeFile::Read(path, kMaxDataFileBytes, &bytes);
    if (!read) {
        if (status) {
            *status = DataFileStatus{};
            status->reason = read.failure == FileFailure::Missing
                                 ? QStringLiteral("brak pliku")
                                 : QStringLiteral("nie można odczytać pliku: ") + FileFailureText(read);
        }
        return false;
    }
    return LoadDataBuffer(kind, bytes, data, status);
}

} // namespace

bool LoadTeachers(const QString& path, SchoolData& data, DataFileStatus* status)
{
    return loadFile(DataFileKind::Teachers, path, data, status);
}

bool LoadSubjects(const QString& path, SchoolData& data, DataFileStatus* status)
{
    return loadFile(DataFileKind::Subjects, path, data, status);
}

bool LoadClasses(const QString& path, SchoolData& data, DataFileStatus* status)
{
    return loadFile(DataFileKind::Classes, path, data, status);
}

namespace {

// The three files in order, each replacing its list; false at the first failure.
bool loadAll(AppState& state, SchoolData& data)
{
    if (!LoadTeachers(state.DataFolder + kTeachersFile, data))
        return false;
    state.TeacherNames.clear();
    for (const _Belfer& t : std::as_const(data.Teachers))
        state.TeacherNames.append(t.DisplayName());
    if (!LoadSubjects(state.DataFolder + kSubjectsFile, data))
        return false;
    state.SubjectNames = data.Subjects;
    return LoadClasses(state.DataFolder + kClassesFile, data);
}

} // namespace

bool LoadSchoolData(const std::function<bool()>& repair)
{
    AppState& state = appState();
    SchoolData& data = schoolData();
    try {
        if (loadAll(state, data) || (repair && repair() && loadAll(state, data)))
            return true;
    } catch (...) {
        // Whatever escapes the loaders (memory above all) is a file that cannot be read.
    }
    reportFailure();
    return false;
}

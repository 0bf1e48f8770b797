// Time to write a report of a class: the class classification and the failing-grade
// justifications, for a usual class and for a far larger one, every pupil listed and
// every justification different (nothing to group, the most elements). Also the time to
// mend an overlong report file name, which must grow with the name's length, no faster.
#include "core/AppState.h"
#include "core/KlasaFull.h"
#include "document/ReportFileName.h"
#include "document/ReportRoutines.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>

namespace {

_KlasaFull makeClass(int pupils)
{
    QStringList names;
    for (int i = 0; i < pupils; ++i)
        names << QStringLiteral("Nazwisko%1 Imię").arg(i);
    _KlasaFull sheet;
    sheet.LoadClassSheet(QStringLiteral("IIIb"), names);
    for (int i = 0; i < pupils; ++i) {
        _UczenFull& u = sheet.Rows[i];
        u.FullAttendance = i % 2 == 0;
        u.Average = 475 + i % 125;
        u.FailSubjects = QStringLiteral("Matematyka, Fizyka");
        u.FailJustification =
            QStringLiteral("Uczeń %1 nie zaliczył sprawdzianów.&Liczne nieobecności.&&Brak zadań.&").arg(i);
    }
    return sheet;
}

double secondsPerReport(int pupils, int runs, bool justifications, AppState& state)
{
    _KlasaFull sheet = makeClass(pupils);
    const QDateTime now = QDateTime::currentDateTime();
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < runs; ++i) {
        const bool ok =
            justifications
                ? WriteUzasadnienieReport({QStringLiteral("Fizyka"), QStringLiteral("IIIb")}, sheet, state,
                                          now)
                : WriteWerdykonReport({QStringLiteral("IIIb"), QStringLiteral("30"), QStringLiteral("29")},
                                      sheet, state, now);
        if (!ok)
            return -1;
    }
    return timer.nsecsElapsed() / 1e9 / runs;
}

} // namespace

int main()
{
    QTemporaryDir temp;
    AppState state;
    state.TempFolder = temp.path() + QLatin1Char('/');
    state.TeacherName = QStringLiteral("Kowalska Anna");
    state.MachineSignature = QStringLiteral("PC user OS");
    for (const int pupils : {30, 300, 1000}) {
        const int runs = pupils <= 30 ? 200 : pupils <= 300 ? 10 : 2;
        std::printf("%5d pupils: classification %8.2f ms, justifications %8.2f ms\n", pupils,
                    secondsPerReport(pupils, runs, false, state) * 1e3,
                    secondsPerReport(pupils, runs, true, state) * 1e3);
    }
    for (const int length : {1000, 100000, 1000000}) {
        const QString typed = QString(length, QChar(0x0105)); // "ą": two bytes each
        QElapsedTimer timer;
        timer.start();
        const QString name = SafeFileName(typed);
        std::printf("file name of %7d characters shortened to %lld in %8.3f ms\n", length,
                    static_cast<long long>(name.size()), timer.nsecsElapsed() / 1e6);
    }
    return 0;
}

#include "core/SchoolData.h"
#include "support/TestPaths.h"

#include <QRegularExpression>
#include <QSet>
#include <QTest>

// The demo school must load as the program loads a school's files, stay within the
// size the demo promises, and its update must really differ from it.
class TestDemoSchool : public QObject
{
    Q_OBJECT

    static SchoolData load(const QString& folder)
    {
        SchoolData data;
        const QString base = TestPaths::sourceDir() + QStringLiteral("/demo/") + folder + QLatin1Char('/');
        DataFileStatus status;
        if (!LoadTeachers(base + kTeachersFile, data, &status))
            qWarning("%s", qPrintable(status.reason));
        if (!LoadSubjects(base + kSubjectsFile, data, &status))
            qWarning("%s", qPrintable(status.reason));
        if (!LoadClasses(base + kClassesFile, data, &status))
            qWarning("%s", qPrintable(status.reason));
        return data;
    }

private Q_SLOTS:
    void schoolHasTheSizeTheDemoPromises()
    {
        const SchoolData school = load(QStringLiteral("school"));
        QCOMPARE(school.Teachers.size(), 30);
        QCOMPARE(school.Subjects.size(), 15);
        QCOMPARE(school.Classes.size(), 8);
        int withoutAverages = 0;
        for (const _Klasa& klasa : school.Classes) {
            QVERIFY2(klasa.PupilCount >= 20 && klasa.PupilCount <= 30, qPrintable(klasa.Name));
            QCOMPARE(klasa.Pupils.size(), klasa.PupilCount);
            // Pupil names are unique within a class: the editors find pupils by name.
            QCOMPARE(QSet<QString>(klasa.Pupils.begin(), klasa.Pupils.end()).size(), klasa.Pupils.size());
            for (const QString& pupil : klasa.Pupils)
                QVERIFY(!pupil.trimmed().isEmpty());
            if (klasa.Op == QLatin1String("1"))
                ++withoutAverages;
        }
        QCOMPARE(withoutAverages, 1);
        QStringList names;
        for (const _Belfer& teacher : school.Teachers)
            names << teacher.DisplayName();
        QCOMPARE(QSet<QString>(names.begin(), names.end()).size(), names.size());
        // Polish letters survive the 8-bit files.
        QVERIFY(names.join(QString()).contains(QRegularExpression(QStringLiteral("[ąćęłńóśźżĄĆĘŁŃÓŚŹŻ]"))));
    }

    void updateAddsToEveryFile()
    {
        const SchoolData school = load(QStringLiteral("school"));
        const SchoolData update = load(QStringLiteral("update"));
        QCOMPARE(update.Teachers.size(), school.Teachers.size() + 1);
        QCOMPARE(update.Subjects.size(), school.Subjects.size() + 1);
        QCOMPARE(update.Classes.size(), school.Classes.size());
        int pupils = 0, updatedPupils = 0;
        for (int i = 0; i < school.Classes.size(); ++i) {
            QCOMPARE(update.Classes.at(i).Name, school.Classes.at(i).Name);
            pupils += school.Classes.at(i).PupilCount;
            updatedPupils += update.Classes.at(i).PupilCount;
        }
        QCOMPARE(updatedPupils, pupils + 1);
    }
};

QTEST_GUILESS_MAIN(TestDemoSchool)
#include "tst_demoschool.moc"

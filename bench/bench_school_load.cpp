// Loads a large generated school (400 classes of 35 pupils, 200 teachers, 40 subjects)
// the way start-up does, plain and encoded, and compares the plain load with the time
// pugixml takes to parse the same three files.

#include "bench/GeneratedSchool.h"
#include "core/SchoolData.h"
#include "encoding/PKXML.h"
#include "encoding/ValueCipher.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <pugixml.hpp>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

using namespace GeneratedSchool;

constexpr int kRounds = 30;

// The best of several runs of each, in milliseconds. The runs take turns, so that a
// slow spell of the machine falls on all of them alike and the ratios hold.
std::vector<double> bestOfEach(const std::vector<std::function<bool()>>& runs)
{
    std::vector<double> best(runs.size(), 1e9);
    for (int i = 0; i < kRounds; ++i) {
        for (size_t r = 0; r < runs.size(); ++r) {
            QElapsedTimer timer;
            timer.start();
            if (!runs[r]()) {
                std::fprintf(stderr, "bench: load failed\n");
                best[r] = -1;
                continue;
            }
            if (best[r] >= 0)
                best[r] = std::min(best[r], timer.nsecsElapsed() / 1e6);
        }
    }
    return best;
}

bool loadSchool(const QString& folder)
{
    SchoolData d;
    const QDir dir(folder);
    return LoadTeachers(dir.filePath(kTeachersFile), d) && LoadSubjects(dir.filePath(kSubjectsFile), d) &&
           LoadClasses(dir.filePath(kClassesFile), d) && d.Classes.size() == kClasses &&
           d.Classes.last().Pupils.size() == kPupils;
}

bool treeParse(const QString& folder)
{
    const QDir dir(folder);
    for (const QString& f : {kTeachersFile, kSubjectsFile, kClassesFile}) {
        TpkXML xml;
        if (!xml.LoadFromFile(dir.filePath(f)))
            return false;
    }
    return true;
}

bool pugiParse(const QString& folder)
{
    const QDir dir(folder);
    for (const QString& f : {kTeachersFile, kSubjectsFile, kClassesFile}) {
        pugi::xml_document doc;
        if (!doc.load_file(QFile::encodeName(dir.filePath(f)).constData(), pugi::parse_default,
                           pugi::encoding_latin1))
            return false;
    }
    return true;
}

} // namespace

int main()
{
    QTemporaryDir tmp;
    const QString plain = tmp.filePath(QStringLiteral("plain"));
    const QString encoded = tmp.filePath(QStringLiteral("encoded"));
    QDir().mkpath(plain);
    QDir().mkpath(encoded);
    WriteGeneratedSchool(
        plain, [](const QString& v) { return v; }, false);
    WriteGeneratedSchool(
        encoded, [](const QString& v) { return EncodeValue(v); }, true);

    const qint64 size = QFileInfo(QDir(plain).filePath(kClassesFile)).size();
    const std::vector<double> best =
        bestOfEach({[&] { return pugiParse(plain); }, [&] { return treeParse(plain); },
                    [&] { return loadSchool(plain); }, [&] { return loadSchool(encoded); }});
    const double pugi = best[0];
    const double tree = best[1];
    const double ours = best[2];
    const double enc = best[3];
    std::printf("school: %d classes x %d pupils, %d teachers, %d subjects (%lld bytes of classes)\n",
                kClasses, kPupils, kTeachers, kSubjects, static_cast<long long>(size));
    std::printf("pugixml parse, plain files:  %8.2f ms\n", pugi);
    std::printf("XML tree parse, plain files: %8.2f ms  (%.2fx pugixml)\n", tree, tree / pugi);
    std::printf("school load, plain files:    %8.2f ms  (%.2fx pugixml; target within 3x)\n", ours,
                ours / pugi);
    std::printf("school load, encoded files:  %8.2f ms  (target under 50 ms)\n", enc);
    return 0;
}

// Loads a large generated school (400 classes of 35 pupils, 200 teachers, 40 subjects)
// the way start-up does, plain and encoded, and compares the plain load with the time
// pugixml takes to parse the same three files.

#include "document/PKXML.h"
#include "document/TextCodec.h"
#include "document/ValueCipher.h"
#include "shell/SchoolData.h"

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

constexpr int kClasses = 400;
constexpr int kPupils = 35;
constexpr int kTeachers = 200;
constexpr int kSubjects = 40;
constexpr int kRounds = 30;

using Encoder = std::function<QString(const QString&)>;

QString leaf(const QString& indent, const QString& name, const QString& value)
{
    return indent + QLatin1Char('<') + name + QLatin1Char('>') + value + QStringLiteral("</") + name +
           QStringLiteral(">\r\n");
}

void write(const QString& path, const QString& text)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(TextCodec::toCp1250(text)) < 0)
        std::fprintf(stderr, "bench: cannot write %s\n", qPrintable(path));
}

void writeSchool(const QString& folder, const Encoder& enc, bool encoded)
{
    const QString head = QStringLiteral("<?xml version=\"1.0\" encoding=\"windows-1250\"?>\r\n");
    const QString code =
        encoded ? leaf(QStringLiteral("  "), QStringLiteral("Code"), enc(QStringLiteral("True"))) : QString();
    QString t = head + QStringLiteral("<Belfry>\r\n") + code +
                leaf(QStringLiteral("  "), QStringLiteral("Ilosc"), enc(QString::number(kTeachers)));
    for (int i = 1; i <= kTeachers; ++i)
        t +=
            QStringLiteral("  <Belfer%1>\r\n").arg(i) +
            leaf(QStringLiteral("    "), QStringLiteral("Nzw"), enc(QStringLiteral("Wiśniewska-%1").arg(i))) +
            leaf(QStringLiteral("    "), QStringLiteral("Im"), enc(QStringLiteral("Małgorzata"))) +
            QStringLiteral("  </Belfer%1>\r\n").arg(i);
    write(QDir(folder).filePath(kTeachersFile), t + QStringLiteral("</Belfry>\r\n"));

    QString s = head + QStringLiteral("<Przedmioty>\r\n") + code +
                leaf(QStringLiteral("  "), QStringLiteral("Ilosc"), enc(QString::number(kSubjects)));
    for (int i = 1; i <= kSubjects; ++i)
        s += leaf(QStringLiteral("  "), QStringLiteral("Przedm%1").arg(i),
                  enc(QStringLiteral("Język %1").arg(i)));
    write(QDir(folder).filePath(kSubjectsFile), s + QStringLiteral("</Przedmioty>\r\n"));

    QString c = head + QStringLiteral("<Szkola>\r\n") + code +
                leaf(QStringLiteral("  "), QStringLiteral("IloscKlas"), enc(QString::number(kClasses)));
    for (int k = 1; k <= kClasses; ++k) {
        c += QStringLiteral("  <Klasa%1>\r\n").arg(k);
        c += leaf(QStringLiteral("    "), QStringLiteral("Nazwa"), enc(QStringLiteral("%1ż").arg(k)));
        c += leaf(QStringLiteral("    "), QStringLiteral("Op"), enc(QString()));
        c += leaf(QStringLiteral("    "), QStringLiteral("IleUczniow"), enc(QString::number(kPupils)));
        for (int m = 1; m <= kPupils; ++m)
            c += leaf(QStringLiteral("    "), QStringLiteral("Uczen%1").arg(m),
                      enc(QStringLiteral("Żółkiewski Łukasz %1/%2").arg(k).arg(m)));
        c += QStringLiteral("  </Klasa%1>\r\n").arg(k);
    }
    write(QDir(folder).filePath(kClassesFile), c + QStringLiteral("</Szkola>\r\n"));
}

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
    writeSchool(
        plain, [](const QString& v) { return v; }, false);
    writeSchool(
        encoded, [](const QString& v) { return EncodeValue(v); }, true);

    const qint64 size = QFileInfo(QDir(plain).filePath(kClassesFile)).size();
    const std::vector<double> best = bestOfEach({[&] { return pugiParse(plain); },
                                                 [&] { return treeParse(plain); },
                                                 [&] { return loadSchool(plain); },
                                                 [&] { return loadSchool(encoded); }});
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

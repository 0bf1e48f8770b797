#include "bench/GeneratedSchool.h"

#include "core/SchoolData.h"
#include "encoding/TextCodec.h"

#include <QDir>
#include <QFile>

#include <cstdio>

namespace {

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

} // namespace

void WriteGeneratedSchool(const QString& folder, const ValueEncoder& enc, bool encoded)
{
    using namespace GeneratedSchool;
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

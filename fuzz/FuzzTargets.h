#pragma once

#include <QByteArrayView>
#include <QList>

// The bodies of the libFuzzer targets: each feeds arbitrary bytes to one reader or
// writer of outside input and checks what must hold whatever the bytes. False when
// a check fails; a crash or a sanitizer report is a failure too. The fuzz build runs
// each as its own target (fuzz_<name>), the tests replay the kept inputs through all.
struct FuzzTarget
{
    const char* name;
    bool (*run)(QByteArrayView bytes);
};

const QList<FuzzTarget>& FuzzTargets();

// The XML reader, its writer, and the three school data loaders.
bool FuzzDataFiles(QByteArrayView bytes);
// Base64 of stored values and the value decoding.
bool FuzzValues(QByteArrayView bytes);
// The settings file as the program reads it at start-up.
bool FuzzSettings(QByteArrayView bytes);
// The version file "verinfo.inf": its lines, values and dates.
bool FuzzVersionFile(QByteArrayView bytes);
// The report mail's composition and its header encoding.
bool FuzzMail(QByteArrayView bytes);
// The mending of report file names.
bool FuzzReportFileName(QByteArrayView bytes);
// The school's collecting side from bytes to the summary page and its table: the
// bytes as a report document, as a mail, as a mailbox, and as the texts of reports
// of every topic. Fails when any text taken from the input becomes markup of the
// page or a formula of a spreadsheet (whichever separator it splits on).
bool FuzzSummary(QByteArrayView bytes);

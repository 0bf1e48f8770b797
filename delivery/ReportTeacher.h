#pragma once

#include <QString>

// The teacher of a report document prepared earlier: the text of its `Belfer`
// element, trimmed. False when the file is no readable report of this program
// (unreadable, too large, in an encoding reports are not written in, not the report's
// XML, or without a teacher), read by the same reader as the school's collection.
bool ReadReportTeacher(const QString& path, QString* teacher);

// Why a chosen file is refused for sending.
inline const QString kNotAReport = QStringLiteral(
    "Wskazany plik nie jest czytelnym sprawozdaniem przygotowanym w tym programie.\rList nie został "
    "wysłany. Wskaż właściwy plik sprawozdania.");

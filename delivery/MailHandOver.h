#pragma once

#include <QString>

#include <functional>

// The hand-over of the report to the user's own mail program: the current teacher's
// report mail, addressed to the school, with the file at `path` attached. It tells
// the user what to do, minimises the program while the mail program has the message,
// and restores it with a message when the hand-over fails. A missing file is told
// and nothing else happens; any answer but "Tak" ends it silently.
void HandToMailProgram(const QString& path, const std::function<void()>& minimise,
                       const std::function<void()>& restore);

#pragma once

#include <QString>

class QWidget;

// The file dialogs of the delivery window: where to save a report, and which report
// prepared earlier to send. Tests put their own answers in their place.
class DocumentFileDialogs
{
public:
    virtual ~DocumentFileDialogs() = default;

    // The full path the teacher chose to save under, starting from `suggestedName`;
    // empty when cancelled. A file of that name is replaced without a question.
    virtual QString ChooseSaveFile(QWidget* parent, const QString& suggestedName) = 0;

    // The full path of the chosen report file; empty when cancelled.
    virtual QString ChooseOpenFile(QWidget* parent) = 0;
};

// Where the file dialogs open: the user's documents folder, or the home folder when
// there is none.
QString ReportsFolder();

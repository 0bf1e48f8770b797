#pragma once

#include "editors/FreeTextEditor.h"

// The editor of another report for the staff-meeting minutes (topic "Inne
// sprawozdanie do protokołu"): what it concerns and the information. Each report is
// numbered from the time it is written.
class TFInne final : public FreeTextEditor
{
    Q_OBJECT

public:
    explicit TFInne(TFBrowser* preview = nullptr, QWidget* parent = nullptr);

    bool FinishReport() override;

private:
    void FormShow() override;

    QLabel* m_imRealizacja;
    QLineEdit* m_eDotyczy;
    QPlainTextEdit* m_mInfo;
};

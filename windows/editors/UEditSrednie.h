#pragma once

#include "windows/editors/EntryDialog.h"

class QLabel;
class QLineEdit;

// The average dialog: asks for the average of the pupil at CurrentPupilIndex and
// stores it in hundredths in that row of the class sheet. Shown modally by the class
// classification editor.
class TFEditSrednie final : public EntryDialog
{
    Q_OBJECT

public:
    explicit TFEditSrednie(QWidget* parent = nullptr);

    static constexpr int kWidth = 389;
    static constexpr int kHeight = 159;
    // Where the dialog lies over the class editor.
    static constexpr int kLeftOffset = 206;
    static constexpr int kTopOffset = 259;

    // Whether the last showing ended with an average stored.
    bool AverageConfirmed() const { return Confirmed(); }

    QJsonObject TypedState() const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void FormShow() override;
    void RestoreTypedState(const QJsonObject& state) override;
    void LWprowadzClick() override;

private:
    bool EWartoscSredniejKeyPress(QKeyEvent* event);

    QLabel* m_imTlo;
    QLineEdit* m_eWartoscSredniej;
    QLabel* m_lWprowadz;
    QLabel* m_lAnuluj;
};

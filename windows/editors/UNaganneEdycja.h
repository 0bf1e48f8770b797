#pragma once

#include "windows/editors/EntryDialog.h"

#include <QStringList>

class QComboBox;
class QLabel;
class QPlainTextEdit;

// The lowered conduct grade dialog: the grade ("nieodpowiednia" or "naganna") and its
// justification for one or several pupils. The caller names the pupils, fills or
// empties the memo and picks the grade, shows the dialog modally and, when it was
// confirmed, reads the typed lines and the grade left in ChosenConductGrade.
class TFEdytujZachowanie final : public EntryDialog
{
    Q_OBJECT

public:
    explicit TFEdytujZachowanie(QWidget* parent = nullptr);

    // Where the dialog lies over the main window.
    static constexpr int kLeftOffset = 153;
    static constexpr int kTopOffset = 263;

    void SetPupils(const QString& caption);
    void SetText(const QStringList& lines);
    // Chooses the grade equal to `grade`, letter case ignored; the first when none is.
    void SetGrade(const QString& grade);
    // The memo's lines as typed, never as wrapped on screen.
    QStringList TypedLines() const;

    bool ConductConfirmed() const { return Confirmed(); }

    QJsonObject TypedState() const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void FormShow() override;
    void RestoreTypedState(const QJsonObject& state) override;
    void LWprowadzClick() override;

private:
    void COcenaChange();
    void LRozwinListeClick();

    QLabel* m_imTlo;
    QLabel* m_lOsoby;
    QComboBox* m_cOcena;
    QLabel* m_lRozwinListe;
    QPlainTextEdit* m_mUzasadnienie;
    QLabel* m_lWprowadz;
    QLabel* m_lAnuluj;
};

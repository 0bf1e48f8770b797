#pragma once

#include "windows/editors/EntryDialog.h"

#include <QStringList>

class QLabel;
class QPlainTextEdit;

// The justification text dialog: a free text that justifies a failing grade, for one
// or several pupils. The caller names the pupils, fills or empties the memo, shows
// the dialog modally and, when it was confirmed, reads the typed lines.
class TFEdytujNdst final : public EntryDialog
{
    Q_OBJECT

public:
    explicit TFEdytujNdst(QWidget* parent = nullptr);

    static constexpr int kWidth = 586;
    static constexpr int kHeight = 231;
    // Where the dialog lies over the main window.
    static constexpr int kLeftOffset = 161;
    static constexpr int kTopOffset = 288;

    void SetPupils(const QString& caption);
    void SetText(const QStringList& lines);
    // The memo's lines as typed, never as wrapped on screen.
    QStringList TypedLines() const;

    bool JustificationConfirmed() const { return Confirmed(); }

    QJsonObject TypedState() const override;

protected:
    void FormShow() override;
    void RestoreTypedState(const QJsonObject& state) override;
    void LWprowadzClick() override;

private:

    QLabel* m_imTlo;
    QLabel* m_lUczniowie;
    QPlainTextEdit* m_mTekst;
    QLabel* m_lWprowadz;
    QLabel* m_lAnuluj;
};

#pragma once

#include "windows/editors/EntryDialog.h"

#include <QStringList>

class QLabel;
class QListWidget;

// The failing-subjects dialog: the teacher marks the subjects in which the pupil at
// CurrentPupilIndex has a failing grade; they are stored in that row of the class
// sheet, joined by ", ". The subject list keeps its selection between showings.
class TFEditNdst final : public EntryDialog
{
    Q_OBJECT

public:
    explicit TFEditNdst(QWidget* parent = nullptr);

    static constexpr int kWidth = 386;
    static constexpr int kHeight = 239;
    static constexpr int kLeftOffset = 208;
    static constexpr int kTopOffset = 178;

    // Replaces the subjects offered, with none selected.
    void SetSubjects(const QStringList& subjects);
    // Puts the list's focus mark on the first subject without changing the selection.
    void FocusFirstSubject();

    bool SubjectsConfirmed() const { return Confirmed(); }

    QJsonObject TypedState() const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void FormShow() override;
    void RestoreTypedState(const QJsonObject& state) override;
    void LWprowadzClick() override;

private:
    bool LPrzedmiotyKeyPress(const QKeyEvent* event);

    QLabel* m_imTlo;
    QListWidget* m_lPrzedmioty;
    QLabel* m_lWprowadz;
    QLabel* m_lAnuluj;
    bool m_syncing = false; // the check boxes follow the selection
    // A click on a subject's check box marks it or takes the mark away alone.
    bool CheckBoxClick(QEvent* event);
};

#pragma once

#include "program/ReportEditor.h"

#include <QString>
#include <QWidget>

#include <memory>

class DocumentFileDialogs;
class QLabel;

// The delivery window, the wizard's last step: saves the report into a folder of the
// teacher's choice, copies it into the school's network folder or sends it by mail to
// the school. It lies over the main window, which shows and closes it. It also asks
// for a report prepared earlier when the teacher wants to send one (`OpenPlik`).
class TFDecyzja final : public QWidget, public WizardStepWindow
{
    Q_OBJECT

public:
    // Why the network copy is dimmed in home mode (its description and tool tip).
    static const QString kNetworkWayUnavailable;

    explicit TFDecyzja(QWidget* parent = nullptr);
    ~TFDecyzja() override;

    static constexpr int kWidth = 585;
    static constexpr int kHeight = 357;
    // Where the window lies over the main window.
    static constexpr int kLeftOffset = 192;
    static constexpr int kTopOffset = 165;

    // The open dialog "Wskaż plik sprawozdania": the full path of the chosen report,
    // empty when the teacher cancels.
    QString OpenPlik();

    // Replaces the file dialogs (tests answer them); nullptr restores the real ones.
    // The window does not own them.
    void SetFileDialogs(DocumentFileDialogs* dialogs);

    void ShowStepWindow() override;
    void CloseStepWindow() override;

Q_SIGNALS:
    // A click on the window or on one of its ways dismisses the main window's hint panel.
    void HideHint();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void ImTloClick() { Q_EMIT HideHint(); }
    void LZapisNaDyskuClick();
    void LKopiowanieWSieciClick();
    void LPocztaTajnaClick();
    void LPocztaWlasnaClick();
    // Paints the way under the mouse yellow and the others white; nullptr: all white.
    void HighlightWay(const QLabel* hovered);

    void SaveToDisk(const QString& source);
    // After each attempt of a way: the delivery log gets a line, and a report that
    // reached the school no longer needs its editor's draft.
    void Delivered(const QString& way, const QString& target, bool delivered);

    QLabel* m_imTlo;
    QLabel* m_lZapisNaDysku;
    QLabel* m_lKopiowanieWSieci;
    QLabel* m_lPocztaTajna;
    QLabel* m_lPocztaWlasna;

    std::unique_ptr<DocumentFileDialogs> m_ownDialogs;
    DocumentFileDialogs* m_dialogs;
};

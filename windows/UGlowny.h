#pragma once

#include "program/WizardView.h"

#include <QList>
#include <QPoint>
#include <QWidget>

#include <functional>
#include <memory>

class QCloseEvent;
class QFrame;
class QLabel;
class QListWidget;
class QScrollBar;
class QShowEvent;
class HelpWindow;
class TFAbout;
class WizardMachine;

// The main window: a borderless 900 by 650 window that drives the whole wizard. Its
// first showing starts the program (folders, settings, school data); closing it ends
// the program. The editor, preview and delivery windows are laid over it as
// children, so that they move with it.
class TFGlowny : public QWidget, public WizardView
{
    Q_OBJECT

public:
    explicit TFGlowny(QWidget* parent = nullptr);
    ~TFGlowny() override;

    static constexpr int kWidth = 900;
    static constexpr int kHeight = 650;

    // The pictures of the window on its welcome panel, in the order it shows them:
    // the program has them decoded while it builds its windows.
    static QStringList WelcomePictures();

    // True once the start-up has brought the program up; false before it and after a
    // start-up that ended the program.
    bool isStarted() const { return m_started; }

    // The start-up runs inside the window's first showing, unless this is set before
    // it: then the window comes up on its welcome panel and the start-up waits for
    // RunStartup. The program does so, to put the window on the screen before it
    // loads the school.
    void SetStartupAfterShowing() { m_startupOnShowing = false; }
    // Runs a start-up that is waiting: once, and only while the window is shown.
    // False when the start-up has run and ended the program.
    bool RunStartup();
    // Called right before the start-up runs, however it comes.
    void SetBeforeStartup(std::function<void()> before) { m_beforeStartup = std::move(before); }

    WizardMachine& wizard() { return *m_wizard; }

    // Back to the welcome step with its hints.
    void ResetWizard();
    // Fills the teacher and topic lists from the school data.
    void FillLists();
    // The teacher and topic panels with their lists, which the welcome panel does not
    // show: made on first need (the start-up, or whatever asks for them before it),
    // and before the window is finished for the keyboard and screen readers.
    void CreateListPanels();
    // Gives the keyboard focus to the first control of the step now shown, unless the
    // focus is there already. Every step change does so; the program does it again
    // once the keyboard's finishing touches reach the window after the start-up.
    void FocusStep();
    // Lets every editor registered so far fill its own lists from the school data.
    void PassSchoolDataToEditors();

    void ShowHint();
    // Called first by nearly every click handler of every window: a click anywhere
    // dismisses the hint.
    void HideHint();

    // Lays an editor, the preview or the delivery window over this window at
    // `offset` from its top-left corner, hidden until the wizard shows it.
    void AttachWindow(QWidget* window, QPoint offset);

    void SetAboutWindow(TFAbout* about) { m_about = about; }

    // Collaborators that tests replace: the file dialog for a report prepared
    // earlier, the help opener, the data update and the school-data loader.
    void SetDocumentChooser(std::function<QString()> chooser) { m_chooseDocument = std::move(chooser); }
    void SetHelpOpener(std::function<bool(const QString&)> opener) { m_openHelp = std::move(opener); }
    void SetUpdateChecker(std::function<int()> checker) { m_checkForUpdate = std::move(checker); }
    void SetSchoolDataLoader(std::function<bool()> loader) { m_loadSchoolData = std::move(loader); }

    // WizardView
    void ShowWelcomePanel(bool visible) override;
    // Tells on the welcome panel which drafts wait.
    void ShowWaitingDrafts();
    bool IsWelcomePanelVisible() const override;
    void ShowTeacherPanel(bool visible) override;
    void ShowTopicPanel(bool visible) override;
    void ShowBackArrow(bool visible) override;
    void ShowForwardArrow(bool visible) override;
    void SetYellowNumbers(int step) override;
    void FocusTeacherList() override;
    void FocusTopicList() override;
    std::optional<QString> SelectedTeacher() const override;
    int SelectedTopic() const override;
    QString ChooseExistingDocument() override;
    int CheckForUpdate() override;
    bool ReloadSchoolData() override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class KeyPreview;

    void FormCreate();
    void FormShow();
    void FormClose();
    void applyWindowShape();
    void createControls();
    QLabel* addLabel(QWidget* parent, const char* name, const QRect& place, const QString& hint = QString());

    // The click handlers of the labels and pictures; false for other controls.
    bool handleClick(QObject* watched);
    void LListwaMouseDown(const QPoint& globalPosition);
    void LListwaMouseMove(const QPoint& globalPosition);
    void LNowaWerdykonClick();
    void LPrzeslacGotowyClick();
    void LHelpClick();
    void LAboutClick();
    void LUpdateClick();
    void LPodpowiedzClick();
    void LButPodpowiedzClick();
    void ListMouseDown();
    void ListKeyUp(QListWidget* list, int key);
    void HoverWelcomeChoice(QLabel* highlighted);
    void OpenHelp();
    // Alt+Right or Alt+Left and their kin: a click on the forward or back arrow.
    void ArrowKey(bool forward);

    std::unique_ptr<WizardMachine> m_wizard;

    QLabel* m_imTlo = nullptr;
    QLabel* m_lListwa = nullptr;
    QLabel* m_lClose = nullptr;
    QLabel* m_lMinimize = nullptr;
    QLabel* m_lHelp = nullptr;
    QLabel* m_lUpdate = nullptr;
    QLabel* m_lAbout = nullptr;
    QLabel* m_lPodpowiedz = nullptr;

    QWidget* m_pPowitanie = nullptr;
    QLabel* m_imPowitanie = nullptr;
    QLabel* m_lNowaWerdykon = nullptr;
    QLabel* m_lPrzeslacGotowy = nullptr;
    // Which drafts wait (teacher, topic, when), under the two choices.
    QLabel* m_lSzkice = nullptr;

    QWidget* m_pListaNauczycieli = nullptr;
    QLabel* m_imListaNauczycieli = nullptr;
    QListWidget* m_bListaNauczycieli = nullptr;
    QWidget* m_pPodListwe = nullptr;
    QScrollBar* m_listwaVNauczyciele = nullptr;

    QWidget* m_pWyborOpcji = nullptr;
    QLabel* m_imWyboropcji = nullptr;
    QListWidget* m_blistazagadnien = nullptr;

    QWidget* m_pNumery = nullptr;
    QWidget* m_pNumeryY = nullptr;
    QLabel* m_imY = nullptr;
    QFrame* m_currentStep = nullptr;
    QWidget* m_pWstecz = nullptr;
    QLabel* m_imWstecz = nullptr;
    QWidget* m_pNaprzod = nullptr;
    QLabel* m_imNaprzod = nullptr;

    QWidget* m_pPodPodpowiedz = nullptr;
    QWidget* m_pPodpowiedz = nullptr;
    QLabel* m_iPodPodpowiedz = nullptr;
    QLabel* m_lTrescPodpowiedzi = nullptr;
    QLabel* m_lButPodpowiedz = nullptr;

    TFAbout* m_about = nullptr;
    QList<QWidget*> m_attached; // the windows laid over this one
    HelpWindow* m_helpWindow = nullptr;

    std::function<QString()> m_chooseDocument;
    std::function<bool(const QString&)> m_openHelp;
    std::function<int()> m_checkForUpdate;
    std::function<bool()> m_loadSchoolData;
    std::function<void()> m_beforeStartup;

    bool m_shown = false; // the start-up runs on the first showing only
    bool m_startupOnShowing = true;
    bool m_startupRan = false;
    bool m_started = false;
    QObject* m_enterPressedIn = nullptr; // the list that saw the last Enter pressed
    bool m_dragging = false;
    QPoint m_dragFrom;
};

#pragma once

#include <QList>
#include <QWidget>

#include <memory>

class FreeTextEditor;
class MessagePresenter;
class ProgressPresenter;
class ProgressWindow;
class SkinPrefetch;
class TFBrowser;
class TFDecyzja;
class TFEdytujNdst;
class TFEdytujZachowanie;
class TFGlowny;
class TFWarning;
class TFUzasadnienie;
class TFWerdykon;
class TFZachowania;

// Every window of the program, created once, hidden, in a fixed order with the main
// window first. They live as long as this object; windows are shown and hidden, never
// created again. A new window joins by one line in createLaterWindows. The message
// dialog answers every message while they exist.
//
// The main window comes first, then the message dialog and the progress window right
// before the start-up, which may need them; the others (editors, preview, delivery,
// dialogs) are never needed before the teacher's first step, so the program creates
// them after the start-up, through the same code and in the same order as when all
// are made at once.
class ProgramWindows
{
public:
    enum class Creation
    {
        AllAtOnce,
        // The later windows are made after the main window is shown by start() and
        // its start-up has run, or at once when input arrives before that.
        MainWindowFirst,
    };

    explicit ProgramWindows(Creation creation = Creation::AllAtOnce);
    ~ProgramWindows();
    ProgramWindows(const ProgramWindows&) = delete;
    ProgramWindows& operator=(const ProgramWindows&) = delete;

    TFGlowny* mainWindow() const { return m_main; }
    // Made right before the start-up runs (with all others when all are made at once).
    TFWarning* messageDialog() const { return m_warning; }
    ProgressWindow* progressWindow() const { return m_progress; }
    const QList<QWidget*>& all() const { return m_windows; }
    // True once every window exists.
    bool complete() const { return m_complete; }

    // Shows the main window; once the event loop has painted it, its start-up runs
    // inside the loop (and can end it), then the later windows are made.
    void start();

    // Makes the windows after the first ones; does nothing once they exist.
    void createLaterWindows();

private:
    class InputGate;
    class FirstPaintWatch;

    // Runs the main window's start-up if it is waiting; false when it ended the
    // program. Input that comes while it runs (an answer to its message) passes the
    // gate untouched.
    bool runStartup();
    // The gate's part: the start-up if it is waiting, then the later windows.
    bool finishStarting();
    void releaseGate();

    template <typename Window> Window* create();
    // The message dialog and the progress window, which the start-up may need before
    // the other windows exist; made once.
    void createMessageWindows();
    // The finishing touches of the keyboard, screen readers and the skins' controls.
    static void finish(QWidget* window);
    // The delivery window lies over the main window and asks for earlier reports.
    void attachDelivery(TFDecyzja* decyzja);
    // The preview window lies over the main window; the editors load their pages
    // into it.
    void attachPreview(TFBrowser* browser);
    // The class classification editor lies over the main window as the first topic's
    // editor and hands its page to `preview`.
    void attachClassEditor(TFWerdykon* werdykon, TFBrowser* preview);
    // A free-text editor lies over the main window as the editor of `topic` (its
    // place in the topic list) and hands its page to `preview`.
    void attachTextEditor(int topic, FreeTextEditor* editor, TFBrowser* preview);

    // Places of the free-text topics in the topic list.
    enum TextTopic
    {
        TopicRealWych = 2,
        TopicRealProgramu = 3,
        TopicZajDodatkowe = 4,
        TopicDyrektor = 6,
        TopicInne = 7,
        TopicKarta = 8,
    };
    // The conduct classification editor takes lowered grades in its own grade dialog.
    void attachConductEditor(TFZachowania* zachowania, TFEdytujZachowanie* dialog, TFBrowser* preview);
    // The failing-grade justification editor writes its texts in the program's one
    // justification dialog.
    void attachJustificationEditor(TFUzasadnienie* uzasadnienie, TFEdytujNdst* dialog, TFBrowser* preview);

    QList<QWidget*> m_windows;
    bool m_complete = false;
    bool m_startingUp = false;
    std::unique_ptr<SkinPrefetch> m_skinPrefetch;
    InputGate* m_gate = nullptr;
    TFGlowny* m_main = nullptr;
    TFWarning* m_warning = nullptr;
    MessagePresenter* m_previousPresenter = nullptr;
    ProgressWindow* m_progress = nullptr;
    ProgressPresenter* m_previousProgress = nullptr;
};

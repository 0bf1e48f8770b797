#include "windows/ProgramWindows.h"

#include "windows/delivery/UBrowser.h"
#include "windows/delivery/UDecyzja.h"
#include "windows/editors/UDyrektor.h"
#include "windows/editors/UEdycjaNdst.h"
#include "windows/editors/UInne.h"
#include "windows/editors/UKarta.h"
#include "windows/editors/UNaganneEdycja.h"
#include "windows/editors/URealizacjaProgramu.h"
#include "windows/editors/URealizacjaWych.h"
#include "windows/editors/UUzasadnienie.h"
#include "windows/editors/UWerdykon.h"
#include "windows/editors/UZachowanie.h"
#include "windows/editors/UZajDodatkowe.h"
#include "windows/parts/SkinPrefetch.h"
#include "windows/parts/AccessibleNames.h"
#include "windows/parts/KeyboardAccess.h"
#include "windows/parts/PaintedText.h"
#include "core/Messages.h"
#include "windows/parts/ProgressWindow.h"
#include "windows/UAbout.h"
#include "windows/UGlowny.h"
#include "windows/parts/UWarning.h"
#include "windows/parts/WindowFinish.h"
#include "program/WizardWindows.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include <functional>
#include <utility>

// Holds the teacher's first input until the program is up: a click, key or wheel turn
// that comes before the start-up has run and the later windows are made has them done
// first, then goes on as usual; if the start-up ended the program, the input goes
// nowhere. The pointer merely passing over the window (as it does when the window
// appears under it) acts on nothing beyond the main window, and waits for nothing.
class ProgramWindows::InputGate final : public QObject
{
public:
    InputGate(ProgramWindows* windows, QObject* parent) : QObject(parent), m_windows(windows) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        // The gate lets itself go first: nothing of it is used after.
        return acts(event) && !m_windows->finishStarting();
    }

private:
    static bool acts(const QEvent* event)
    {
        switch (event->type()) {
        case QEvent::MouseMove:
        case QEvent::HoverMove:
        case QEvent::TabletMove:
            return false;
        default:
            return event->isInputEvent();
        }
    }

    ProgramWindows* m_windows;
};

// Calls `then` in the event loop's turn after the window was first painted on the
// screen, so that whatever `then` does comes after the teacher sees the window.
class ProgramWindows::FirstPaintWatch final : public QObject
{
public:
    FirstPaintWatch(QWindow* window, std::function<void()> then) : QObject(window), m_then(std::move(then))
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // The window paints itself while it handles this event; `then` is queued
        // behind it.
        if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed()) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, watched, std::move(m_then));
            deleteLater();
        }
        return false;
    }

private:
    std::function<void()> m_then;
};

ProgramWindows::ProgramWindows(Creation creation)
{
    // The main window's first pictures are decoded while the windows are built.
    if (creation == Creation::MainWindowFirst) {
        const QScreen* screen = QGuiApplication::primaryScreen();
        m_skinPrefetch = std::make_unique<SkinPrefetch>(TFGlowny::WelcomePictures(),
                                                        screen ? screen->devicePixelRatio() : 1.0);
    }
    m_main = create<TFGlowny>();
    // Whichever way the start-up comes (the program's first paint, the teacher's first
    // input, or a test showing the window), the message dialog is there for it.
    m_main->SetBeforeStartup([this] { createMessageWindows(); });
    if (creation == Creation::AllAtOnce) {
        createMessageWindows();
        createLaterWindows();
        return;
    }
    m_gate = new InputGate(this, m_main);
    QCoreApplication::instance()->installEventFilter(m_gate);
}

void ProgramWindows::createMessageWindows()
{
    if (m_warning)
        return;
    m_warning = create<TFWarning>();
    // Long work shows its progress over the main window.
    m_progress = new ProgressWindow(m_main);
    // The start-up may show these two before the other windows exist; the main
    // window is finished with the windows laid over it.
    finish(m_warning);
    finish(m_progress);

    m_previousPresenter = messagePresenter();
    setMessagePresenter(m_warning);
    m_previousProgress = progressPresenter();
    setProgressPresenter(m_progress);
}

bool ProgramWindows::runStartup()
{
    m_startingUp = true;
    const bool goesOn = m_main->RunStartup();
    m_startingUp = false;
    return goesOn;
}

bool ProgramWindows::finishStarting()
{
    // The answer to a message the start-up shows passes on to the message.
    if (m_startingUp)
        return true;
    releaseGate();
    const bool goesOn = runStartup();
    if (goesOn)
        createLaterWindows();
    return goesOn;
}

void ProgramWindows::releaseGate()
{
    if (m_gate) {
        QCoreApplication::instance()->removeEventFilter(m_gate);
        m_gate->deleteLater();
        m_gate = nullptr;
    }
}

void ProgramWindows::createLaterWindows()
{
    if (m_complete)
        return;
    m_complete = true;
    releaseGate();
    createMessageWindows();
    // The main window has taken its pictures, or never will.
    m_skinPrefetch.reset();

    // The subject curriculum editor comes before the preview; it is attached once the
    // preview exists.
    auto* realProgramu = create<TFRealProgramu>();
    TFBrowser* browser = create<TFBrowser>();
    attachPreview(browser);
    attachDelivery(create<TFDecyzja>());
    auto* uzasadnienie = create<TFUzasadnienie>();
    TFEdytujNdst* edytujNdst = create<TFEdytujNdst>();
    attachJustificationEditor(uzasadnienie, edytujNdst, browser);
    // The class editor makes its own average and failing-subjects dialogs.
    attachClassEditor(create<TFWerdykon>(), browser);
    auto* zachowania = create<TFZachowania>();
    attachConductEditor(zachowania, create<TFEdytujZachowanie>(), browser);
    attachTextEditor(TopicZajDodatkowe, create<TFZajDodatkowe>(), browser);
    attachTextEditor(TopicDyrektor, create<TFDyrektor>(), browser);
    attachTextEditor(TopicKarta, create<TFKarta>(), browser);
    attachTextEditor(TopicRealWych, create<TFRealWych>(), browser);
    attachTextEditor(TopicInne, create<TFInne>(), browser);
    attachTextEditor(TopicRealProgramu, realProgramu, browser);
    m_main->SetAboutWindow(create<TFAbout>());

    m_main->CreateListPanels();
    for (QWidget* window : std::as_const(m_windows)) {
        if (window->isWindow() && window != m_warning)
            finish(window);
    }
    // A start-up that has already loaded the school could not fill these editors, and
    // the welcome panel's controls could not take the focus before they were finished.
    if (m_main->isStarted()) {
        m_main->PassSchoolDataToEditors();
        m_main->FocusStep();
    }
}

void ProgramWindows::finish(QWidget* window)
{
    // Qt's controls fit the skins; screen readers and the keyboard reach every
    // control. The button labels are marked before anything asks for their
    // accessible interface, which is made once per control.
    WindowFinish::Apply(window);
    PaintedText::Apply(window);
    KeyboardAccess::PrepareWindow(window);
    AccessibleNames::Apply(window);
}

ProgramWindows::~ProgramWindows()
{
    wizardWindows().Clear();
    if (m_warning && messagePresenter() == m_warning)
        setMessagePresenter(m_previousPresenter);
    if (m_progress && progressPresenter() == m_progress)
        setProgressPresenter(m_previousProgress);
    // Later windows may refer to earlier ones, the main window above all.
    while (!m_windows.isEmpty())
        delete m_windows.takeLast();
}

void ProgramWindows::attachDelivery(TFDecyzja* decyzja)
{
    m_main->AttachWindow(decyzja, QPoint(TFDecyzja::kLeftOffset, TFDecyzja::kTopOffset));
    wizardWindows().SetDelivery(decyzja);
    m_main->SetDocumentChooser([decyzja] { return decyzja->OpenPlik(); });
    QObject::connect(decyzja, &TFDecyzja::HideHint, m_main, &TFGlowny::HideHint);
}

void ProgramWindows::attachPreview(TFBrowser* browser)
{
    m_main->AttachWindow(browser, QPoint(TFBrowser::kLeftOffset, TFBrowser::kTopOffset));
    wizardWindows().SetPreview(browser);
    QObject::connect(browser, &TFBrowser::HideHint, m_main, &TFGlowny::HideHint);
}

void ProgramWindows::attachClassEditor(TFWerdykon* werdykon, TFBrowser* preview)
{
    werdykon->SetPreviewWindow(preview);
    m_main->AttachWindow(werdykon, QPoint(TFWerdykon::kLeftOffset, TFWerdykon::kTopOffset));
    wizardWindows().SetEditor(0, werdykon);
    QObject::connect(werdykon, &TFWerdykon::HideHint, m_main, &TFGlowny::HideHint);
}

void ProgramWindows::attachTextEditor(int topic, FreeTextEditor* editor, TFBrowser* preview)
{
    editor->SetPreviewWindow(preview);
    m_main->AttachWindow(editor, QPoint(FreeTextEditor::kLeftOffset, FreeTextEditor::kTopOffset));
    wizardWindows().SetEditor(topic, editor);
    QObject::connect(editor, &FreeTextEditor::HideHint, m_main, &TFGlowny::HideHint);
}

void ProgramWindows::attachJustificationEditor(TFUzasadnienie* uzasadnienie, TFEdytujNdst* dialog,
                                               TFBrowser* preview)
{
    // The text dialog places itself over the main window.
    dialog->setParent(m_main, dialog->windowFlags());
    uzasadnienie->SetTextDialog(dialog);
    uzasadnienie->SetPreviewWindow(preview);
    m_main->AttachWindow(uzasadnienie, QPoint(TFUzasadnienie::kLeftOffset, TFUzasadnienie::kTopOffset));
    wizardWindows().SetEditor(TFUzasadnienie::kTopicIndex, uzasadnienie);
    QObject::connect(uzasadnienie, &TFUzasadnienie::HideHint, m_main, &TFGlowny::HideHint);
}

void ProgramWindows::attachConductEditor(TFZachowania* zachowania, TFEdytujZachowanie* dialog,
                                         TFBrowser* preview)
{
    // The grade dialog places itself over the main window.
    dialog->setParent(m_main, dialog->windowFlags());
    zachowania->SetGradeDialog(dialog);
    zachowania->SetPreviewWindow(preview);
    m_main->AttachWindow(zachowania, QPoint(TFZachowania::kLeftOffset, TFZachowania::kTopOffset));
    wizardWindows().SetEditor(TFZachowania::kTopicIndex, zachowania);
    QObject::connect(zachowania, &TFZachowania::HideHint, m_main, &TFGlowny::HideHint);
}

template <typename Window> Window* ProgramWindows::create()
{
    auto* window = new Window;
    window->hide();
    m_windows.append(window);
    return window;
}

void ProgramWindows::start()
{
    TFGlowny* main = m_main;
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        main->move(screen->availableGeometry().center() - main->rect().center());
    // The teacher sees the welcome panel first; the school is loaded and the other
    // windows are made once it has been painted, inside the event loop, each in a
    // turn of its own.
    main->SetStartupAfterShowing();
    main->show();
    // A desktop's window manager gives a new window the keyboard; a bare X session
    // (a kiosk, a test display) has none to do it.
    main->activateWindow();
    const auto afterPaint = [this, main] {
        if (m_startingUp || m_complete)
            return;
        if (runStartup() && !m_complete)
            QTimer::singleShot(0, main, [this] { createLaterWindows(); });
    };
    QWindow* window = main->windowHandle();
    if (window && !window->isExposed())
        new FirstPaintWatch(window, afterPaint);
    else
        QTimer::singleShot(0, main, afterPaint);
}

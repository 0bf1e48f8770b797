#include "shell/ProgramWindows.h"

#include "delivery/UBrowser.h"
#include "delivery/UDecyzja.h"
#include "editors/UDyrektor.h"
#include "editors/UEdycjaNdst.h"
#include "editors/UInne.h"
#include "editors/UKarta.h"
#include "editors/UNaganneEdycja.h"
#include "editors/URealizacjaProgramu.h"
#include "editors/URealizacjaWych.h"
#include "editors/UUzasadnienie.h"
#include "editors/UWerdykon.h"
#include "editors/UZachowanie.h"
#include "editors/UZajDodatkowe.h"
#include "shell/AccessibleNames.h"
#include "shell/KeyboardAccess.h"
#include "shell/Messages.h"
#include "shell/ProgressWindow.h"
#include "shell/UAbout.h"
#include "shell/UGlowny.h"
#include "shell/UWarning.h"
#include "shell/WindowFinish.h"
#include "shell/WizardWindows.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

// Holds the teacher's first input until every window exists: a click or key that
// comes before the later windows are made makes them first, then goes on as usual.
class ProgramWindows::InputGate final : public QObject
{
public:
    InputGate(ProgramWindows* windows, QObject* parent) : QObject(parent), m_windows(windows) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        // The gate lets itself go once the windows exist: nothing of it is used after.
        if (event->isInputEvent())
            m_windows->createLaterWindows();
        return false;
    }

private:
    ProgramWindows* m_windows;
};

ProgramWindows::ProgramWindows(Creation creation)
{
    createFirstWindows();
    if (creation == Creation::AllAtOnce) {
        createLaterWindows();
        return;
    }
    m_gate = new InputGate(this, m_main);
    QCoreApplication::instance()->installEventFilter(m_gate);
}

void ProgramWindows::createFirstWindows()
{
    m_main = create<TFGlowny>();
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

void ProgramWindows::createLaterWindows()
{
    if (m_complete)
        return;
    m_complete = true;
    if (m_gate) {
        QCoreApplication::instance()->removeEventFilter(m_gate);
        m_gate->deleteLater();
        m_gate = nullptr;
    }

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

    for (QWidget* window : std::as_const(m_windows)) {
        if (window->isWindow() && window != m_warning)
            finish(window);
    }
    // A start-up that has already loaded the school could not fill these editors.
    if (m_main->isStarted())
        m_main->PassSchoolDataToEditors();
}

void ProgramWindows::finish(QWidget* window)
{
    // Qt's controls fit the skins; screen readers and the keyboard reach every
    // control. The button labels are marked before anything asks for their
    // accessible interface, which is made once per control.
    WindowFinish::Apply(window);
    KeyboardAccess::PrepareWindow(window);
    AccessibleNames::Apply(window);
}

ProgramWindows::~ProgramWindows()
{
    wizardWindows().Clear();
    if (messagePresenter() == m_warning)
        setMessagePresenter(m_previousPresenter);
    if (progressPresenter() == m_progress)
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
    QTimer::singleShot(0, main, [this, main] {
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            main->move(screen->availableGeometry().center() - main->rect().center());
        main->show();
        // The main window is on the screen; the rest follow in the loop's next turn.
        if (!m_complete)
            QTimer::singleShot(0, main, [this] { createLaterWindows(); });
    });
}

#include "windows/UGlowny.h"

#include "core/AppFolders.h"
#include "core/AppState.h"
#include "core/HelpSections.h"
#include "core/Hints.h"
#include "core/InstalledLayout.h"
#include "core/Messages.h"
#include "core/Platform.h"
#include "drafts/EditorDrafts.h"
#include "program/StartupSequence.h"
#include "program/WizardMachine.h"
#include "program/WizardWindows.h"
#include "resources/skins/GlownyLayout.h"
#include "update/DataUpdate.h"
#include "windows/UAbout.h"
#include "windows/parts/HelpWindow.h"
#include "windows/parts/KeyboardAccess.h"
#include "windows/parts/ListBoxHelpers.h"
#include "windows/parts/PlatformGui.h"
#include "windows/parts/SkinOnShow.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainterPath>
#include <QRegion>
#include <QScrollBar>
#include <QShowEvent>
#include <QThread>
#include <QTimer>
#include <QWindow>

using namespace GlownyLayout;

namespace {

const QStringList kTopicTexts = {
    QStringLiteral("Werdykon uczniów danej klasy"),
    QStringLiteral("Werdykon uczniów pod względem zachowania"),
    QStringLiteral("Realizacja programu wychowawczego klasy"),
    QStringLiteral("Realizacja programu z przedmiotu nauczania"),
    QStringLiteral("Sprawozdanie z prowadzonych zajęć dodatkowych"),
    QStringLiteral("Uzasadnienie oceny niedostatecznej"),
    QStringLiteral("Sprawozdanie dyrektora szkoły"),
    QStringLiteral("Inne sprawozdanie do protokołu"),
    QStringLiteral("Sprawozdanie z zajęć wynikających z karty"),
};

const QColor kCaptionWhite(0xFF, 0xFF, 0xFF);
const QColor kCaptionYellow(0xF2, 0xC2, 0x30);
constexpr int kHintSlideSteps = 10;
constexpr int kHintSlideStep = 5;

bool isEnterKey(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

void setCaptionColour(QLabel* label, const QColor& colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

QWidget* addPanel(QWidget* parent, const char* name, const QRect& place)
{
    auto* panel = new QWidget(parent);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setGeometry(place);
    return panel;
}

QListWidget* addList(QWidget* parent, const char* name, const QRect& place, int rowHeight)
{
    auto* list = new QListWidget(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->setGeometry(place);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setUniformItemSizes(true);
    list->setStyleSheet(QStringLiteral("QListWidget { background: #FFFFFF; color: #1B2B40; border: 0; "
                                       "font-family: 'DejaVu Sans'; font-size: %1px; }"
                                       "QListWidget::item { height: %2px; }"
                                       "QListWidget::item:selected { background: #2C5686; color: #FFFFFF; }")
                            .arg(rowHeight <= 16 ? 12 : 15)
                            .arg(rowHeight));
    PrepareScrolledList(list);
    return list;
}

} // namespace

// Sees every key of the application first, as F1 opens the help from any window laid
// over the main window, and the wizard's keys work wherever the focus is: Alt+Left and
// Alt+Right (Page Up and Page Down outside controls that page themselves) act as the
// back and forward arrows, Escape goes back from the windows laid over the main one.
// Kept apart from the main window's own filter, which watches single controls.
class TFGlowny::KeyPreview final : public QObject
{
public:
    explicit KeyPreview(TFGlowny* main) : QObject(main), m_main(main) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        auto* widget = qobject_cast<QWidget*>(watched);
        if (key->isAutoRepeat() || !widget || widget->window() != m_main)
            return false;
        const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
        switch (key->key()) {
        case Qt::Key_F1:
            m_main->OpenHelp();
            return true;
        case Qt::Key_Left:
        case Qt::Key_Right:
            if (modifiers != Qt::AltModifier)
                return false;
            m_main->ArrowKey(key->key() == Qt::Key_Right);
            return true;
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            if (modifiers != Qt::NoModifier || pagesItself(widget))
                return false;
            m_main->ArrowKey(key->key() == Qt::Key_PageDown);
            return true;
        case Qt::Key_Escape:
            if (modifiers != Qt::NoModifier || appState().WizardStep < WizardMachine::StepEditor)
                return false;
            m_main->ArrowKey(false);
            return true;
        default:
            return false;
        }
    }

private:
    // Text fields, lists and the preview page use Page Up and Page Down themselves.
    static bool pagesItself(const QWidget* widget)
    {
        return qobject_cast<const QAbstractScrollArea*>(widget) || qobject_cast<const QLineEdit*>(widget) ||
               qobject_cast<const QComboBox*>(widget) || qobject_cast<const QAbstractSpinBox*>(widget);
    }

    TFGlowny* m_main;
};

TFGlowny::TFGlowny(QWidget* parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    FormCreate();
}

TFGlowny::~TFGlowny() = default;

QStringList TFGlowny::WelcomePictures()
{
    return {QStringLiteral("tloglowny"), QStringLiteral("powitanie"), QStringLiteral("numerki"),
            QStringLiteral("numerkiy")};
}

void TFGlowny::FormCreate()
{
    setObjectName(QStringLiteral("FGlowny"));
    setFixedSize(kWidth, kHeight);
    setWindowTitle(QStringLiteral("Tabulon"));
    // Qt paints every widget double-buffered already; nothing to switch on here.
    createControls();
    m_wizard = std::make_unique<WizardMachine>(*this, wizardWindows());

    m_chooseDocument = [this] {
        QFileDialog dialog(this, QStringLiteral("Wskaż plik sprawozdania"));
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setNameFilter(QStringLiteral("Plik sprawozdania (*.xml)"));
        dialog.setDefaultSuffix(QStringLiteral("xml"));
        if (KeyboardAccess::ExecReturningFocus(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        return dialog.selectedFiles().constFirst();
    };
    m_openHelp = Platform::openWithDefaultHandler;
    m_checkForUpdate = [] { return ::CheckForUpdate(); };

    qApp->installEventFilter(new KeyPreview(this));
}

QLabel* TFGlowny::addLabel(QWidget* parent, const char* name, const QRect& place, const QString& hint)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(place);
    if (!hint.isEmpty()) {
        label->setToolTip(hint);
        label->setCursor(Qt::PointingHandCursor);
    }
    label->installEventFilter(this);
    return label;
}

void TFGlowny::createControls()
{
    m_imTlo = addLabel(this, "ImTlo", rect());
    SetSkin(m_imTlo, QStringLiteral("tloglowny"));

    m_lListwa = addLabel(this, "LListwa", kListwa);
    m_lPodpowiedz = addLabel(this, "LPodpowiedz", kPodpowiedz, QStringLiteral("Podpowiedź"));
    m_lHelp = addLabel(this, "LHelp", kHelp, QStringLiteral("Pomoc"));
    m_lUpdate = addLabel(this, "LUpdate", kUpdate, QStringLiteral("Aktualizacja"));
    m_lAbout = addLabel(this, "LAbout", kAbout, QStringLiteral("O programie"));
    m_lMinimize = addLabel(this, "LMnimize", kMinimize, QStringLiteral("Minimalizuj"));
    m_lClose = addLabel(this, "Lclose", kClose, QStringLiteral("Zamknij"));

    // Welcome panel.
    m_pPowitanie = addPanel(this, "PPowitanie", kWelcome);
    m_imPowitanie = addLabel(m_pPowitanie, "ImPowitanie", QRect(QPoint(0, 0), kWelcome.size()));
    SetSkin(m_imPowitanie, QStringLiteral("powitanie"));
    m_imPowitanie->setMouseTracking(true);
    QFont captionFont(QStringLiteral("DejaVu Sans"));
    captionFont.setPixelSize(15);
    captionFont.setBold(true);
    m_lNowaWerdykon = addLabel(m_pPowitanie, "LNowaWerdykon", kNewDocument);
    m_lNowaWerdykon->setText(QStringLiteral("                 Chcę przygotować nowy dokument"));
    m_lPrzeslacGotowy = addLabel(m_pPowitanie, "LPrzeslacGotowy", kExistingDocument);
    m_lPrzeslacGotowy->setText(
        QStringLiteral("                  Chcę przesłać przygotowany wcześniej dokument"));
    m_lSzkice = addLabel(m_pPowitanie, "LSzkice", kWaitingDrafts);
    m_lSzkice->setTextFormat(Qt::PlainText); // names from the school's data
    m_lSzkice->setWordWrap(true);
    m_lSzkice->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont draftsFont(QStringLiteral("DejaVu Sans"));
    draftsFont.setPixelSize(12);
    m_lSzkice->setFont(draftsFont);
    setCaptionColour(m_lSzkice, QColor(0xE4, 0xEC, 0xF5));
    m_lSzkice->hide();
    for (QLabel* choice : {m_lNowaWerdykon, m_lPrzeslacGotowy}) {
        choice->setFont(captionFont);
        choice->setMouseTracking(true);
        choice->setCursor(Qt::PointingHandCursor);
        setCaptionColour(choice, kCaptionWhite);
    }

    // Step numbers: the plain strip and over it the yellow one, clipped to the
    // visited steps.
    m_pNumery = addPanel(this, "PNumery", kNumbers);
    SetSkin(addLabel(m_pNumery, "ImNumerki", QRect(QPoint(0, 0), kNumbers.size())),
            QStringLiteral("numerki"));
    m_pNumeryY = addPanel(this, "PNumeryY", QRect(kNumbers.topLeft(), QSize(0, kNumbers.height())));
    m_imY = addLabel(m_pNumeryY, "ImY", QRect(QPoint(0, 0), kNumbers.size()));
    SetSkin(m_imY, QStringLiteral("numerkiy"));
    m_imY->setCursor(Qt::PointingHandCursor);
    // A click goes to the number under the mouse; the keyboard has Alt+Left instead.
    KeyboardAccess::SetButtonLabel(m_imY, false);
    // The current step's number is ringed, so that it stands out from the visited ones.
    m_currentStep = new QFrame(this);
    m_currentStep->setObjectName(QStringLiteral("ImBiezacyKrok"));
    m_currentStep->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_currentStep->setStyleSheet(QStringLiteral(
        "QFrame#ImBiezacyKrok { border: 3px solid #FFFFFF; border-radius: 7px; background: transparent; }"));
    m_currentStep->hide();

    m_pWstecz = addPanel(this, "PWstecz", kBack);
    m_imWstecz = addLabel(m_pWstecz, "ImWstecz", QRect(QPoint(0, 0), kBack.size()), QStringLiteral("Wstecz"));
    SetSkin(m_imWstecz, QStringLiteral("wstecz"));
    m_pNaprzod = addPanel(this, "PNaprzod", kForward);
    m_imNaprzod =
        addLabel(m_pNaprzod, "ImNaprzod", QRect(QPoint(0, 0), kForward.size()), QStringLiteral("Dalej"));
    SetSkin(m_imNaprzod, QStringLiteral("naprzod"));
    // The welcome panel is what the first showing leaves; the wizard shows these when
    // it needs them, so their pictures are not decoded at start.
    for (QWidget* later : {m_pWstecz, m_pNaprzod})
        later->hide();

    // Hint panel: slides down inside its frame.
    m_pPodPodpowiedz = addPanel(this, "PPodPodpowiedz", kHintFrame);
    m_pPodpowiedz =
        addPanel(m_pPodPodpowiedz, "PPodpowiedz", QRect(QPoint(0, -kHintFrame.height()), kHintFrame.size()));
    m_iPodPodpowiedz = addLabel(m_pPodpowiedz, "IPodPodpowiedz", QRect(QPoint(0, 0), kHintFrame.size()));
    SetSkin(m_iPodPodpowiedz, QStringLiteral("podpowiedz"));
    m_lTrescPodpowiedzi = addLabel(m_pPodpowiedz, "LTrescPodpowiedzi", kHintText);
    m_lTrescPodpowiedzi->setWordWrap(true);
    m_lTrescPodpowiedzi->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    QFont hintFont(QStringLiteral("DejaVu Sans"));
    hintFont.setPixelSize(11);
    m_lTrescPodpowiedzi->setFont(hintFont);
    setCaptionColour(m_lTrescPodpowiedzi, kCaptionWhite);
    m_lButPodpowiedz =
        addLabel(m_pPodpowiedz, "LButPodpowiedz", kHintNext, QStringLiteral("Następna podpowiedź"));
    m_pPodpowiedz->hide();
    m_pPodPodpowiedz->hide();
}

void TFGlowny::CreateListPanels()
{
    if (m_pListaNauczycieli)
        return;
    // Teacher list, with its own scroll bar shown only when the list is longer than
    // the panel.
    m_pListaNauczycieli = addPanel(this, "pListaNauczycieli", kTeachers);
    m_imListaNauczycieli =
        addLabel(m_pListaNauczycieli, "ImListaNauczycieli", QRect(QPoint(0, 0), kTeachers.size()));
    SetSkin(m_imListaNauczycieli, QStringLiteral("listanauczycieli"));
    m_bListaNauczycieli = addList(m_pListaNauczycieli, "BListaNauczycieli", kTeacherList, kTeacherRowHeight);
    m_bListaNauczycieli->installEventFilter(this);
    m_bListaNauczycieli->viewport()->installEventFilter(this);
    m_pPodListwe = addPanel(m_pListaNauczycieli, "PPodListwe", kTeacherBar);
    m_listwaVNauczyciele = new QScrollBar(Qt::Vertical, m_pPodListwe);
    m_listwaVNauczyciele->setObjectName(QStringLiteral("ListwaVNauczyciele"));
    m_listwaVNauczyciele->setGeometry(QRect(QPoint(0, 0), kTeacherBar.size()));
    m_pPodListwe->hide();
    connect(m_listwaVNauczyciele, &QScrollBar::valueChanged, this, [this] {
        HideHint();
        ListFollowsScrollBar(m_bListaNauczycieli, m_listwaVNauczyciele);
    });
    // Wheel and keys scroll the list itself; the bar keeps up without echoing back.
    connect(m_bListaNauczycieli->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        const QSignalBlocker quiet(m_listwaVNauczyciele);
        ScrollBarFollowsList(m_bListaNauczycieli, m_listwaVNauczyciele);
    });

    // Topic list.
    m_pWyborOpcji = addPanel(this, "PWyborOpcji", kTopics);
    m_imWyboropcji = addLabel(m_pWyborOpcji, "ImWyboropcji", QRect(QPoint(0, 0), kTopics.size()));
    SetSkin(m_imWyboropcji, QStringLiteral("wyboropcji"));
    m_blistazagadnien = addList(m_pWyborOpcji, "blistazagadnien", kTopicList, kTopicRowHeight);
    m_blistazagadnien->addItems(kTopicTexts);
    m_blistazagadnien->installEventFilter(this);
    m_blistazagadnien->viewport()->installEventFilter(this);

    // Where they would stand had they been made with the rest: under the step
    // numbers and everything after them.
    for (QWidget* panel : {m_pListaNauczycieli, m_pWyborOpcji}) {
        panel->hide();
        panel->stackUnder(m_pNumery);
    }
}

void TFGlowny::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    if (m_startupOnShowing)
        RunStartup();
}

bool TFGlowny::RunStartup()
{
    if (m_startupRan)
        return m_started;
    if (!m_shown || !isVisible())
        return true;
    m_startupRan = true;
    if (m_beforeStartup)
        m_beforeStartup();
    FormShow();
    return m_started;
}

void TFGlowny::FormShow()
{
    CreateListPanels();
    StartupHooks hooks = StartupSequence::programHooks();
    hooks.clearDragState = [this] { m_dragging = false; };
    hooks.shapeWindow = [this] { applyWindowShape(); };
    if (m_loadSchoolData)
        hooks.loadSchoolData = m_loadSchoolData;
    else
        m_loadSchoolData = hooks.loadSchoolData;
    hooks.fillLists = [this] { FillLists(); };
    hooks.resetWizard = [this] { ResetWizard(); };
    hooks.hideHint = [this] { HideHint(); };
    // The end is queued so that it is the event loop, not this handler, that stops.
    hooks.endProgram = [] {
        QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                                  Qt::QueuedConnection);
    };
    m_started = StartupSequence(appState(), hooks, Platform::appFolder(), ResolveAppData()).run();
}

void TFGlowny::closeEvent(QCloseEvent* event)
{
    // The close mark, Alt+F4 and the window manager all come here: typed input that
    // has not reached the school is not dropped without a question.
    if (m_started && !AskBeforeClosing(wizardWindows().Editor(appState().TopicIndex))) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
    // Other windows may still be visible over this one; the program ends anyway.
    QCoreApplication::quit();
}

void TFGlowny::FormClose()
{
    AppState& state = appState();
    state.TeacherNames.clear();
    state.SubjectNames.clear();
    state.PreviewPage.clear();
    state.SelectedPupils.clear();
}

void TFGlowny::applyWindowShape()
{
    // A rounded rectangle with corner ellipses of 4 by 4 pixels.
    QPainterPath outline;
    outline.addRoundedRect(QRectF(0, 0, kWidth, kHeight), 2, 2);
    setMask(QRegion(outline.toFillPolygon().toPolygon()));
    update();
}

void TFGlowny::AttachWindow(QWidget* window, QPoint offset)
{
    m_attached.append(window);
    window->hide();
    window->setParent(this, Qt::Widget);
    window->move(offset);
}

// ---- wizard -------------------------------------------------------------------

void TFGlowny::ResetWizard()
{
    m_wizard->ResetWizard();
}

void TFGlowny::FillLists()
{
    CreateListPanels();
    m_blistazagadnien->setCurrentRow(0);
    ListToListBox(m_bListaNauczycieli, appState().TeacherNames);
    if (m_bListaNauczycieli->count() > 0)
        m_bListaNauczycieli->setCurrentRow(0);
    SyncListScrollBar(m_bListaNauczycieli->count(), kTeacherRows, m_pPodListwe, m_bListaNauczycieli,
                      m_listwaVNauczyciele);
    PassSchoolDataToEditors();
}

void TFGlowny::PassSchoolDataToEditors()
{
    for (int topic = 0; topic < WizardWindows::TopicCount; ++topic) {
        if (ReportEditor* editor = wizardWindows().Editor(topic))
            editor->SchoolDataLoaded();
    }
}

void TFGlowny::ShowWelcomePanel(bool visible)
{
    if (visible)
        ShowWaitingDrafts();
    m_pPowitanie->setVisible(visible);
}

void TFGlowny::ShowWaitingDrafts()
{
    const QString text = WaitingDraftsText(appState().DataFolder, [](int topic) {
        return topic >= 0 && topic < kTopicTexts.size() ? kTopicTexts.at(topic) : QString();
    });
    m_lSzkice->setText(text);
    m_lSzkice->setAccessibleName(text.isEmpty() ? QString() : QStringLiteral("Niedokończone szkice"));
    m_lSzkice->setAccessibleDescription(text);
    m_lSzkice->setVisible(!text.isEmpty());
}

bool TFGlowny::IsWelcomePanelVisible() const
{
    return !m_pPowitanie->isHidden();
}

void TFGlowny::ShowTeacherPanel(bool visible)
{
    CreateListPanels();
    m_pListaNauczycieli->setVisible(visible);
}

void TFGlowny::ShowTopicPanel(bool visible)
{
    CreateListPanels();
    m_pWyborOpcji->setVisible(visible);
}

void TFGlowny::ShowBackArrow(bool visible)
{
    m_pWstecz->setVisible(visible);
}

void TFGlowny::ShowForwardArrow(bool visible)
{
    m_pNaprzod->setVisible(visible);
}

void TFGlowny::SetYellowNumbers(int step)
{
    // Every step change comes here; the keyboard follows it once the windows are shown.
    QTimer::singleShot(0, this, [this] { FocusStep(); });
    const int shown = qBound(0, step, 5);
    m_pNumeryY->resize(kNumberWidth * shown, kNumbers.height());
    m_currentStep->setVisible(shown > 0);
    m_currentStep->setAccessibleName(shown > 0 ? QStringLiteral("Krok %1 z 5").arg(shown) : QString());
    if (shown > 0) {
        m_currentStep->setGeometry(kCurrentNumber.translated(kNumberWidth * (shown - 1), 0));
        m_currentStep->raise();
    }
}

void TFGlowny::FocusStep()
{
    // The lists take the focus themselves; the welcome panel and the windows laid over
    // this one give it to their first control, unless it is in them already.
    QWidget* step = nullptr;
    if (!m_pPowitanie->isHidden() && m_pPowitanie->isVisible()) {
        step = m_pPowitanie;
    } else {
        for (QWidget* window : std::as_const(m_attached)) {
            if (window->isVisible())
                step = window;
        }
    }
    QWidget* focused = QApplication::focusWidget();
    if (!step || (focused && step->isAncestorOf(focused)))
        return;
    for (QWidget* next = step->nextInFocusChain(); next && next != step; next = next->nextInFocusChain()) {
        // An editor opens on its first field, not on the selector of its first page.
        if (step->isAncestorOf(next) && next->isVisible() && next->isEnabled() &&
            (next->focusPolicy() & Qt::TabFocus) && !KeyboardAccess::IsPageTab(next)) {
            next->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

void TFGlowny::FocusTeacherList()
{
    CreateListPanels();
    m_bListaNauczycieli->setFocus();
}

void TFGlowny::FocusTopicList()
{
    CreateListPanels();
    m_blistazagadnien->setFocus();
}

std::optional<QString> TFGlowny::SelectedTeacher() const
{
    if (!m_bListaNauczycieli)
        return std::nullopt;
    const QList<QListWidgetItem*> selected = m_bListaNauczycieli->selectedItems();
    if (selected.isEmpty())
        return std::nullopt;
    return selected.constFirst()->text();
}

int TFGlowny::SelectedTopic() const
{
    if (!m_blistazagadnien)
        return -1;
    const QList<QListWidgetItem*> selected = m_blistazagadnien->selectedItems();
    return selected.isEmpty() ? -1 : m_blistazagadnien->row(selected.constFirst());
}

QString TFGlowny::ChooseExistingDocument()
{
    return m_chooseDocument ? m_chooseDocument() : QString();
}

int TFGlowny::CheckForUpdate()
{
    return m_checkForUpdate ? m_checkForUpdate() : -1;
}

bool TFGlowny::ReloadSchoolData()
{
    if (!m_loadSchoolData || !m_loadSchoolData()) {
        // The loader has told the user; unusable data end the program.
        QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                                  Qt::QueuedConnection);
        return false;
    }
    FillLists();
    return true;
}

// ---- hints --------------------------------------------------------------------

void TFGlowny::ShowHint()
{
    if (!m_pPodpowiedz->isHidden())
        return;
    m_pPodPodpowiedz->show();
    m_pPodPodpowiedz->raise();
    m_pPodpowiedz->move(0, -kHintFrame.height());
    m_pPodpowiedz->show();
    for (int i = 0; i < kHintSlideSteps; ++i) {
        m_pPodpowiedz->move(0, m_pPodpowiedz->y() + kHintSlideStep);
        m_pPodPodpowiedz->repaint();
        QThread::msleep(1);
    }
    m_pPodpowiedz->move(0, 0);
}

void TFGlowny::HideHint()
{
    if (m_pPodpowiedz->isHidden())
        return;
    for (int i = 0; i < kHintSlideSteps; ++i) {
        m_pPodpowiedz->move(0, m_pPodpowiedz->y() - kHintSlideStep);
        m_pPodPodpowiedz->repaint();
        QThread::msleep(1);
    }
    m_pPodpowiedz->move(0, -kHintFrame.height());
    m_pPodpowiedz->hide();
    m_pPodPodpowiedz->hide();
    appState().HintIndex = 1;
}

void TFGlowny::LPodpowiedzClick()
{
    appState().HintIndex = 1;
    m_lTrescPodpowiedzi->setText(HintText(appState().HintGroup, 1));
    ShowHint();
}

void TFGlowny::LButPodpowiedzClick()
{
    AppState& state = appState();
    state.HintIndex += 1;
    if (state.HintIndex > state.HintCount)
        state.HintIndex = 1;
    m_lTrescPodpowiedzi->setText(HintText(state.HintGroup, state.HintIndex));
}

// ---- events -------------------------------------------------------------------

bool TFGlowny::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress: {
        // Enter goes forward on its release, and only when it was also pressed in the
        // list: the Enter that closed a message over the list must not go forward (and
        // show that message) again.
        auto* key = static_cast<QKeyEvent*>(event);
        if ((watched == m_bListaNauczycieli || watched == m_blistazagadnien) && isEnterKey(key->key()) &&
            !key->isAutoRepeat())
            m_enterPressedIn = watched;
        return false;
    }
    case QEvent::KeyRelease: {
        auto* key = static_cast<QKeyEvent*>(event);
        if ((watched == m_bListaNauczycieli || watched == m_blistazagadnien) && !key->isAutoRepeat()) {
            const bool enterFromHere = isEnterKey(key->key()) && m_enterPressedIn == watched;
            if (isEnterKey(key->key()))
                m_enterPressedIn = nullptr;
            if (isEnterKey(key->key()) && !enterFromHere)
                return true;
            ListKeyUp(static_cast<QListWidget*>(watched), key->key());
        }
        return false;
    }
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        // Any press in a list is a new choice, whichever button; the rest answer the
        // left button only.
        if (m_bListaNauczycieli &&
            (watched == m_bListaNauczycieli->viewport() || watched == m_blistazagadnien->viewport())) {
            ListMouseDown();
            return false;
        }
        if (mouse->button() != Qt::LeftButton)
            return false;
        if (watched == m_lListwa) {
            LListwaMouseDown(mouse->globalPosition().toPoint());
            return true;
        } else if (watched == m_imY) {
            HideHint();
            m_wizard->JumpBackToNumber(mouse->position().toPoint().x());
            return true;
        }
        return false;
    }
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (watched == m_lListwa && m_dragging) {
            LListwaMouseMove(mouse->globalPosition().toPoint());
            return true;
        }
        if (watched == m_lNowaWerdykon)
            HoverWelcomeChoice(m_lNowaWerdykon);
        else if (watched == m_lPrzeslacGotowy)
            HoverWelcomeChoice(m_lPrzeslacGotowy);
        else if (watched == m_imPowitanie)
            HoverWelcomeChoice(nullptr);
        return false;
    }
    case QEvent::MouseButtonRelease: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton)
            return false;
        if (watched == m_lListwa) {
            m_dragging = false;
            return true;
        }
        auto* label = qobject_cast<QLabel*>(watched);
        // A click counts when the button is let go over the control it went down on.
        if (label && label->rect().contains(mouse->position().toPoint()))
            return handleClick(watched);
        return false;
    }
    case QEvent::FocusIn:
        // A welcome choice reached by Tab lights up as under the mouse.
        if (watched == m_lNowaWerdykon || watched == m_lPrzeslacGotowy)
            HoverWelcomeChoice(static_cast<QLabel*>(watched));
        return false;
    case QEvent::FocusOut:
        if (watched == m_lNowaWerdykon || watched == m_lPrzeslacGotowy)
            HoverWelcomeChoice(nullptr);
        return false;
    case QEvent::MouseButtonDblClick: {
        QListWidget* list = watched == m_bListaNauczycieli->viewport() ? m_bListaNauczycieli
                            : watched == m_blistazagadnien->viewport() ? m_blistazagadnien
                                                                       : nullptr;
        if (!list)
            return false;
        // The double-clicked row is the choice, whatever the clicks before it chose.
        const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
        if (QListWidgetItem* item = list->itemAt(at))
            list->setCurrentItem(item);
        m_wizard->GoForward();
        return true;
    }
    default:
        return false;
    }
}

bool TFGlowny::handleClick(QObject* watched)
{
    if (watched == m_lClose) {
        close();
    } else if (watched == m_lMinimize) {
        HideHint();
        showMinimized();
    } else if (watched == m_lHelp) {
        HideHint();
        OpenHelp();
    } else if (watched == m_lAbout) {
        LAboutClick();
    } else if (watched == m_lUpdate) {
        LUpdateClick();
    } else if (watched == m_lPodpowiedz) {
        LPodpowiedzClick();
    } else if (watched == m_lButPodpowiedz) {
        LButPodpowiedzClick();
    } else if (watched == m_lNowaWerdykon) {
        LNowaWerdykonClick();
    } else if (watched == m_lPrzeslacGotowy) {
        LPrzeslacGotowyClick();
    } else if (watched == m_imWstecz) {
        HideHint();
        m_wizard->GoBack();
    } else if (watched == m_imNaprzod) {
        HideHint();
        m_wizard->GoForward();
    } else if (watched == m_imTlo || watched == m_imPowitanie || watched == m_imListaNauczycieli ||
               watched == m_imWyboropcji || watched == m_iPodPodpowiedz || watched == m_lTrescPodpowiedzi) {
        HideHint();
    } else {
        return false;
    }
    return true;
}

void TFGlowny::LListwaMouseDown(const QPoint& globalPosition)
{
    HideHint();
    QCoreApplication::processEvents();
    // The window manager moves the window where it can; the children laid over it
    // go along. Elsewhere the window follows the cursor itself.
    if (windowHandle() && windowHandle()->startSystemMove())
        return;
    m_dragging = true;
    m_dragFrom = globalPosition;
}

void TFGlowny::LListwaMouseMove(const QPoint& globalPosition)
{
    move(pos() + (globalPosition - m_dragFrom));
    m_dragFrom = globalPosition;
}

void TFGlowny::HoverWelcomeChoice(QLabel* highlighted)
{
    setCaptionColour(m_lNowaWerdykon, highlighted == m_lNowaWerdykon ? kCaptionYellow : kCaptionWhite);
    setCaptionColour(m_lPrzeslacGotowy, highlighted == m_lPrzeslacGotowy ? kCaptionYellow : kCaptionWhite);
}

void TFGlowny::LNowaWerdykonClick()
{
    HideHint();
    setCaptionColour(m_lNowaWerdykon, kCaptionWhite);
    m_wizard->StartNewDocument();
}

void TFGlowny::LPrzeslacGotowyClick()
{
    HideHint();
    setCaptionColour(m_lPrzeslacGotowy, kCaptionWhite);
    m_wizard->SendExistingDocument();
}

void TFGlowny::ListMouseDown()
{
    // A click in a list is no choice yet: the editors keep their input until the
    // forward arrow opens one for another teacher or topic.
    HideHint();
}

void TFGlowny::ListKeyUp(QListWidget* list, int key)
{
    if (list == m_bListaNauczycieli)
        ScrollBarFollowsList(m_bListaNauczycieli, m_listwaVNauczyciele);
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        m_wizard->GoForward();
}

void TFGlowny::ArrowKey(bool forward)
{
    // The keys do what a click on the arrow does, and nothing where no arrow stands.
    QWidget* arrow = forward ? m_pNaprzod : m_pWstecz;
    if (arrow->isHidden())
        return;
    HideHint();
    if (forward)
        m_wizard->GoForward();
    else
        m_wizard->GoBack();
}

void TFGlowny::OpenHelp()
{
    const QString path = HelpPage(appState().AppFolder);
    // At the section of the step the teacher is at.
    const QString at =
        HelpSections::PageAt(path, HelpSections::ForStep(appState().WizardStep, appState().TopicIndex));
    if (m_openHelp && m_openHelp(at))
        return;
    // Without a program for web pages the help is shown in a window of our own.
    if (!m_helpWindow)
        m_helpWindow = new HelpWindow(this);
    if (!m_helpWindow->Open(at)) {
        ShowMessage(KindNotice, IconInformation, QStringLiteral("Nie można otworzyć pomocy:\r") + path);
        return;
    }
    m_helpWindow->show();
    m_helpWindow->raise();
    m_helpWindow->activateWindow();
}

void TFGlowny::LAboutClick()
{
    HideHint();
    if (!m_about)
        m_about = new TFAbout(this);
    m_about->move(mapToGlobal(QPoint(220, 200)));
    m_about->exec();
}

void TFGlowny::LUpdateClick()
{
    HideHint();
    m_wizard->UpdateData();
}

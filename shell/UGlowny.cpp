#include "shell/UGlowny.h"

#include "shell/AppFolders.h"
#include "shell/AppState.h"
#include "shell/Platform.h"
#include "shell/StartupSequence.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QPainterPath>
#include <QRegion>
#include <QShowEvent>

TFGlowny::TFGlowny(QWidget* parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    FormCreate();
}

void TFGlowny::FormCreate()
{
    setObjectName(QStringLiteral("FGlowny"));
    setFixedSize(kWidth, kHeight);
    // Qt paints every widget double-buffered already; nothing to switch on here.
}

void TFGlowny::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    FormShow();
}

void TFGlowny::FormShow()
{
    StartupHooks hooks = StartupSequence::programHooks();
    hooks.clearDragState = [this] { m_dragging = false; };
    hooks.shapeWindow = [this] { applyWindowShape(); };
    hooks.resetWizard = [this] { ResetWizard(); };
    // The end is queued so that it is the event loop, not this handler, that stops.
    hooks.endProgram = [] {
        QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                                  Qt::QueuedConnection);
    };
    m_started = StartupSequence(appState(), hooks, Platform::appFolder(), ResolveAppData()).run();
}

void TFGlowny::closeEvent(QCloseEvent* event)
{
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

void TFGlowny::ResetWizard()
{
    AppState& state = appState();
    state.WizardStep = 0;
    state.HintIndex = 1;
    state.HintGroup = 0;
    state.HintCount = 2;
}

#include "windows/editors/EditorWindow.h"

#include "core/AppState.h"
#include "core/Hints.h"
#include "core/Messages.h"
#include "drafts/EditorDrafts.h"
#include "windows/editors/EntryDialog.h"
#include "windows/parts/WindowParts.h"

#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QPointer>
#include <QTimer>

namespace {

// Turns the wheel over a combo box without focus into nothing: Qt would change the
// chosen item (and with it the editor's whole class) under a passing mouse.
class UnfocusedWheel final : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Wheel) {
            auto* combo = qobject_cast<QComboBox*>(watched);
            if (combo && !combo->hasFocus()) {
                event->ignore();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

void KeepWheelOffUnfocused(QComboBox* combo)
{
    combo->setFocusPolicy(Qt::StrongFocus);
    combo->installEventFilter(new UnfocusedWheel(combo));
}

EditorWindow::EditorWindow(const char* objectName, const QString& title, QSize size, QPoint offset,
                           int hintGroup, QWidget* parent)
    : QWidget(parent, parent ? Qt::Widget : Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_offset(offset), m_hintGroup(hintGroup)
{
    // FormCreate
    setObjectName(QString::fromLatin1(objectName));
    setWindowTitle(title);
    setFixedSize(size);

    EditorDrafts::Hooks hooks;
    hooks.collect = [this] { return DraftInput(); };
    hooks.about = [this] { return DraftAbout(); };
    hooks.restore = [this](const QJsonObject& input, QString* notice) {
        m_restoreNotice.clear();
        const bool fits = RestoreDraft(input);
        *notice = m_restoreNotice;
        return fits;
    };
    hooks.dialog = [this] {
        if (!m_openDialog)
            return QJsonObject();
        return QJsonObject{{QStringLiteral("nazwa"), m_openDialog->objectName()},
                           {QStringLiteral("dla"), m_openContext},
                           {QStringLiteral("wpisane"), m_openDialog->TypedState()}};
    };
    hooks.reopenDialog = [this](const QJsonObject& record) {
        // Once the editor is on the screen, as the teacher left it.
        const QJsonObject context = record.value(QStringLiteral("dla")).toObject();
        const QJsonObject typed = record.value(QStringLiteral("wpisane")).toObject();
        QTimer::singleShot(0, this, [this, context, typed] {
            if (isVisible())
                ReopenEntryDialog(context, typed);
        });
    };
    m_drafts = new EditorDrafts(title, std::move(hooks), this);
}

void EditorWindow::ShowEditor()
{
    if (parentWidget())
        move(m_offset);
    SetHintGroup(m_hintGroup);
    FormShow();
    show();
    raise();
    m_drafts->Opened(appState().NavigatingBack);
}

bool EditorWindow::RunEntryDialog(EntryDialog* dialog, const QJsonObject& context, const QJsonObject& typed)
{
    m_openDialog = dialog;
    m_openContext = context;
    if (!typed.isEmpty())
        dialog->PresetTypedState(typed);
    const QMetaObject::Connection typing =
        connect(dialog, &EntryDialog::TypedChanged, this, [this] { InputChanged(); });
    dialog->exec();
    disconnect(typing);
    m_openDialog = nullptr;
    m_openContext = {};
    // Confirmed or not, the draft no longer holds the dialog.
    InputChanged();
    return dialog->Confirmed();
}

void EditorWindow::CloseEditor()
{
    m_drafts->Closed();
    hide();
}

void EditorWindow::KeepDraftNow()
{
    m_drafts->Flush();
}

void EditorWindow::PutDraftAside()
{
    m_drafts->PutAside();
}

void EditorWindow::InputChanged()
{
    m_drafts->Changed();
}

void EditorWindow::OnClick(QLabel* label, std::function<void()> action)
{
    label->installEventFilter(this);
    m_clicks.append({label, std::move(action)});
}

void EditorWindow::WatchClicks(QObject* watched)
{
    watched->installEventFilter(this);
    m_watched.append(watched);
}

QComboBox* EditorWindow::AddChoiceList(QWidget* host, const char* name, const QRect& place)
{
    auto* list = new QComboBox(host);
    list->setObjectName(QString::fromLatin1(name));
    list->setGeometry(place);
    list->setEditable(false);
    WatchClicks(list);
    KeepWheelOffUnfocused(list);
    return list;
}

bool EditorWindow::Refuse(const QString& message)
{
    ShowMessage(KindNotice, IconWarning, message);
    return false;
}

bool EditorWindow::eventFilter(QObject* watched, QEvent* event)
{
    for (const auto& [label, action] : std::as_const(m_clicks)) {
        if (watched == label && WindowParts::isLeftClick(event, label)) {
            action();
            // Whatever the button did is in the next draft.
            InputChanged();
            return true;
        }
    }
    if (WindowParts::isPress(event) && m_watched.contains(watched))
        Q_EMIT HideHint();
    return QWidget::eventFilter(watched, event);
}

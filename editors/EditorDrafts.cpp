#include "editors/EditorDrafts.h"

#include "shell/AppState.h"
#include "shell/Messages.h"
#include "shell/ReportEditor.h"
#include "shell/WizardMachine.h"

#include <QFile>
#include <QLocale>

namespace {

const QString kDamaged = QStringLiteral(
    "Szkicu „%1” nie da się odczytać.\rOdłożono go w folderze Szkice jako uszkodzony; okno zaczyna od "
    "początku.");
const QString kBusy =
    QStringLiteral("Szkic „%1” jest otwarty w innym oknie programu.\rTu zmiany nie trafią do szkicu.");
const QString kCloseQuestion = QStringLiteral(
    "Wpisane dane nie zostały jeszcze dostarczone.\rZamknąć program? Tak – szkic zostanie na następny raz, "
    "Nie – szkic zostanie usunięty.");

DraftStore currentStore()
{
    return DraftStore(appState().DataFolder);
}

} // namespace

EditorDrafts::EditorDrafts(QString topicName, Hooks hooks, QObject* parent)
    : QObject(parent), m_topicName(std::move(topicName)), m_hooks(std::move(hooks)),
      m_keeper([this] { return Collect(); }, this)
{
}

std::optional<Draft> EditorDrafts::Collect() const
{
    const std::optional<QJsonObject> input = m_hooks.collect();
    if (!input)
        return std::nullopt;
    Draft draft;
    draft.About = m_hooks.about ? m_hooks.about() : QString();
    draft.Input = *input;
    return draft;
}

QString EditorDrafts::OfferText(const QString& topicName, const Draft& draft)
{
    const QLocale polish(QLocale::Polish, QLocale::Poland);
    QString what = QStringLiteral("„") + topicName + QStringLiteral("”");
    if (!draft.About.isEmpty())
        what += QStringLiteral(" (") + draft.About + QStringLiteral(")");
    return QStringLiteral("Kontynuować niedokończony szkic %1 z %2, %3?\rNie – szkic zostanie usunięty.")
        .arg(what, polish.toString(draft.Changed.date(), QStringLiteral("d MMMM yyyy")),
             polish.toString(draft.Changed.time(), QStringLiteral("HH:mm")));
}

void EditorDrafts::Opened(bool navigatingBack)
{
    const AppState& state = appState();
    const DraftStore store = currentStore();
    const QString teacher = state.TeacherName;
    const int topic = state.TopicIndex;
    if (!store.IsUsable())
        return; // an editor on its own, without the program's folders
    if (!m_keeper.Begin(store, teacher, topic)) {
        ShowMessage(KindNotice, IconWarning, kBusy.arg(m_topicName));
        return;
    }
    if (navigatingBack)
        return;

    Draft draft;
    switch (store.Read(teacher, topic, &draft)) {
    case DraftStore::Found::None:
        return;
    case DraftStore::Found::Damaged:
        ShowMessage(KindNotice, IconWarning, kDamaged.arg(m_topicName));
        return;
    case DraftStore::Found::Draft:
        break;
    }
    // Only Nie gives the draft up; any other answer keeps the teacher's work.
    if (ShowMessage(KindQuestion, IconQuestion, OfferText(m_topicName, draft)) == AnswerNo) {
        m_keeper.Discard();
        m_keeper.Begin(store, teacher, topic);
        return;
    }
    if (!m_hooks.restore(draft.Input)) {
        // Readable, but it no longer fits the school's data: set aside as well.
        m_keeper.End();
        const QString path = store.PathOf(teacher, topic);
        const QString aside = path + QStringLiteral(".niepasujacy");
        QFile::remove(aside);
        QFile::rename(path, aside);
        ShowMessage(KindNotice, IconWarning, kDamaged.arg(m_topicName));
        m_keeper.Begin(store, teacher, topic);
    }
}

void EditorDrafts::Discard()
{
    const AppState& state = appState();
    if (m_keeper.IsKeeping()) {
        m_keeper.Discard();
        return;
    }
    currentStore().Remove(state.TeacherName, state.TopicIndex);
}

bool AskBeforeClosing(ReportEditor* editor)
{
    const AppState& state = appState();
    if (!editor || state.SendExisting || state.WizardStep < WizardMachine::StepEditor)
        return true;
    // Delivered from the delivery window: nothing is left to lose.
    if (state.ReportDelivered && state.WizardStep >= WizardMachine::StepPreview)
        return true;
    if (!editor->HoldsInput())
        return true;
    editor->KeepDraftNow();
    switch (ShowMessage(KindQuestion, IconQuestion, kCloseQuestion)) {
    case AnswerYes:
        return true;
    case AnswerNo:
        editor->DiscardDraft();
        return true;
    default:
        return false;
    }
}

bool AskBeforeDiscarding(const QString& question)
{
    return ShowMessage(KindQuestion, IconQuestion, question) == AnswerYes;
}

#include "drafts/EditorDrafts.h"

#include "core/AppState.h"
#include "core/Messages.h"
#include "program/ReportEditor.h"
#include "program/WizardMachine.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>

namespace {

const QString kDamaged = QStringLiteral(
    "Szkicu „%1” nie da się odczytać.\rOdłożono go w folderze Szkice jako uszkodzony; okno zaczyna od "
    "początku.");
const QString kUnfit = QStringLiteral(
    "Szkic „%1” nie pasuje do dzisiejszych danych szkoły (nie ma już tej klasy lub tego przedmiotu).\r"
    "Odłożono go w folderze Szkice; okno zaczyna od początku.");
const QString kBusy =
    QStringLiteral("Szkic „%1” jest otwarty w innym oknie programu.\rTu zmiany nie trafią do szkicu.");
const QString kOtherMachine = QStringLiteral(
    "Szkic „%1” zajął program na komputerze „%2”.\rJeśli tam program już nie działa, możesz przejąć "
    "szkic. Jeśli działa, zmiany z obu komputerów nadpisałyby się nawzajem.");
const QString kDiscardFailed = QStringLiteral(
    "Szkicu „%1” nie udało się odłożyć do folderu Szkice/Odrzucone.\rSzkic został na miejscu; okno "
    "pokazuje go dalej.");

DraftStore currentStore()
{
    return DraftStore(appState().DataFolder);
}

QString when(const QDateTime& changed)
{
    const QLocale polish(QLocale::Polish, QLocale::Poland);
    return polish.toString(changed.date(), QStringLiteral("d MMMM yyyy")) + QStringLiteral(", ") +
           polish.toString(changed.time(), QStringLiteral("HH:mm"));
}

// A name of its own beside the draft for one that no longer fits, never over an
// earlier one.
void setAsideUnfit(const QString& path)
{
    QString aside = path + QStringLiteral(".niepasujacy");
    for (int n = 2; QFileInfo(aside).exists() || QFileInfo(aside).isSymLink(); ++n)
        aside = path + QStringLiteral(".niepasujacy-%1").arg(n);
    QFile::rename(path, aside);
}

} // namespace

EditorDrafts::EditorDrafts(QString topicName, Hooks hooks, QObject* parent)
    : QObject(parent), m_topicName(std::move(topicName)), m_hooks(std::move(hooks)),
      m_keeper([this] { return Collect(); }, this)
{
}

std::optional<Draft> EditorDrafts::Collect() const
{
    const QJsonObject dialog = m_hooks.dialog ? m_hooks.dialog() : QJsonObject();
    std::optional<QJsonObject> input = m_hooks.collect();
    // Text typed into an entry dialog is input too, even before the editor holds any.
    if (!input && dialog.isEmpty())
        return std::nullopt;
    Draft draft;
    draft.About = m_hooks.about ? m_hooks.about() : QString();
    draft.Input = input.value_or(QJsonObject());
    draft.Dialog = dialog;
    return draft;
}

QString EditorDrafts::OfferText(const QString& topicName, const Draft& draft)
{
    QString what = QStringLiteral("„") + topicName + QStringLiteral("”");
    if (!draft.About.isEmpty())
        what += QStringLiteral(" (") + draft.About + QStringLiteral(")");
    return QStringLiteral("Masz niedokończony szkic %1 z %2.\r„Kontynuuj” przywraca szkic. „Zacznij od nowa” "
                          "odkłada go do folderu Szkice/Odrzucone, gdzie czeka %3 dni.")
        .arg(what, when(draft.Changed))
        .arg(DraftStore::kDiscardedDays);
}

QString EditorDrafts::OtherMachineText(const QString& topicName, const QString& holder)
{
    return kOtherMachine.arg(topicName, holder);
}

NamedAnswers EditorDrafts::OfferAnswers()
{
    return {QStringLiteral("Kontynuuj"), QStringLiteral("Zacznij od nowa"), AnswerYes};
}

bool EditorDrafts::TakeLock(const DraftStore& store, const QString& teacher, int topic)
{
    switch (m_keeper.Begin(store, teacher, topic)) {
    case DraftKeeper::Lock::Taken:
        return true;
    case DraftKeeper::Lock::Failed:
        return false;
    case DraftKeeper::Lock::Busy:
        ShowMessage(KindNotice, IconWarning, kBusy.arg(m_topicName));
        return false;
    case DraftKeeper::Lock::OtherMachine:
        break;
    }
    const QString holder = m_keeper.Holder();
    const NamedAnswers answers{QStringLiteral("Przejmij szkic"), QStringLiteral("Nie przejmuj"), AnswerNo};
    if (AskNamed(IconQuestion, OtherMachineText(m_topicName, holder), answers) != AnswerYes) {
        ShowMessage(KindNotice, IconWarning, kBusy.arg(m_topicName));
        return false;
    }
    return m_keeper.TakeOver(store, teacher, topic) == DraftKeeper::Lock::Taken;
}

void EditorDrafts::Opened(bool navigatingBack)
{
    const AppState& state = appState();
    const DraftStore store = currentStore();
    const QString teacher = state.TeacherName;
    const int topic = state.TopicIndex;
    if (!store.IsUsable())
        return; // an editor on its own, without the program's folders
    if (!TakeLock(store, teacher, topic))
        return;
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
    // Only "Zacznij od nowa" puts the draft aside, and even then it is kept a while.
    if (AskNamed(IconQuestion, OfferText(m_topicName, draft), OfferAnswers()) == AnswerNo) {
        m_keeper.Discard();
        if (QFileInfo::exists(store.PathOf(teacher, topic)))
            ShowMessage(KindNotice, IconWarning, kDiscardFailed.arg(m_topicName));
        m_keeper.Begin(store, teacher, topic);
        return;
    }
    QString notice;
    if (!draft.Input.isEmpty() && !m_hooks.restore(draft.Input, &notice)) {
        // Readable, but it no longer fits the school's data: set aside as well.
        m_keeper.End();
        setAsideUnfit(store.PathOf(teacher, topic));
        ShowMessage(KindNotice, IconWarning, kUnfit.arg(m_topicName));
        m_keeper.Begin(store, teacher, topic);
        return;
    }
    if (!notice.isEmpty())
        ShowMessage(KindNotice, IconInformation, notice);
    if (!draft.Dialog.isEmpty() && m_hooks.reopenDialog)
        m_hooks.reopenDialog(draft.Dialog);
}

void EditorDrafts::PutAside()
{
    if (!m_keeper.IsKeeping())
        return;
    m_keeper.Flush();
    m_keeper.Discard();
    const AppState& state = appState();
    m_keeper.Begin(currentStore(), state.TeacherName, state.TopicIndex);
}

QString CloseQuestionText()
{
    return QStringLiteral("Wpisane dane nie zostały jeszcze dostarczone.\rSzkic zostaje zapisany; program "
                          "zaproponuje go przy następnym otwarciu tego zagadnienia.\rZamknąć program?");
}

NamedAnswers CloseQuestionAnswers()
{
    return {QStringLiteral("Zamknij program"), QStringLiteral("Wróć do pracy"), AnswerNo};
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
    // Both answers keep the work: the draft stays whatever the teacher chooses.
    return AskNamed(IconQuestion, CloseQuestionText(), CloseQuestionAnswers()) == AnswerYes;
}

bool AskBeforeChanging(const QString& question, const QString& change, const QString& keep)
{
    return AskNamed(IconQuestion, question, NamedAnswers{change, keep, AnswerNo}) == AnswerYes;
}

QString WaitingDraftsText(const QString& dataFolder, const std::function<QString(int)>& topicName)
{
    const QList<Draft> drafts = DraftStore(dataFolder).All();
    if (drafts.isEmpty())
        return {};
    QStringList lines;
    lines << (drafts.size() == 1 ? QStringLiteral("Czeka niedokończony szkic:")
                                 : QStringLiteral("Czekają niedokończone szkice:"));
    // Three lines fit under the choices; the rest are counted.
    constexpr int kShown = 3;
    for (const Draft& draft : drafts.mid(0, kShown)) {
        // Whose, of what, when: the class or subject is named when the draft is offered.
        const QString line = QStringLiteral("• ") + draft.Teacher + QStringLiteral(" – ") + topicName(draft.Topic);
        // This year's dates need no year, which keeps most lines to one.
        const QLocale polish(QLocale::Polish, QLocale::Poland);
        const QString day = draft.Changed.date().year() == QDate::currentDate().year()
                                ? polish.toString(draft.Changed.date(), QStringLiteral("d MMMM"))
                                : polish.toString(draft.Changed.date(), QStringLiteral("d MMMM yyyy"));
        lines << line + QStringLiteral(", ") + day + QLatin1Char(' ') +
                     polish.toString(draft.Changed.time(), QStringLiteral("HH:mm"));
    }
    if (drafts.size() > kShown) {
        const qsizetype more = drafts.size() - kShown;
        const qsizetype tens = more % 100;
        const QString noun = more == 1                                                        ? QStringLiteral("szkic")
                             : (more % 10 >= 2 && more % 10 <= 4 && !(tens >= 12 && tens <= 14)) ? QStringLiteral("szkice")
                                                                                                : QStringLiteral("szkiców");
        lines << QStringLiteral("… i jeszcze %1 %2").arg(more).arg(noun);
    }
    return lines.join(QLatin1Char('\n'));
}

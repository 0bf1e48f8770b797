#include "windows/editors/UUzasadnienie.h"

#include "core/AppState.h"
#include "core/Hints.h"
#include "core/KlasaFull.h"
#include "core/Messages.h"
#include "core/PolishPlural.h"
#include "core/TextForm.h"
#include "document/ReportRoutines.h"
#include "resources/skins/UzasadnienieLayout.h"
#include "windows/delivery/UBrowser.h"
#include "windows/editors/UEdycjaNdst.h"
#include "windows/parts/ListBoxHelpers.h"
#include "windows/parts/ListEntryDetail.h"
#include "windows/parts/SkinOnShow.h"
#include "windows/parts/WindowParts.h"

#include <QComboBox>
#include <QDateTime>
#include <QJsonArray>
#include <QListWidget>

using namespace WindowParts;
using namespace UzasadnienieLayout;

namespace {

constexpr JustificationKind kFailing = JustificationKind::FailingGrade;
const QString kChooseFromList = QStringLiteral("Wybierz z listy");
const QString kChooseSubject = QStringLiteral("Wybierz przedmiot nauczania z listy.");
const QString kChangeClassQuestion = QStringLiteral(
    "Zmiana klasy usunie z okna uzasadnienia wpisane dla klasy „%1”; szkic trafi do folderu "
    "Szkice/Odrzucone.\rZmienić klasę na „%2”?");
const QString kChangeSubject =
    QStringLiteral("Zmienić przedmiot „%1” na „%2”?\rWpisane uzasadnienia zostaną przy nowym przedmiocie.");

} // namespace

TFUzasadnienie::TFUzasadnienie(TFEdytujNdst* dialog, TFBrowser* preview, QWidget* parent)
    : ClassEditor("FUzasadnienie", QStringLiteral("Uzasadnienie oceny niedostatecznej"),
                  QSize(kWidth, kHeight), QPoint(kLeftOffset, kTopOffset), HintGroupJustification, preview,
                  parent),
      m_dialog(dialog)
{
    m_imTlo = AddBackground(this, QStringLiteral("tlouzasadnienie"));
    m_cPrzedmiotNauczania = AddChoiceList(this, "CPrzedmiotNauczania", kSubjectList);
    m_lRozwinPrzedmiot = makeButtonLabel(this, "LRozwinPrzedmiot", kSubjectDrop);
    m_cListaKlas = AddChoiceList(this, "CListaKlas", kClassList);
    m_lRozwinKlase = makeButtonLabel(this, "LRozwinKlase", kClassDrop);
    m_lUczniowie = AddPupilList(this, "LUczniowie", kPupilList, QAbstractItemView::ExtendedSelection);
    m_lUzasadnione = AddPupilList(this, "LUzasadnione", kJustifiedList, QAbstractItemView::SingleSelection);
    m_lUzasadniaj = makeButtonLabel(this, "LUzasadniaj", kJustifyButton);
    m_lUsun = makeButtonLabel(this, "LUsun", kRemoveButton);
    m_lEdytuj = makeButtonLabel(this, "LEdytuj", kEditButton);
    for (QWidget* chooser :
         std::initializer_list<QWidget*>{m_cPrzedmiotNauczania, m_cListaKlas, m_lUczniowie, m_lUzasadnione})
        chooser->setToolTip(kChooseFromList);

    OnClick(m_lRozwinPrzedmiot, [this] { LRozwinPrzedmiotClick(); });
    OnClick(m_lRozwinKlase, [this] { LRozwinKlaseClick(); });
    OnClick(m_lUzasadniaj, [this] { LUzasadniajClick(); });
    OnClick(m_lUsun, [this] { LUsunClick(); });
    OnClick(m_lEdytuj, [this] { LEdytujClick(); });

    AskOnChange(m_cListaKlas, kChangeClassQuestion, kChangeClass, kKeepClass, true, [this](int index) { CListaKlasChange(index); });
    // The justifications stay with a new subject; the report is written for the
    // subject chosen when it is finished.
    AskOnChange(m_cPrzedmiotNauczania, kChangeSubject, QStringLiteral("Zmień przedmiot"),
                QStringLiteral("Zostaw przedmiot"), false, [](int) {});
    OnDoubleClick(m_lUczniowie, [this] { LUzasadniajClick(); });
    ListEntryDetail::ShowDetails(m_lUzasadnione);
}

void TFUzasadnienie::ShowEnteredJustifications()
{
    // Beside each name the subject and the start of the text entered for it.
    const _KlasaFull& sheet = klasaFull();
    for (int i = 0; i < m_lUzasadnione->count(); ++i) {
        QListWidgetItem* item = m_lUzasadnione->item(i);
        const int row = sheet.FindPupilRow(item->text());
        QString detail;
        if (row >= 0) {
            const QString text = sheet.JustificationToLines(kFailing, row).join(QLatin1Char(' ')).simplified();
            detail = sheet.Rows.at(row).FailSubjects;
            if (!text.isEmpty())
                detail += (detail.isEmpty() ? QString() : QStringLiteral(": ")) + text;
        }
        ListEntryDetail::Set(item, detail);
    }
}

void TFUzasadnienie::FormShow()
{
    // Back from the preview everything written stays as it was.
    if (appState().NavigatingBack)
        return;

    AppState& state = appState();
    m_filling = true;
    m_cPrzedmiotNauczania->clear();
    m_cPrzedmiotNauczania->addItems(state.SubjectNames);
    if (m_cPrzedmiotNauczania->count() > 0)
        m_cPrzedmiotNauczania->setCurrentIndex(0);
    m_filling = false;
    state.CurrentPupilIndex = -1;

    FillClasses(m_cListaKlas);
    LoadClass(0);
}

void TFUzasadnienie::LoadClass(int classIndex)
{
    AppState& state = appState();
    state.CurrentClassIndex = classIndex;
    _KlasaFull& sheet = klasaFull();
    sheet.LoadClassSheet(classIndex);
    QStringList pupils;
    for (int row = 0; row < sheet.PupilCount; ++row)
        pupils << sheet.Rows.at(row).Name;
    ListToListBox(m_lUczniowie, pupils);
    if (m_lUczniowie->count() > 0) {
        // Only the focus mark: the teacher chooses whom to justify.
        m_lUczniowie->setCurrentRow(0, QItemSelectionModel::NoUpdate);
        state.CurrentPupilIndex = 0;
    }
    m_lUzasadnione->clear();
}

UzasadnienieEdit TFUzasadnienie::Edit() const
{
    UzasadnienieEdit edit;
    edit.Subject = ChosenSubject();
    edit.ClassName = m_cListaKlas->currentText();
    edit.Justified = Items(m_lUzasadnione);
    edit.Rows = SheetRows();
    return edit;
}

bool TFUzasadnienie::ShowEdit(const UzasadnienieEdit& edit)
{
    const int subject = m_cPrzedmiotNauczania->findText(edit.Subject, Qt::MatchExactly);
    QStringList pupils;
    if (subject < 0 || !RestoreClass(m_cListaKlas, edit.ClassName, edit.Rows, &pupils))
        return false;
    m_filling = true;
    m_cPrzedmiotNauczania->setCurrentIndex(subject);
    m_filling = false;
    ListToListBox(m_lUczniowie, pupils);
    if (m_lUczniowie->count() > 0)
        m_lUczniowie->setCurrentRow(0, QItemSelectionModel::NoUpdate);
    ListToListBox(m_lUzasadnione, Present(edit.Justified, pupils));
    ShowEnteredJustifications();
    return true;
}

QString TFUzasadnienie::DraftAbout() const
{
    return ChosenSubject() + QStringLiteral(", klasa ") + m_cListaKlas->currentText();
}

void TFUzasadnienie::ReopenEntryDialog(const QJsonObject& context, const QJsonObject& typed)
{
    const QString action = context.value(QStringLiteral("akcja")).toString();
    if (action == QLatin1String("dodaj")) {
        m_lUczniowie->clearSelection();
        for (const QJsonValue& name : context.value(QStringLiteral("uczniowie")).toArray()) {
            const int row = RowOfName(m_lUczniowie, name.toString());
            if (row >= 0)
                m_lUczniowie->item(row)->setSelected(true);
        }
        if (!m_lUczniowie->selectedItems().isEmpty())
            LUzasadniajClick(typed);
    } else if (action == QLatin1String("edytuj")) {
        const QList<QListWidgetItem*> found =
            m_lUzasadnione->findItems(context.value(QStringLiteral("uczen")).toString(), Qt::MatchExactly);
        if (found.isEmpty())
            return;
        m_lUzasadnione->setCurrentItem(found.first());
        LEdytujClick(typed);
    }
    InputChanged();
}

QString TFUzasadnienie::ChosenSubject() const
{
    return m_cPrzedmiotNauczania->currentText();
}

void TFUzasadnienie::CListaKlasChange(int index)
{
    // The teacher has agreed: every justification of the previous class goes.
    LoadClass(index);
}

void TFUzasadnienie::LRozwinPrzedmiotClick()
{
    Q_EMIT HideHint();
    m_cPrzedmiotNauczania->showPopup();
}

void TFUzasadnienie::LRozwinKlaseClick()
{
    Q_EMIT HideHint();
    m_cListaKlas->showPopup();
}

void TFUzasadnienie::LUzasadniajClick(const QJsonObject& typed)
{
    Q_EMIT HideHint();
    if (!m_dialog)
        return;
    QStringList& names = appState().SelectedPupils;
    CollectSelected(m_lUczniowie, names);
    if (names.isEmpty()) {
        ShowMessage(
            KindNotice, IconWarning,
            QStringLiteral("Wybierz ucznia, którego ocenę chcesz uzasadnić.\rSięgnij do listy po lewej."));
        return;
    }
    _KlasaFull& sheet = klasaFull();
    const QString justified = sheet.FirstJustifiedPupil(kFailing, names);
    if (!justified.isEmpty()) {
        ShowMessage(KindNotice, IconWarning,
                    QStringLiteral("Istnieje już uzasadnienie dla ") + justified +
                        QStringLiteral(".\rUsuń wcześniej pozycję lub edytuj."));
        return;
    }
    // The subject marks a row as justified: without one the text would be counted
    // but left out of the report.
    if (ChosenSubject().isEmpty()) {
        ShowMessage(KindNotice, IconWarning, kChooseSubject);
        return;
    }
    // SelectedPupils is shared by every window: this text keeps its own list.
    const QStringList pupils = names;
    m_dialog->SetPupils(PolishPlural::PupilsCaption(pupils));
    m_dialog->SetText({});
    const QJsonObject context{{QStringLiteral("akcja"), QStringLiteral("dodaj")},
                              {QStringLiteral("uczniowie"), QJsonArray::fromStringList(pupils)}};
    if (!RunEntryDialog(m_dialog, context, typed))
        return;
    AddMissingItems(m_lUzasadnione, pupils);
    sheet.StoreJustificationForPupils(kFailing, pupils, ChosenSubject(), m_dialog->TypedLines());
    ShowEnteredJustifications();
}

void TFUzasadnienie::LEdytujClick(const QJsonObject& typed)
{
    Q_EMIT HideHint();
    if (!m_dialog)
        return;
    if (m_lUzasadnione->count() == 0) {
        ShowMessage(KindNotice, IconWarning,
                    QStringLiteral("Nie masz jeszcze co edytować.\rLista po prawej jest pusta."));
        return;
    }
    const QList<QListWidgetItem*> chosen = m_lUzasadnione->selectedItems();
    if (chosen.isEmpty()) {
        ShowMessage(
            KindNotice, IconWarning,
            QStringLiteral("Wskaż na liście po prawej ucznia, którego uzasadnienie chcesz edytować."));
        return;
    }
    const QString name = chosen.first()->text();
    _KlasaFull& sheet = klasaFull();
    const int row = sheet.FindPupilRow(name);
    if (row < 0)
        return;
    appState().CurrentPupilIndex = row;
    m_dialog->SetText(sheet.JustificationToLines(kFailing, row));
    m_lUczniowie->setCurrentRow(row, QItemSelectionModel::NoUpdate);
    m_dialog->SetPupils(PolishPlural::PupilsCaption({name}));
    const QJsonObject context{{QStringLiteral("akcja"), QStringLiteral("edytuj")}, {QStringLiteral("uczen"), name}};
    if (!RunEntryDialog(m_dialog, context, typed))
        return;
    // Only this pupil: others who shared the old text keep it.
    sheet.StoreJustification(kFailing, row, ChosenSubject(), m_dialog->TypedLines());
    ShowEnteredJustifications();
}

void TFUzasadnienie::LUsunClick()
{
    Q_EMIT HideHint();
    if (m_lUzasadnione->count() == 0) {
        ShowMessage(KindNotice, IconWarning,
                    QStringLiteral("Nie masz jeszcze co usuwać.\rLista po prawej jest pusta."));
        return;
    }
    const QList<QListWidgetItem*> chosen = m_lUzasadnione->selectedItems();
    if (chosen.isEmpty()) {
        ShowMessage(KindNotice, IconWarning,
                    QStringLiteral("Wskaż na liście po prawej ucznia, którego uzasadnienie chcesz usunąć."));
        return;
    }
    _KlasaFull& sheet = klasaFull();
    if (!sheet.ConfirmDeleteJustification(kFailing, chosen.first()->text()))
        return;
    QStringList& names = appState().SelectedPupils;
    names = sheet.CollectPupils(FilterFailSubjects);
    ListToListBox(m_lUzasadnione, names);
    ShowEnteredJustifications();
}

bool TFUzasadnienie::FinishReport()
{
    _KlasaFull& sheet = klasaFull();
    if (sheet.CountJustifications(kFailing) == 0)
        return Refuse(QStringLiteral("Brak jakiegokolwiek uzasadnienia.\rNapisz coś lub opuść to okno."));
    // The routine tells the user itself when a file cannot be written.
    if (!WriteUzasadnienieReport(Edit().Report(), sheet, appState(), QDateTime::currentDateTime()))
        return false;
    return HandOver(kPreviewUzasadnienie);
}

void TFUzasadnienie::ClearEditorInputs()
{
    m_lUzasadnione->clear();
}

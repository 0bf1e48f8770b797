#include "windows/editors/UZachowanie.h"

#include "windows/delivery/UBrowser.h"
#include "document/ReportRoutines.h"
#include "windows/editors/UNaganneEdycja.h"
#include "windows/parts/SkinOnShow.h"
#include "resources/skins/ZachowanieLayout.h"
#include "core/AppState.h"
#include "core/Hints.h"
#include "core/KlasaFull.h"
#include "windows/parts/ListBoxHelpers.h"
#include "core/Messages.h"
#include "windows/parts/ListEntryDetail.h"
#include "core/PolishPlural.h"
#include "core/SchoolData.h"
#include "core/TextForm.h"
#include "windows/parts/WindowParts.h"

#include <QComboBox>
#include <QDateTime>
#include <QJsonArray>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>

using namespace WindowParts;
using namespace ZachowanieLayout;

namespace {

constexpr JustificationKind kConduct = JustificationKind::Conduct;

} // namespace

TFZachowania::TFZachowania(TFEdytujZachowanie* dialog, TFBrowser* preview, QWidget* parent)
    : ClassEditor("FZachowania", QStringLiteral("Werdykon uczniów pod względem zachowania"),
                  QSize(kWidth, kHeight), QPoint(kLeftOffset, kTopOffset), HintGroupClassEditors, preview,
                  parent),
      m_dialog(dialog)
{
    m_imTlo = AddBackground(this, QStringLiteral("tlozachowanie"));
    AddTabStrip(kStrip, QStringLiteral("zakladkizachowanie"), kTabWidth, kTabHeight,
                {"LOgolne", "LFrekwencja", "LSrednie"});

    QWidget* general = AddTab("POgolne", QStringLiteral("tlozachowanieogolne"), kPanel);
    m_cListaKlasOgolne = AddChoiceList(general, "CListaKlasOgolne", kClassList);
    m_lRozwinListe = makeButtonLabel(general, "LRozwinListe", kDropHotSpot);
    m_eKlasyfikowanych = new QLineEdit(general);
    m_eKlasyfikowanych->setObjectName(QStringLiteral("EKlasyfikowanych"));
    m_eKlasyfikowanych->setGeometry(kClassified);
    m_eKlasyfikowanych->setReadOnly(true);
    m_mInneUwagi = new QPlainTextEdit(general);
    m_mInneUwagi->setObjectName(QStringLiteral("MInneUwagi"));
    m_mInneUwagi->setGeometry(kRemarks);
    m_mInneUwagi->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_mInneUwagi->setTabChangesFocus(true);

    QWidget* exemplary = AddTab("PWzorowi", QStringLiteral("tlozachowaniewzorowi"), kPanel);
    m_lUczniowieWzorowe =
        AddPupilList(exemplary, "LUczniowieWzorowe", kLeftList, QAbstractItemView::ExtendedSelection);
    m_lWzorowi = AddPupilList(exemplary, "LWzorowi", kRightList, QAbstractItemView::SingleSelection);
    m_lDodajWzorowego = makeButtonLabel(exemplary, "LDodajWzorowego", kAddButton);
    m_lUsunWzorowego = makeButtonLabel(exemplary, "LUsunWzorowego", kRemoveButton);

    QWidget* lowered = AddTab("PObnizone", QStringLiteral("tlozachowanieobnizone"), kPanel);
    m_lUczniowieNaganne =
        AddPupilList(lowered, "LUczniowieNaganne", kLeftList, QAbstractItemView::ExtendedSelection);
    m_lNaganni = AddPupilList(lowered, "LNaganni", kRightList, QAbstractItemView::SingleSelection);
    m_lDodajObnizone = makeButtonLabel(lowered, "LDodajObnizone", kAddButton);
    m_lUsunObnizone = makeButtonLabel(lowered, "LUsunObnizone", kRemoveButton);
    m_lEdytujObnizone = makeButtonLabel(lowered, "LEdytujObnizone", kEditButton);

    OnClick(m_lRozwinListe, [this] { LRozwinListeClick(); });
    OnClick(m_lDodajWzorowego, [this] { LDodajWzorowegoClick(); });
    OnClick(m_lUsunWzorowego, [this] { LUsunWzorowegoClick(); });
    OnClick(m_lDodajObnizone, [this] { LDodajObnizoneClick(); });
    OnClick(m_lUsunObnizone, [this] { LUsunObnizoneClick(); });
    OnClick(m_lEdytujObnizone, [this] { LEdytujObnizoneClick(); });
    // Every picture, list, the edit, the memo and the class list dismiss the hint.
    for (QObject* watched :
         std::initializer_list<QObject*>{m_lRozwinListe, m_eKlasyfikowanych, m_mInneUwagi->viewport()})
        WatchClicks(watched);

    AskOnChange(m_cListaKlasOgolne, kChangeClassQuestion, kChangeClass, kKeepClass, true,
                [this](int index) { CListaKlasOgolneChange(index); });
    connect(m_mInneUwagi, &QPlainTextEdit::textChanged, this, [this] { InputChanged(); });
    OnDoubleClick(m_lUczniowieWzorowe, [this] { LDodajWzorowegoClick(); });
    OnDoubleClick(m_lUczniowieNaganne, [this] { LDodajObnizoneClick(); });
    ListEntryDetail::ShowDetails(m_lNaganni);

    ShowTab(1);
}

void TFZachowania::ShowEnteredGrades()
{
    // Beside each name the lowered grade entered for it.
    const _KlasaFull& sheet = klasaFull();
    for (int i = 0; i < m_lNaganni->count(); ++i) {
        QListWidgetItem* item = m_lNaganni->item(i);
        const int row = sheet.FindPupilRow(item->text());
        ListEntryDetail::Set(item, row >= 0 ? sheet.Rows.at(row).ConductGrade : QString());
    }
}

void TFZachowania::FormShow()
{
    // Back from the preview everything entered stays as it was, on the first tab
    // where the report left it.
    if (appState().NavigatingBack)
        return;

    ShowTab(1);
    appState().CurrentPupilIndex = 0;
    FillClasses(m_cListaKlasOgolne);
    LoadClass(0);
}

void TFZachowania::LoadClass(int classIndex)
{
    AppState& state = appState();
    state.CurrentClassIndex = classIndex;
    state.CurrentPupilIndex = 0;

    const bool known = classIndex >= 0 && classIndex < schoolData().Classes.size();
    _KlasaFull& sheet = klasaFull();
    sheet.LoadClassSheet(classIndex);
    QStringList pupils;
    for (int row = 0; row < sheet.PupilCount; ++row)
        pupils << sheet.Rows.at(row).Name;
    for (QListWidget* list : {m_lUczniowieWzorowe, m_lUczniowieNaganne}) {
        ListToListBox(list, pupils);
        // Only the focus mark: the teacher chooses the pupils.
        if (list->count() > 0)
            list->setCurrentRow(0, QItemSelectionModel::NoUpdate);
    }

    m_mInneUwagi->clear();
    m_lWzorowi->clear();
    m_lNaganni->clear();
    // Without a class there is nothing to count; the empty count stops the report.
    m_eKlasyfikowanych->setText(known ? QString::number(sheet.PupilCount) : QString());
}

ZachowanieEdit TFZachowania::Edit() const
{
    ZachowanieEdit edit;
    edit.ClassName = m_cListaKlasOgolne->currentText();
    edit.Classified = m_eKlasyfikowanych->text();
    edit.Remarks = TypedText(m_mInneUwagi);
    edit.Exemplary = Items(m_lWzorowi);
    edit.Lowered = Items(m_lNaganni);
    edit.Rows = SheetRows();
    return edit;
}

bool TFZachowania::ShowEdit(const ZachowanieEdit& edit)
{
    QStringList pupils;
    if (!RestoreClass(m_cListaKlasOgolne, edit.ClassName, edit.Rows, &pupils))
        return false;
    for (QListWidget* list : {m_lUczniowieWzorowe, m_lUczniowieNaganne}) {
        ListToListBox(list, pupils);
        if (list->count() > 0)
            list->setCurrentRow(0, QItemSelectionModel::NoUpdate);
    }
    // Pupils gone or new since the draft: the count is today's.
    m_eKlasyfikowanych->setText(m_restoreNotice.isEmpty() ? edit.Classified : QString::number(pupils.size()));
    m_mInneUwagi->setPlainText(edit.Remarks);
    ListToListBox(m_lWzorowi, Present(edit.Exemplary, pupils));
    ListToListBox(m_lNaganni, Present(edit.Lowered, pupils));
    ShowEnteredGrades();
    return true;
}

QString TFZachowania::DraftAbout() const
{
    return QStringLiteral("klasa ") + m_cListaKlasOgolne->currentText();
}

void TFZachowania::ReopenEntryDialog(const QJsonObject& context, const QJsonObject& typed)
{
    const QString action = context.value(QStringLiteral("akcja")).toString();
    if (action == QLatin1String("dodaj")) {
        const QJsonArray names = context.value(QStringLiteral("uczniowie")).toArray();
        ShowTab(3);
        m_lUczniowieNaganne->clearSelection();
        for (const QJsonValue& name : names) {
            const int row = RowOfName(m_lUczniowieNaganne, name.toString());
            if (row >= 0)
                m_lUczniowieNaganne->item(row)->setSelected(true);
        }
        if (!m_lUczniowieNaganne->selectedItems().isEmpty())
            LDodajObnizoneClick(typed);
    } else if (action == QLatin1String("edytuj")) {
        const QList<QListWidgetItem*> found =
            m_lNaganni->findItems(context.value(QStringLiteral("uczen")).toString(), Qt::MatchExactly);
        if (found.isEmpty())
            return;
        ShowTab(3);
        m_lNaganni->setCurrentItem(found.first());
        LEdytujObnizoneClick(typed);
    }
    InputChanged();
}

void TFZachowania::CListaKlasOgolneChange(int index)
{
    // The teacher has agreed: everything entered for the previous class goes.
    LoadClass(index);
}

void TFZachowania::LRozwinListeClick()
{
    Q_EMIT HideHint();
    m_cListaKlasOgolne->showPopup();
}

void TFZachowania::LDodajWzorowegoClick()
{
    Q_EMIT HideHint();
    QStringList& names = appState().SelectedPupils;
    CollectSelected(m_lUczniowieWzorowe, names, MarkExemplaryConduct);
    if (names.isEmpty()) {
        ShowMessage(KindNotice, IconWarning,
                    QStringLiteral("Wybierz ucznia, który ma ocenę wzorową.\rSięgnij do listy po lewej."));
        return;
    }
    AddMissingItems(m_lWzorowi, names);
}

void TFZachowania::LUsunWzorowegoClick()
{
    Q_EMIT HideHint();
    QListWidgetItem* item =
        ChosenEntry(m_lWzorowi, kNothingToRemove,
                    QStringLiteral("Wskaż na liście po prawej ucznia, którego chcesz usunąć."));
    if (!item)
        return;
    const int row = RowOfName(m_lUczniowieWzorowe, item->text());
    if (row >= 0 && row < klasaFull().Rows.size())
        klasaFull().Rows[row].ExemplaryConduct = false;
    delete m_lWzorowi->takeItem(m_lWzorowi->row(item));
}

void TFZachowania::LDodajObnizoneClick(const QJsonObject& typed)
{
    Q_EMIT HideHint();
    if (!m_dialog)
        return;
    QStringList& names = appState().SelectedPupils;
    CollectSelected(m_lUczniowieNaganne, names);
    if (names.isEmpty()) {
        ShowMessage(
            KindNotice, IconWarning,
            QStringLiteral(
                "Wybierz ucznia, którego ocenę obniżoną chcesz uzasadnić.\rSięgnij do listy po lewej."));
        return;
    }
    _KlasaFull& sheet = klasaFull();
    const QString justified = sheet.FirstJustifiedPupil(kConduct, names);
    if (!justified.isEmpty()) {
        ShowMessage(KindNotice, IconWarning,
                    QStringLiteral("Istnieje już uzasadnienie dla ") + justified +
                        QStringLiteral(".\rUsuń wcześniej pozycję lub edytuj."));
        return;
    }
    // SelectedPupils is shared by every window: this text keeps its own list.
    const QStringList pupils = names;
    m_dialog->SetPupils(PolishPlural::PupilsCaption(pupils));
    m_dialog->SetText({});
    m_dialog->SetGrade(QStringLiteral("nieodpowiednia"));
    const QJsonObject context{{QStringLiteral("akcja"), QStringLiteral("dodaj")},
                              {QStringLiteral("uczniowie"), QJsonArray::fromStringList(pupils)}};
    if (!RunEntryDialog(m_dialog, context, typed))
        return;
    AddMissingItems(m_lNaganni, pupils);
    // All pupils added together get the same grade and the same text.
    sheet.StoreJustificationForPupils(kConduct, pupils, appState().ChosenConductGrade,
                                      m_dialog->TypedLines());
    ShowEnteredGrades();
}

void TFZachowania::LUsunObnizoneClick()
{
    Q_EMIT HideHint();
    QListWidgetItem* item =
        ChosenEntry(m_lNaganni, kNothingToRemove,
                    QStringLiteral("Wskaż na liście po prawej ucznia, którego uzasadnienie chcesz usunąć."));
    if (!item)
        return;
    _KlasaFull& sheet = klasaFull();
    // Others who shared the text keep it.
    if (!sheet.ConfirmDeleteJustification(kConduct, item->text()))
        return;
    QStringList& names = appState().SelectedPupils;
    names = sheet.CollectPupils(FilterConductGrade);
    ListToListBox(m_lNaganni, names);
    ShowEnteredGrades();
}

void TFZachowania::LEdytujObnizoneClick(const QJsonObject& typed)
{
    Q_EMIT HideHint();
    if (!m_dialog)
        return;
    QListWidgetItem* item = ChosenEntry(
        m_lNaganni, QStringLiteral("Nie masz jeszcze co edytować.\rLista po prawej jest pusta."),
        QStringLiteral("Wskaż na liście po prawej ucznia, którego uzasadnienie chcesz edytować."));
    if (!item)
        return;
    const QString name = item->text();
    _KlasaFull& sheet = klasaFull();
    const int row = sheet.FindPupilRow(name);
    if (row < 0)
        return;
    appState().CurrentPupilIndex = row;
    m_dialog->SetText(sheet.JustificationToLines(kConduct, row));
    m_dialog->SetGrade(sheet.Rows.at(row).ConductGrade);
    m_dialog->SetPupils(PolishPlural::PupilsCaption({name}));
    const QJsonObject context{{QStringLiteral("akcja"), QStringLiteral("edytuj")}, {QStringLiteral("uczen"), name}};
    if (!RunEntryDialog(m_dialog, context, typed))
        return;
    // Only this pupil: others who shared the old text keep theirs.
    sheet.StoreJustification(kConduct, row, appState().ChosenConductGrade, m_dialog->TypedLines());
    ShowEnteredGrades();
}

bool TFZachowania::FinishReport()
{
    ShowTab(1);
    if (m_eKlasyfikowanych->text().isEmpty())
        return Refuse(QStringLiteral("Niekompletne dane ogólne.\rUzupełnij proszę."));
    // The routine tells the user itself when a file cannot be written.
    if (!WriteZachowanieReport(Edit().Report(), klasaFull(), appState(), QDateTime::currentDateTime()))
        return false;
    return HandOver(kPreviewZachowanie);
}

void TFZachowania::ClearEditorInputs()
{
    m_mInneUwagi->clear();
    m_lWzorowi->clear();
    m_lNaganni->clear();
}

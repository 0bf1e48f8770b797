#include "windows/editors/UWerdykon.h"

#include "core/AppState.h"
#include "core/Hints.h"
#include "core/KlasaFull.h"
#include "core/Messages.h"
#include "core/SchoolData.h"
#include "document/AverageValue.h"
#include "document/KeyFilters.h"
#include "document/ReportRoutines.h"
#include "resources/skins/WerdykonLayout.h"
#include "windows/delivery/UBrowser.h"
#include "windows/editors/UEditNdst.h"
#include "windows/editors/UEditSrednie.h"
#include "windows/parts/ListBoxHelpers.h"
#include "windows/parts/ListEntryDetail.h"
#include "windows/parts/SkinOnShow.h"
#include "windows/parts/WindowParts.h"

#include <QComboBox>
#include <QDateTime>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>

using namespace WindowParts;
using namespace WerdykonLayout;

namespace {

const QString kChooseToRemove = QStringLiteral("Wskaż na liście po prawej ucznia, którego chcesz usunąć.");

QLineEdit* makeEdit(QWidget* parent, const char* name, const QRect& place)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setGeometry(place);
    return edit;
}

bool isEnter(const QKeyEvent* event)
{
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

} // namespace

TFWerdykon::TFWerdykon(TFBrowser* preview, QWidget* parent)
    : ClassEditor("FWerdykon", QStringLiteral("Werdykon uczniów danej klasy"), QSize(kWidth, kHeight),
                  QPoint(kLeftOffset, kTopOffset), HintGroupClassEditors, preview, parent)
{
    m_editSrednie = new TFEditSrednie(this);
    m_editNdst = new TFEditNdst(this);

    m_imTlo = AddBackground(this, QStringLiteral("tlowerdykon"));
    AddTabStrip(kStrip, QStringLiteral("zakladkiwerdykon"), kTabWidth, kTabHeight,
                {"LOgolne", "LFrekwencja", "LSrednie", "LNdst"});

    QWidget* general = AddTab("POgolne", QStringLiteral("tlowerdykonogolne"), kPanel);
    m_cListaKlasOgolne = AddChoiceList(general, "CListaKlasOgolne", kClassList);
    m_lRozwinListe = makeButtonLabel(general, "LRozwinListe", kDropHotSpot);
    m_eKlasyfikowanych = makeEdit(general, "EKlasyfikowanych", kClassified);
    m_eKlasyfikowanych->setReadOnly(true);
    m_ePromowanych = makeEdit(general, "EPromowanych", kPromoted);

    QWidget* attendance = AddTab("PFrekwencja", QStringLiteral("tlowerdykonfrekwencja"), kPanel);
    m_lUczniowieFrekwencja =
        AddPupilList(attendance, "LUczniowieFrekwencja", kLeftList, QAbstractItemView::ExtendedSelection);
    m_l100Frekwencja =
        AddPupilList(attendance, "L100Frekwencja", kRightList, QAbstractItemView::SingleSelection);
    m_lDodajFrekwencja = makeButtonLabel(attendance, "LDodajFrekwencja", kAddButton);
    m_lUsunFrekwencja = makeButtonLabel(attendance, "LUsunFrekwencja", kRemoveButton);

    QWidget* averages = AddTab("PSrednie", QStringLiteral("tlowerdykonsrednie"), kPanel);
    m_lUczniowieSrednie =
        AddPupilList(averages, "LUczniowieSrednie", kLeftList, QAbstractItemView::SingleSelection);
    m_lSrednieZPaskiem =
        AddPupilList(averages, "LSrednieZPaskiem", kRightList, QAbstractItemView::SingleSelection);
    m_lDodajSrednie = makeButtonLabel(averages, "LDodajSrednie", kAddButton);
    m_lUsunSrednie = makeButtonLabel(averages, "LUsunSrednie", kRemoveButton);

    QWidget* failing = AddTab("PNdst", QStringLiteral("tlowerdykonndst"), kPanel);
    m_lUczniowieNdst = AddPupilList(failing, "LUczniowieNdst", kLeftList, QAbstractItemView::SingleSelection);
    m_lNiedostateczni =
        AddPupilList(failing, "LNiedostateczni", kRightList, QAbstractItemView::SingleSelection);
    m_lDodajNdst = makeButtonLabel(failing, "LDodajNdst", kAddButton);
    m_lUsunNdst = makeButtonLabel(failing, "LUsunNdst", kRemoveButton);

    OnClick(m_lRozwinListe, [this] { LRozwinListeClick(); });
    OnClick(m_lDodajFrekwencja, [this] { LDodajFrekwencjaClick(); });
    OnClick(m_lUsunFrekwencja, [this] { LUsunFrekwencjaClick(); });
    OnClick(m_lDodajSrednie, [this] { LDodajSrednieClick(); });
    OnClick(m_lUsunSrednie, [this] { LUsunSrednieClick(); });
    OnClick(m_lDodajNdst, [this] { LDodajNdstClick(); });
    OnClick(m_lUsunNdst, [this] { LUsunNdstClick(); });
    for (QObject* watched : std::initializer_list<QObject*>{m_eKlasyfikowanych, m_ePromowanych})
        WatchClicks(watched);
    // Enter on the averages and failing lists adds the pupil.
    for (QListWidget* list : {m_lUczniowieSrednie, m_lUczniowieNdst})
        list->installEventFilter(this);

    AskOnChange(m_cListaKlasOgolne, kChangeClassQuestion, kChangeClass, kKeepClass, true,
                [this](int index) { CListaKlasOgolneChange(index); });
    connect(m_ePromowanych, &QLineEdit::textChanged, this, [this] { InputChanged(); });
    OnDoubleClick(m_lUczniowieFrekwencja, [this] { LDodajFrekwencjaClick(); });
    OnDoubleClick(m_lUczniowieSrednie, [this] { LDodajSrednieClick(); });
    OnDoubleClick(m_lUczniowieNdst, [this] { LDodajNdstClick(); });

    for (QListWidget* list : {m_lSrednieZPaskiem, m_lNiedostateczni})
        ListEntryDetail::ShowDetails(list);

    ShowTab(1);
}

void TFWerdykon::ShowEnteredValues()
{
    // Beside each name what was entered for it, as the preview will show it.
    const _KlasaFull& sheet = klasaFull();
    for (int i = 0; i < m_lSrednieZPaskiem->count(); ++i) {
        QListWidgetItem* item = m_lSrednieZPaskiem->item(i);
        const int row = RowOfName(m_lUczniowieSrednie, item->text());
        const int average = row >= 0 && row < sheet.Rows.size() ? sheet.Rows.at(row).Average : 0;
        ListEntryDetail::Set(item, average >= kLowestAverage ? FormatAverage(average) : QString());
    }
    for (int i = 0; i < m_lNiedostateczni->count(); ++i) {
        QListWidgetItem* item = m_lNiedostateczni->item(i);
        const int row = RowOfName(m_lUczniowieNdst, item->text());
        ListEntryDetail::Set(item, row >= 0 && row < sheet.Rows.size() ? sheet.Rows.at(row).FailSubjects : QString());
    }
}

void TFWerdykon::FormShow()
{
    ShowTab(1);
    // Back from the preview everything entered stays as it was.
    if (appState().NavigatingBack)
        return;

    FillClasses(m_cListaKlasOgolne);
    LoadClass(0);
}

void TFWerdykon::LoadClass(int classIndex)
{
    AppState& state = appState();
    state.CurrentClassIndex = classIndex;
    state.CurrentPupilIndex = 0;

    const bool known = classIndex >= 0 && classIndex < schoolData().Classes.size();
    _KlasaFull& sheet = klasaFull();
    sheet.LoadClassSheet(classIndex);
    QStringList pupils;
    for (int row = 0; row < sheet.PupilCount && row < sheet.Rows.size(); ++row)
        pupils << sheet.Rows.at(row).Name;

    for (QListWidget* list : {m_lUczniowieFrekwencja, m_lUczniowieSrednie, m_lUczniowieNdst}) {
        ListToListBox(list, pupils);
        if (list->count() > 0)
            list->setCurrentRow(0, list == m_lUczniowieFrekwencja ? QItemSelectionModel::NoUpdate
                                                                  : QItemSelectionModel::ClearAndSelect);
    }
    m_editNdst->SetSubjects(state.SubjectNames);

    // Without a class there is nothing to count; the empty counts stop the report.
    const QString count = known ? QString::number(sheet.PupilCount) : QString();
    m_eKlasyfikowanych->setText(count);
    m_ePromowanych->setText(count);

    m_l100Frekwencja->clear();
    m_lSrednieZPaskiem->clear();
    m_lNiedostateczni->clear();
}

WerdykonEdit TFWerdykon::Edit() const
{
    WerdykonEdit edit;
    edit.ClassName = m_cListaKlasOgolne->currentText();
    edit.Classified = m_eKlasyfikowanych->text();
    edit.Promoted = m_ePromowanych->text();
    edit.Attendance = Items(m_l100Frekwencja);
    edit.Averages = Items(m_lSrednieZPaskiem);
    edit.Failing = Items(m_lNiedostateczni);
    edit.Rows = SheetRows();
    return edit;
}

bool TFWerdykon::ShowEdit(const WerdykonEdit& edit)
{
    QStringList pupils;
    if (!RestoreClass(m_cListaKlasOgolne, edit.ClassName, edit.Rows, &pupils))
        return false;
    for (QListWidget* list : {m_lUczniowieFrekwencja, m_lUczniowieSrednie, m_lUczniowieNdst}) {
        ListToListBox(list, pupils);
        if (list->count() > 0)
            list->setCurrentRow(0, list == m_lUczniowieFrekwencja ? QItemSelectionModel::NoUpdate
                                                                  : QItemSelectionModel::ClearAndSelect);
    }
    m_editNdst->SetSubjects(appState().SubjectNames);
    // Pupils gone or new since the draft: the count is today's.
    m_eKlasyfikowanych->setText(m_restoreNotice.isEmpty() ? edit.Classified : QString::number(pupils.size()));
    m_ePromowanych->setText(edit.Promoted);
    ListToListBox(m_l100Frekwencja, Present(edit.Attendance, pupils));
    ListToListBox(m_lSrednieZPaskiem, Present(edit.Averages, pupils));
    ListToListBox(m_lNiedostateczni, Present(edit.Failing, pupils));
    ShowEnteredValues();
    return true;
}

QString TFWerdykon::DraftAbout() const
{
    return QStringLiteral("klasa ") + m_cListaKlasOgolne->currentText();
}

void TFWerdykon::ReopenEntryDialog(const QJsonObject& context, const QJsonObject& typed)
{
    const QString action = context.value(QStringLiteral("akcja")).toString();
    QListWidget* pupils = action == QLatin1String("srednia") ? m_lUczniowieSrednie
                          : action == QLatin1String("ndst")  ? m_lUczniowieNdst
                                                             : nullptr;
    if (!pupils)
        return;
    const int row = RowOfName(pupils, context.value(QStringLiteral("uczen")).toString());
    if (row < 0)
        return;
    ShowTab(pupils == m_lUczniowieSrednie ? 3 : 4);
    pupils->setCurrentRow(row);
    if (pupils == m_lUczniowieSrednie)
        LDodajSrednieClick(typed);
    else
        LDodajNdstClick(typed);
    InputChanged();
}

void TFWerdykon::TabShown(int tab)
{
    QListWidget* pupils = nullptr;
    if (tab == 2)
        pupils = m_lUczniowieFrekwencja;
    else if (tab == 3)
        pupils = m_lUczniowieSrednie;
    else if (tab == 4)
        pupils = m_lUczniowieNdst;
    if (pupils && pupils->count() > 0) {
        // In the attendance list this moves only the focus mark, not the selection.
        pupils->setCurrentRow(0, pupils == m_lUczniowieFrekwencja ? QItemSelectionModel::NoUpdate
                                                                  : QItemSelectionModel::ClearAndSelect);
        pupils->setFocus();
    }
}

void TFWerdykon::CListaKlasOgolneChange(int index)
{
    // The teacher has agreed: everything entered for the previous class goes.
    LoadClass(index);
}

void TFWerdykon::LRozwinListeClick()
{
    Q_EMIT HideHint();
    m_cListaKlasOgolne->showPopup();
}

bool TFWerdykon::EPromowanychKeyPress(const QKeyEvent* event)
{
    const QString typed = event->text();
    if (!IsTypedCharacter(event->key(), typed))
        return false;
    return PlainNumberKeyFilter(typed.at(0)).isNull();
}

bool TFWerdykon::ClassGetsNoAverage() const
{
    const QList<_Klasa>& classes = schoolData().Classes;
    const int index = appState().CurrentClassIndex;
    return index >= 0 && index < classes.size() && classes.at(index).Op == QLatin1String("1");
}

void TFWerdykon::LDodajFrekwencjaClick()
{
    Q_EMIT HideHint();
    QStringList& names = appState().SelectedPupils;
    CollectSelected(m_lUczniowieFrekwencja, names, MarkFullAttendance);
    if (names.isEmpty()) {
        ShowMessage(
            KindNotice, IconWarning,
            QStringLiteral("Wybierz ucznia, który ma wzorową frekwencję.\rSięgnij do listy po lewej."));
        return;
    }
    AddMissingItems(m_l100Frekwencja, names);
}

void TFWerdykon::LUsunFrekwencjaClick()
{
    Q_EMIT HideHint();
    RemoveListed(m_l100Frekwencja, m_lUczniowieFrekwencja,
                 [](int row) { klasaFull().Rows[row].FullAttendance = false; });
}

void TFWerdykon::LDodajSrednieClick(const QJsonObject& typed)
{
    Q_EMIT HideHint();
    const int row = m_lUczniowieSrednie->currentRow();
    _KlasaFull& sheet = klasaFull();
    if (row < 0 || row >= sheet.Rows.size())
        return; // a class without pupils: nobody to add
    appState().CurrentPupilIndex = row;
    if (ClassGetsNoAverage()) {
        sheet.Rows[row].Average = 1;
    } else {
        const QJsonObject context{{QStringLiteral("akcja"), QStringLiteral("srednia")},
                                  {QStringLiteral("uczen"), m_lUczniowieSrednie->item(row)->text()}};
        if (!RunEntryDialog(m_editSrednie, context, typed))
            return;
    }
    AddItemIfMissing(m_lSrednieZPaskiem, m_lUczniowieSrednie->item(row)->text());
    ShowEnteredValues();
}

void TFWerdykon::LUsunSrednieClick()
{
    Q_EMIT HideHint();
    RemoveListed(m_lSrednieZPaskiem, m_lUczniowieSrednie, [](int row) { klasaFull().Rows[row].Average = 0; });
}

void TFWerdykon::LDodajNdstClick(const QJsonObject& typed)
{
    Q_EMIT HideHint();
    const int row = m_lUczniowieNdst->currentRow();
    if (row < 0 || row >= klasaFull().Rows.size())
        return;
    appState().CurrentPupilIndex = row;
    m_editNdst->FocusFirstSubject();
    const QJsonObject context{{QStringLiteral("akcja"), QStringLiteral("ndst")},
                              {QStringLiteral("uczen"), m_lUczniowieNdst->item(row)->text()}};
    if (!RunEntryDialog(m_editNdst, context, typed))
        return;
    AddItemIfMissing(m_lNiedostateczni, m_lUczniowieNdst->item(row)->text());
    ShowEnteredValues();
}

void TFWerdykon::LUsunNdstClick()
{
    Q_EMIT HideHint();
    RemoveListed(m_lNiedostateczni, m_lUczniowieNdst,
                 [](int row) { klasaFull().Rows[row].FailSubjects.clear(); });
}

void TFWerdykon::RemoveListed(QListWidget* listed, QListWidget* pupils,
                              const std::function<void(int row)>& clearRow)
{
    if (listed->count() == 0) {
        ShowMessage(KindNotice, IconWarning, kNothingToRemove);
        return;
    }
    const QList<QListWidgetItem*> chosen = listed->selectedItems();
    if (chosen.isEmpty()) {
        ShowMessage(KindNotice, IconWarning, kChooseToRemove);
        return;
    }
    QListWidgetItem* item = chosen.first();
    const int row = RowOfName(pupils, item->text());
    if (row >= 0 && row < klasaFull().Rows.size())
        clearRow(row);
    delete listed->takeItem(listed->row(item));
}

bool TFWerdykon::FinishReport()
{
    if (m_eKlasyfikowanych->text().isEmpty() || m_ePromowanych->text().isEmpty())
        return Refuse(QStringLiteral("Niekompletne dane ogólne.\rUzupełnij proszę."));
    // The routine tells the user itself when a file cannot be written.
    if (!WriteWerdykonReport(Edit().Report(), klasaFull(), appState(), QDateTime::currentDateTime()))
        return false;
    return HandOver(kPreviewWerdykon);
}

void TFWerdykon::ClearEditorInputs()
{
    m_l100Frekwencja->clear();
    m_lSrednieZPaskiem->clear();
    m_lNiedostateczni->clear();
}

bool TFWerdykon::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_ePromowanych && event->type() == QEvent::KeyPress &&
        EPromowanychKeyPress(static_cast<QKeyEvent*>(event)))
        return true;

    if ((watched == m_lUczniowieSrednie || watched == m_lUczniowieNdst) &&
        (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (isEnter(key) && !key->isAutoRepeat()) {
            if (event->type() == QEvent::KeyPress) {
                m_enterPressedIn = watched;
            } else if (m_enterPressedIn == watched) {
                m_enterPressedIn = nullptr;
                if (watched == m_lUczniowieSrednie)
                    LDodajSrednieClick();
                else
                    LDodajNdstClick();
                InputChanged();
            }
            return true;
        }
    }
    return ClassEditor::eventFilter(watched, event);
}

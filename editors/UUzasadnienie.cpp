#include "editors/UUzasadnienie.h"

#include "delivery/UBrowser.h"
#include "document/ReportRoutines.h"
#include "editors/PreviewHandOver.h"
#include "editors/UEdycjaNdst.h"
#include "resources/SkinOnShow.h"
#include "resources/skins/UzasadnienieLayout.h"
#include "shell/AppState.h"
#include "shell/Hints.h"
#include "shell/KlasaFull.h"
#include "shell/ListBoxHelpers.h"
#include "shell/Messages.h"
#include "shell/TextForm.h"
#include "shell/WindowParts.h"

#include <QComboBox>
#include <QDateTime>
#include <QListWidget>

using namespace WindowParts;
using namespace UzasadnienieLayout;

namespace {

constexpr JustificationKind kFailing = JustificationKind::FailingGrade;
const QString kChooseFromList = QStringLiteral("Wybierz z listy");
const QString kChooseSubject = QStringLiteral("Wybierz przedmiot nauczania z listy.");

QComboBox* makeCombo(QWidget* parent, const char* name, const QRect& place)
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QString::fromLatin1(name));
    combo->setGeometry(place);
    combo->setEditable(false);
    combo->setToolTip(kChooseFromList);
    return combo;
}

QListWidget* makeList(QWidget* parent, const char* name, const QRect& place,
                      QAbstractItemView::SelectionMode selection)
{
    auto* list = new QListWidget(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->setGeometry(place);
    list->setSelectionMode(selection);
    list->setToolTip(kChooseFromList);
    return list;
}

} // namespace

TFUzasadnienie::TFUzasadnienie(TFEdytujNdst* dialog, TFBrowser* preview, QWidget* parent)
    : QWidget(parent, parent ? Qt::Widget : Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_dialog(dialog), m_preview(preview)
{
    // FormCreate
    setObjectName(QStringLiteral("FUzasadnienie"));
    setWindowTitle(QStringLiteral("Uzasadnienie oceny niedostatecznej"));
    setFixedSize(kWidth, kHeight);

    m_imTlo = makeLabel(this, "ImTlo", QRect(0, 0, kWidth, kHeight));
    SetSkin(m_imTlo, QStringLiteral("tlouzasadnienie"));
    m_cPrzedmiotNauczania = makeCombo(this, "CPrzedmiotNauczania", kSubjectList);
    m_lRozwinPrzedmiot = makeButtonLabel(this, "LRozwinPrzedmiot", kSubjectDrop);
    m_cListaKlas = makeCombo(this, "CListaKlas", kClassList);
    m_lRozwinKlase = makeButtonLabel(this, "LRozwinKlase", kClassDrop);
    m_lUczniowie = makeList(this, "LUczniowie", kPupilList, QAbstractItemView::ExtendedSelection);
    m_lUzasadnione = makeList(this, "LUzasadnione", kJustifiedList, QAbstractItemView::SingleSelection);
    m_lUzasadniaj = makeButtonLabel(this, "LUzasadniaj", kJustifyButton);
    m_lUsun = makeButtonLabel(this, "LUsun", kRemoveButton);
    m_lEdytuj = makeButtonLabel(this, "LEdytuj", kEditButton);

    for (QObject* watched :
         std::initializer_list<QObject*>{m_imTlo, m_cPrzedmiotNauczania, m_lRozwinPrzedmiot, m_cListaKlas,
                                         m_lRozwinKlase, m_lUzasadniaj, m_lUsun, m_lEdytuj})
        watched->installEventFilter(this);
    for (QListWidget* list : {m_lUczniowie, m_lUzasadnione})
        list->viewport()->installEventFilter(this);

    connect(m_cListaKlas, &QComboBox::currentIndexChanged, this,
            [this](int index) { CListaKlasChange(index); });
    connect(m_lUczniowie, &QListWidget::itemDoubleClicked, this, [this] { LUzasadniajClick(); });
}

void TFUzasadnienie::ShowEditor()
{
    FormShow();
    show();
    raise();
}

void TFUzasadnienie::FormShow()
{
    if (parentWidget())
        move(kLeftOffset, kTopOffset);
    SetHintGroup(HintGroupJustification);
    // Back from the preview everything written stays as it was.
    if (appState().NavigatingBack)
        return;

    AppState& state = appState();
    m_cPrzedmiotNauczania->clear();
    m_cPrzedmiotNauczania->addItems(state.SubjectNames);
    if (m_cPrzedmiotNauczania->count() > 0)
        m_cPrzedmiotNauczania->setCurrentIndex(0);
    state.CurrentPupilIndex = -1;

    m_filling = true;
    FillClassCombo(m_cListaKlas);
    m_filling = false;
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

QString TFUzasadnienie::ChosenSubject() const
{
    return m_cPrzedmiotNauczania->currentText();
}

void TFUzasadnienie::CListaKlasChange(int index)
{
    if (m_filling || index < 0)
        return;
    // No question: every justification of the previous class goes.
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

void TFUzasadnienie::LUzasadniajClick()
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
    m_dialog->SetPupils(QStringLiteral("Uczniowie: ") + JoinWithCommas(pupils));
    m_dialog->SetText({});
    m_dialog->exec();
    if (!m_dialog->JustificationConfirmed())
        return;
    AddMissingItems(m_lUzasadnione, pupils);
    sheet.StoreJustificationForPupils(kFailing, pupils, ChosenSubject(), m_dialog->TypedLines());
}

void TFUzasadnienie::LEdytujClick()
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
    m_dialog->SetPupils(QStringLiteral("Uczeń: ") + name);
    m_dialog->exec();
    if (!m_dialog->JustificationConfirmed())
        return;
    // Only this pupil: others who shared the old text keep it.
    sheet.StoreJustification(kFailing, row, ChosenSubject(), m_dialog->TypedLines());
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
}

bool TFUzasadnienie::FinishReport()
{
    _KlasaFull& sheet = klasaFull();
    if (sheet.CountJustifications(kFailing) == 0) {
        ShowMessage(KindNotice, IconWarning,
                    QStringLiteral("Brak jakiegokolwiek uzasadnienia.\rNapisz coś lub opuść to okno."));
        return false;
    }
    UzasadnienieInput input;
    input.Subject = ChosenSubject();
    input.ClassName = m_cListaKlas->currentText();
    AppState& state = appState();
    // The routine tells the user itself when a file cannot be written.
    if (!WriteUzasadnienieReport(input, sheet, state, QDateTime::currentDateTime()))
        return false;

    return HandOverToPreview(*this, m_preview, kPreviewUzasadnienie);
}

void TFUzasadnienie::CloseEditor()
{
    hide();
}

void TFUzasadnienie::ClearEditorInputs()
{
    m_lUzasadnione->clear();
}

bool TFUzasadnienie::eventFilter(QObject* watched, QEvent* event)
{
    const std::pair<QLabel*, void (TFUzasadnienie::*)()> actions[] = {
        {m_lRozwinPrzedmiot, &TFUzasadnienie::LRozwinPrzedmiotClick},
        {m_lRozwinKlase, &TFUzasadnienie::LRozwinKlaseClick},
        {m_lUzasadniaj, &TFUzasadnienie::LUzasadniajClick},
        {m_lUsun, &TFUzasadnienie::LUsunClick},
        {m_lEdytuj, &TFUzasadnienie::LEdytujClick},
    };
    for (const auto& [label, action] : actions) {
        if (watched == label && isLeftClick(event, label)) {
            (this->*action)();
            return true;
        }
    }
    // The background, both lists and both combo boxes dismiss the hint.
    if (isPress(event) &&
        (watched == m_imTlo || watched == m_cPrzedmiotNauczania || watched == m_cListaKlas ||
         watched == m_lUczniowie->viewport() || watched == m_lUzasadnione->viewport()))
        ImTloClick();
    return QWidget::eventFilter(watched, event);
}

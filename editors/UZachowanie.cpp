#include "editors/UZachowanie.h"

#include "delivery/UBrowser.h"
#include "document/ReportRoutines.h"
#include "editors/PreviewHandOver.h"
#include "editors/UNaganneEdycja.h"
#include "resources/SkinPicture.h"
#include "resources/skins/ZachowanieLayout.h"
#include "shell/AppState.h"
#include "shell/Hints.h"
#include "shell/KlasaFull.h"
#include "shell/ListBoxHelpers.h"
#include "shell/Messages.h"
#include "shell/SchoolData.h"
#include "shell/TextForm.h"
#include "shell/WindowParts.h"

#include <QComboBox>
#include <QDateTime>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>

using namespace WindowParts;
using namespace ZachowanieLayout;

namespace {

constexpr JustificationKind kConduct = JustificationKind::Conduct;
const QString kNothingToRemove = QStringLiteral("Nie masz jeszcze co usuwać.\rLista po prawej jest pusta.");

QListWidget* makeList(QWidget* parent, const char* name, const QRect& place,
                      QAbstractItemView::SelectionMode selection)
{
    auto* list = new QListWidget(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->setGeometry(place);
    list->setSelectionMode(selection);
    return list;
}

// Row of the pupil named `name` in a left-hand list: whole text, letter case ignored,
// first match. The list holds the rows in class order.
int rowOfName(const QListWidget* pupils, const QString& name)
{
    for (int row = 0; row < pupils->count(); ++row) {
        if (pupils->item(row)->text().compare(name, Qt::CaseInsensitive) == 0)
            return row;
    }
    return -1;
}

// The selected entry of a right-hand list, or a notice why there is none.
QListWidgetItem* chosenEntry(QListWidget* listed, const QString& whenEmpty, const QString& whenNone)
{
    if (listed->count() == 0) {
        ShowMessage(KindNotice, IconWarning, whenEmpty);
        return nullptr;
    }
    const QList<QListWidgetItem*> chosen = listed->selectedItems();
    if (chosen.isEmpty()) {
        ShowMessage(KindNotice, IconWarning, whenNone);
        return nullptr;
    }
    return chosen.first();
}

} // namespace

TFZachowania::TFZachowania(TFEdytujZachowanie* dialog, TFBrowser* preview, QWidget* parent)
    : QWidget(parent, parent ? Qt::Widget : Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_dialog(dialog), m_preview(preview)
{
    // FormCreate
    setObjectName(QStringLiteral("FZachowania"));
    setWindowTitle(QStringLiteral("Werdykon uczniów pod względem zachowania"));
    setFixedSize(kWidth, kHeight);

    m_imTlo = makeLabel(this, "ImTlo", QRect(0, 0, kWidth, kHeight));
    m_imTlo->setPixmap(SkinPicture(QStringLiteral("tlozachowanie")));

    m_pZakladki = makePanel(this, "Pzakladki", kStrip);
    m_imZakladki = makeLabel(m_pZakladki, "ImZakladki", QRect(0, 0, kStrip.width(), kTabCount * kTabHeight));
    m_imZakladki->setPixmap(SkinPicture(QStringLiteral("zakladkizachowanie")));
    const auto tabPlace = [](int tab) { return QRect(tab * kTabWidth, 0, kTabWidth, kTabHeight); };
    m_lOgolne = makeButtonLabel(m_pZakladki, "LOgolne", tabPlace(0));
    m_lFrekwencja = makeButtonLabel(m_pZakladki, "LFrekwencja", tabPlace(1));
    m_lSrednie = makeButtonLabel(m_pZakladki, "LSrednie", tabPlace(2));
    m_tabLabels = {m_lOgolne, m_lFrekwencja, m_lSrednie};

    const auto makeTab = [this](const char* name, const char* picture) {
        QWidget* panel = makePanel(this, name, kPanel);
        QLabel* background = makeLabel(panel, "ImTlo", QRect(QPoint(0, 0), kPanel.size()));
        background->setPixmap(SkinPicture(QString::fromLatin1(picture)));
        background->installEventFilter(this);
        m_panels << panel;
        return panel;
    };

    QWidget* general = makeTab("POgolne", "tlozachowanieogolne");
    m_cListaKlasOgolne = new QComboBox(general);
    m_cListaKlasOgolne->setObjectName(QStringLiteral("CListaKlasOgolne"));
    m_cListaKlasOgolne->setGeometry(kClassList);
    m_cListaKlasOgolne->setEditable(false);
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

    QWidget* exemplary = makeTab("PWzorowi", "tlozachowaniewzorowi");
    m_lUczniowieWzorowe =
        makeList(exemplary, "LUczniowieWzorowe", kLeftList, QAbstractItemView::ExtendedSelection);
    m_lWzorowi = makeList(exemplary, "LWzorowi", kRightList, QAbstractItemView::SingleSelection);
    m_lDodajWzorowego = makeButtonLabel(exemplary, "LDodajWzorowego", kAddButton);
    m_lUsunWzorowego = makeButtonLabel(exemplary, "LUsunWzorowego", kRemoveButton);

    QWidget* lowered = makeTab("PObnizone", "tlozachowanieobnizone");
    m_lUczniowieNaganne =
        makeList(lowered, "LUczniowieNaganne", kLeftList, QAbstractItemView::ExtendedSelection);
    m_lNaganni = makeList(lowered, "LNaganni", kRightList, QAbstractItemView::SingleSelection);
    m_lDodajObnizone = makeButtonLabel(lowered, "LDodajObnizone", kAddButton);
    m_lUsunObnizone = makeButtonLabel(lowered, "LUsunObnizone", kRemoveButton);
    m_lEdytujObnizone = makeButtonLabel(lowered, "LEdytujObnizone", kEditButton);

    m_pZakladki->raise();

    for (QObject* watched : std::initializer_list<QObject*>{
             m_imTlo, m_imZakladki, m_lOgolne, m_lFrekwencja, m_lSrednie, m_cListaKlasOgolne, m_lRozwinListe,
             m_eKlasyfikowanych, m_mInneUwagi->viewport(), m_lDodajWzorowego, m_lUsunWzorowego,
             m_lDodajObnizone, m_lUsunObnizone, m_lEdytujObnizone})
        watched->installEventFilter(this);
    for (QListWidget* list : {m_lUczniowieWzorowe, m_lWzorowi, m_lUczniowieNaganne, m_lNaganni})
        list->viewport()->installEventFilter(this);

    connect(m_cListaKlasOgolne, &QComboBox::currentIndexChanged, this,
            [this](int index) { CListaKlasOgolneChange(index); });
    connect(m_lUczniowieWzorowe, &QListWidget::itemDoubleClicked, this, [this] { LDodajWzorowegoClick(); });
    connect(m_lUczniowieNaganne, &QListWidget::itemDoubleClicked, this, [this] { LDodajObnizoneClick(); });

    ShowTab(1);
}

void TFZachowania::ShowEditor()
{
    FormShow();
    show();
    raise();
}

void TFZachowania::FormShow()
{
    if (parentWidget())
        move(kLeftOffset, kTopOffset);
    SetHintGroup(HintGroupClassEditors);
    // Back from the preview everything entered stays as it was, on the first tab
    // where the report left it.
    if (appState().NavigatingBack)
        return;

    ShowTab(1);
    appState().CurrentPupilIndex = 0;
    m_filling = true;
    FillClassCombo(m_cListaKlasOgolne);
    m_filling = false;
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

void TFZachowania::ShowTab(int tab)
{
    for (QLabel* label : m_tabLabels)
        label->setEnabled(true);
    m_tabLabels.at(tab - 1)->setEnabled(false);
    m_imZakladki->move(0, -kTabHeight * (tab - 1));
    for (int i = 0; i < m_panels.size(); ++i)
        m_panels.at(i)->setVisible(i == tab - 1);
}

void TFZachowania::CListaKlasOgolneChange(int index)
{
    if (m_filling || index < 0)
        return;
    // No question: everything entered for the previous class goes.
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
        chosenEntry(m_lWzorowi, kNothingToRemove,
                    QStringLiteral("Wskaż na liście po prawej ucznia, którego chcesz usunąć."));
    if (!item)
        return;
    const int row = rowOfName(m_lUczniowieWzorowe, item->text());
    if (row >= 0 && row < klasaFull().Rows.size())
        klasaFull().Rows[row].ExemplaryConduct = false;
    delete m_lWzorowi->takeItem(m_lWzorowi->row(item));
}

void TFZachowania::LDodajObnizoneClick()
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
    m_dialog->SetPupils(QStringLiteral("Uczniowie: ") + JoinWithCommas(pupils));
    m_dialog->SetText({});
    m_dialog->SetGrade(QStringLiteral("nieodpowiednia"));
    m_dialog->exec();
    if (!m_dialog->ConductConfirmed())
        return;
    AddMissingItems(m_lNaganni, pupils);
    // All pupils added together get the same grade and the same text.
    sheet.StoreJustificationForPupils(kConduct, pupils, appState().ChosenConductGrade,
                                      m_dialog->TypedLines());
}

void TFZachowania::LUsunObnizoneClick()
{
    Q_EMIT HideHint();
    QListWidgetItem* item =
        chosenEntry(m_lNaganni, kNothingToRemove,
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
}

void TFZachowania::LEdytujObnizoneClick()
{
    Q_EMIT HideHint();
    if (!m_dialog)
        return;
    QListWidgetItem* item = chosenEntry(
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
    m_dialog->SetPupils(QStringLiteral("Uczeń: ") + name);
    m_dialog->exec();
    if (!m_dialog->ConductConfirmed())
        return;
    // Only this pupil: others who shared the old text keep theirs.
    sheet.StoreJustification(kConduct, row, appState().ChosenConductGrade, m_dialog->TypedLines());
}

bool TFZachowania::FinishReport()
{
    ShowTab(1);
    if (m_eKlasyfikowanych->text().isEmpty()) {
        ShowMessage(KindNotice, IconWarning, QStringLiteral("Niekompletne dane ogólne.\rUzupełnij proszę."));
        return false;
    }
    ZachowanieInput input;
    input.ClassName = m_cListaKlasOgolne->currentText();
    input.Classified = m_eKlasyfikowanych->text();
    input.Remarks = MemoLines(TypedText(m_mInneUwagi));
    AppState& state = appState();
    // The routine tells the user itself when a file cannot be written.
    if (!WriteZachowanieReport(input, klasaFull(), state, QDateTime::currentDateTime()))
        return false;

    return HandOverToPreview(*this, m_preview, kPreviewZachowanie);
}

void TFZachowania::CloseEditor()
{
    hide();
}

void TFZachowania::ClearEditorInputs()
{
    m_mInneUwagi->clear();
    m_lWzorowi->clear();
    m_lNaganni->clear();
}

bool TFZachowania::eventFilter(QObject* watched, QEvent* event)
{
    const auto clicked = [&](QLabel* label) { return watched == label && isLeftClick(event, label); };
    if (clicked(m_lOgolne) || clicked(m_lFrekwencja) || clicked(m_lSrednie)) {
        Q_EMIT HideHint();
        auto* label = static_cast<QLabel*>(watched);
        if (label->isEnabled()) {
            if (label == m_lOgolne)
                LOgolneClick();
            else if (label == m_lFrekwencja)
                LFrekwencjaClick();
            else
                LSrednieClick();
        }
        return true;
    }
    const std::pair<QLabel*, void (TFZachowania::*)()> actions[] = {
        {m_lRozwinListe, &TFZachowania::LRozwinListeClick},
        {m_lDodajWzorowego, &TFZachowania::LDodajWzorowegoClick},
        {m_lUsunWzorowego, &TFZachowania::LUsunWzorowegoClick},
        {m_lDodajObnizone, &TFZachowania::LDodajObnizoneClick},
        {m_lUsunObnizone, &TFZachowania::LUsunObnizoneClick},
        {m_lEdytujObnizone, &TFZachowania::LEdytujObnizoneClick},
    };
    for (const auto& [label, action] : actions) {
        if (clicked(label)) {
            (this->*action)();
            return true;
        }
    }
    // Every picture, list, the edit, the memo and the class list dismiss the hint.
    if (isPress(event))
        ImTloClick();
    return QWidget::eventFilter(watched, event);
}

#include "editors/UWerdykon.h"

#include "delivery/UBrowser.h"
#include "document/KeyFilters.h"
#include "document/ReportRoutines.h"
#include "editors/PreviewHandOver.h"
#include "editors/UEditNdst.h"
#include "editors/UEditSrednie.h"
#include "resources/SkinPicture.h"
#include "resources/skins/WerdykonLayout.h"
#include "shell/AppState.h"
#include "shell/Hints.h"
#include "shell/KlasaFull.h"
#include "shell/ListBoxHelpers.h"
#include "shell/Messages.h"
#include "shell/SchoolData.h"
#include "shell/WindowParts.h"

#include <QComboBox>
#include <QDateTime>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>

using namespace WindowParts;
using namespace WerdykonLayout;

namespace {

const QString kNothingToRemove = QStringLiteral("Nie masz jeszcze co usuwać.\rLista po prawej jest pusta.");
const QString kChooseToRemove = QStringLiteral("Wskaż na liście po prawej ucznia, którego chcesz usunąć.");

QListWidget* makeList(QWidget* parent, const char* name, const QRect& place,
                      QAbstractItemView::SelectionMode selection)
{
    auto* list = new QListWidget(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->setGeometry(place);
    list->setSelectionMode(selection);
    return list;
}

QLineEdit* makeEdit(QWidget* parent, const char* name, const QRect& place)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setGeometry(place);
    return edit;
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

bool isEnter(const QKeyEvent* event)
{
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

} // namespace

TFWerdykon::TFWerdykon(TFBrowser* preview, QWidget* parent)
    : QWidget(parent, parent ? Qt::Widget : Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_preview(preview)
{
    // FormCreate
    setObjectName(QStringLiteral("FWerdykon"));
    setWindowTitle(QStringLiteral("Werdykon uczniów danej klasy"));
    setFixedSize(kWidth, kHeight);

    m_editSrednie = new TFEditSrednie(this);
    m_editNdst = new TFEditNdst(this);

    m_imTlo = makeLabel(this, "ImTlo", QRect(0, 0, kWidth, kHeight));
    m_imTlo->setPixmap(SkinPicture(QStringLiteral("tlowerdykon")));

    m_pZakladki = makePanel(this, "Pzakladki", kStrip);
    m_imZakladki = makeLabel(m_pZakladki, "ImZakladki", QRect(0, 0, kStrip.width(), 4 * kTabHeight));
    m_imZakladki->setPixmap(SkinPicture(QStringLiteral("zakladkiwerdykon")));
    const auto tabPlace = [](int tab) { return QRect(tab * kTabWidth, 0, kTabWidth, kTabHeight); };
    m_lOgolne = makeButtonLabel(m_pZakladki, "LOgolne", tabPlace(0));
    m_lFrekwencja = makeButtonLabel(m_pZakladki, "LFrekwencja", tabPlace(1));
    m_lSrednie = makeButtonLabel(m_pZakladki, "LSrednie", tabPlace(2));
    m_lNdst = makeButtonLabel(m_pZakladki, "LNdst", tabPlace(3));
    m_tabLabels = {m_lOgolne, m_lFrekwencja, m_lSrednie, m_lNdst};

    const auto makeTab = [this](const char* name, const char* picture) {
        QWidget* panel = makePanel(this, name, kPanel);
        QLabel* background = makeLabel(panel, "ImTlo", QRect(QPoint(0, 0), kPanel.size()));
        background->setPixmap(SkinPicture(QString::fromLatin1(picture)));
        background->installEventFilter(this);
        m_panels << panel;
        return panel;
    };

    QWidget* general = makeTab("POgolne", "tlowerdykonogolne");
    m_cListaKlasOgolne = new QComboBox(general);
    m_cListaKlasOgolne->setObjectName(QStringLiteral("CListaKlasOgolne"));
    m_cListaKlasOgolne->setGeometry(kClassList);
    m_cListaKlasOgolne->setEditable(false);
    m_lRozwinListe = makeButtonLabel(general, "LRozwinListe", kDropHotSpot);
    m_eKlasyfikowanych = makeEdit(general, "EKlasyfikowanych", kClassified);
    m_eKlasyfikowanych->setReadOnly(true);
    m_ePromowanych = makeEdit(general, "EPromowanych", kPromoted);

    QWidget* attendance = makeTab("PFrekwencja", "tlowerdykonfrekwencja");
    m_lUczniowieFrekwencja =
        makeList(attendance, "LUczniowieFrekwencja", kLeftList, QAbstractItemView::ExtendedSelection);
    m_l100Frekwencja = makeList(attendance, "L100Frekwencja", kRightList, QAbstractItemView::SingleSelection);
    m_lDodajFrekwencja = makeButtonLabel(attendance, "LDodajFrekwencja", kAddButton);
    m_lUsunFrekwencja = makeButtonLabel(attendance, "LUsunFrekwencja", kRemoveButton);

    QWidget* averages = makeTab("PSrednie", "tlowerdykonsrednie");
    m_lUczniowieSrednie =
        makeList(averages, "LUczniowieSrednie", kLeftList, QAbstractItemView::SingleSelection);
    m_lSrednieZPaskiem =
        makeList(averages, "LSrednieZPaskiem", kRightList, QAbstractItemView::SingleSelection);
    m_lDodajSrednie = makeButtonLabel(averages, "LDodajSrednie", kAddButton);
    m_lUsunSrednie = makeButtonLabel(averages, "LUsunSrednie", kRemoveButton);

    QWidget* failing = makeTab("PNdst", "tlowerdykonndst");
    m_lUczniowieNdst = makeList(failing, "LUczniowieNdst", kLeftList, QAbstractItemView::SingleSelection);
    m_lNiedostateczni = makeList(failing, "LNiedostateczni", kRightList, QAbstractItemView::SingleSelection);
    m_lDodajNdst = makeButtonLabel(failing, "LDodajNdst", kAddButton);
    m_lUsunNdst = makeButtonLabel(failing, "LUsunNdst", kRemoveButton);

    m_pZakladki->raise();

    for (QObject* watched : std::initializer_list<QObject*>{
             m_imTlo, m_imZakladki, m_lOgolne, m_lFrekwencja, m_lSrednie, m_lNdst, m_cListaKlasOgolne,
             m_lRozwinListe, m_eKlasyfikowanych, m_ePromowanych, m_lDodajFrekwencja, m_lUsunFrekwencja,
             m_lDodajSrednie, m_lUsunSrednie, m_lDodajNdst, m_lUsunNdst})
        watched->installEventFilter(this);
    for (QListWidget* list : {m_lUczniowieFrekwencja, m_l100Frekwencja, m_lUczniowieSrednie,
                              m_lSrednieZPaskiem, m_lUczniowieNdst, m_lNiedostateczni}) {
        list->installEventFilter(this);
        list->viewport()->installEventFilter(this);
    }

    connect(m_cListaKlasOgolne, &QComboBox::currentIndexChanged, this,
            [this](int index) { CListaKlasOgolneChange(index); });
    connect(m_lUczniowieFrekwencja, &QListWidget::itemDoubleClicked, this,
            [this] { LDodajFrekwencjaClick(); });
    connect(m_lUczniowieSrednie, &QListWidget::itemDoubleClicked, this, [this] { LDodajSrednieClick(); });
    connect(m_lUczniowieNdst, &QListWidget::itemDoubleClicked, this, [this] { LDodajNdstClick(); });

    ShowTab(1);
}

void TFWerdykon::ShowEditor()
{
    FormShow();
    show();
    raise();
}

void TFWerdykon::FormShow()
{
    if (parentWidget())
        move(kLeftOffset, kTopOffset);
    SetHintGroup(HintGroupClassEditors);
    ShowTab(1);
    // Back from the preview everything entered stays as it was.
    if (appState().NavigatingBack)
        return;

    m_filling = true;
    FillClassCombo(m_cListaKlasOgolne);
    m_filling = false;
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

void TFWerdykon::ShowTab(int tab)
{
    for (QLabel* label : m_tabLabels)
        label->setEnabled(true);
    m_tabLabels.at(tab - 1)->setEnabled(false);
    m_imZakladki->move(0, -kTabHeight * (tab - 1));
    for (int i = 0; i < m_panels.size(); ++i)
        m_panels.at(i)->setVisible(i == tab - 1);

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
    if (m_filling || index < 0)
        return;
    // No question: everything entered for the previous class goes.
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

void TFWerdykon::LDodajSrednieClick()
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
        m_editSrednie->exec();
        if (!m_editSrednie->AverageConfirmed())
            return;
    }
    AddItemIfMissing(m_lSrednieZPaskiem, m_lUczniowieSrednie->item(row)->text());
}

void TFWerdykon::LUsunSrednieClick()
{
    Q_EMIT HideHint();
    RemoveListed(m_lSrednieZPaskiem, m_lUczniowieSrednie, [](int row) { klasaFull().Rows[row].Average = 0; });
}

void TFWerdykon::LDodajNdstClick()
{
    Q_EMIT HideHint();
    const int row = m_lUczniowieNdst->currentRow();
    if (row < 0 || row >= klasaFull().Rows.size())
        return;
    appState().CurrentPupilIndex = row;
    m_editNdst->FocusFirstSubject();
    m_editNdst->exec();
    if (!m_editNdst->SubjectsConfirmed())
        return;
    AddItemIfMissing(m_lNiedostateczni, m_lUczniowieNdst->item(row)->text());
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
    const int row = rowOfName(pupils, item->text());
    if (row >= 0 && row < klasaFull().Rows.size())
        clearRow(row);
    delete listed->takeItem(listed->row(item));
}

bool TFWerdykon::FinishReport()
{
    if (m_eKlasyfikowanych->text().isEmpty() || m_ePromowanych->text().isEmpty()) {
        ShowMessage(KindNotice, IconWarning, QStringLiteral("Niekompletne dane ogólne.\rUzupełnij proszę."));
        return false;
    }
    WerdykonInput input;
    input.ClassName = m_cListaKlasOgolne->currentText();
    input.Classified = m_eKlasyfikowanych->text();
    input.Promoted = m_ePromowanych->text();
    AppState& state = appState();
    // The routine tells the user itself when a file cannot be written.
    if (!WriteWerdykonReport(input, klasaFull(), state, QDateTime::currentDateTime()))
        return false;

    return HandOverToPreview(*this, m_preview, kPreviewWerdykon);
}

void TFWerdykon::CloseEditor()
{
    hide();
}

void TFWerdykon::ClearEditorInputs()
{
    m_l100Frekwencja->clear();
    m_lSrednieZPaskiem->clear();
    m_lNiedostateczni->clear();
}

bool TFWerdykon::eventFilter(QObject* watched, QEvent* event)
{
    const auto clicked = [&](QLabel* label) { return watched == label && isLeftClick(event, label); };
    if (clicked(m_lOgolne) || clicked(m_lFrekwencja) || clicked(m_lSrednie) || clicked(m_lNdst)) {
        Q_EMIT HideHint();
        auto* label = static_cast<QLabel*>(watched);
        if (label->isEnabled()) {
            if (label == m_lOgolne)
                LOgolneClick();
            else if (label == m_lFrekwencja)
                LFrekwencjaClick();
            else if (label == m_lSrednie)
                LSrednieClick();
            else
                LNdstClick();
        }
        return true;
    }
    const std::pair<QLabel*, void (TFWerdykon::*)()> actions[] = {
        {m_lRozwinListe, &TFWerdykon::LRozwinListeClick},
        {m_lDodajFrekwencja, &TFWerdykon::LDodajFrekwencjaClick},
        {m_lUsunFrekwencja, &TFWerdykon::LUsunFrekwencjaClick},
        {m_lDodajSrednie, &TFWerdykon::LDodajSrednieClick},
        {m_lUsunSrednie, &TFWerdykon::LUsunSrednieClick},
        {m_lDodajNdst, &TFWerdykon::LDodajNdstClick},
        {m_lUsunNdst, &TFWerdykon::LUsunNdstClick},
    };
    for (const auto& [label, action] : actions) {
        if (clicked(label)) {
            (this->*action)();
            return true;
        }
    }

    if (watched == m_ePromowanych && event->type() == QEvent::KeyPress)
        return EPromowanychKeyPress(static_cast<QKeyEvent*>(event));

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
            }
            return true;
        }
    }

    if (event->type() == QEvent::MouseButtonPress) {
        // Every background, list, edit and the class list dismisses the hint.
        if (qobject_cast<QLabel*>(watched) || qobject_cast<QLineEdit*>(watched) ||
            watched == m_cListaKlasOgolne ||
            (watched->parent() && qobject_cast<QListWidget*>(watched->parent())))
            ImTloClick();
    }
    return QWidget::eventFilter(watched, event);
}

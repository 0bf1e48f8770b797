#include "windows/editors/ClassEditor.h"

#include "core/AppState.h"
#include "core/KlasaFull.h"
#include "core/Messages.h"
#include "core/SchoolData.h"
#include "drafts/EditorDrafts.h"
#include "windows/editors/PreviewHandOver.h"
#include "windows/parts/KeyboardAccess.h"
#include "windows/parts/ListBoxHelpers.h"
#include "windows/parts/SkinOnShow.h"
#include "windows/parts/WindowParts.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QListWidget>

using namespace WindowParts;

const QString ClassEditor::kNothingToRemove =
    QStringLiteral("Nie masz jeszcze co usuwać.\rLista po prawej jest pusta.");
const QString ClassEditor::kChangeClass = QStringLiteral("Zmień klasę");
const QString ClassEditor::kKeepClass = QStringLiteral("Zostaw klasę");
const QString ClassEditor::kChangeClassQuestion = QStringLiteral(
    "Zmiana klasy usunie z okna wszystko, co wpisano dla klasy „%1”; szkic trafi do folderu "
    "Szkice/Odrzucone.\rZmienić klasę na „%2”?");

ClassEditor::ClassEditor(const char* objectName, const QString& title, QSize size, QPoint offset,
                         int hintGroup, TFBrowser* preview, QWidget* parent)
    : EditorWindow(objectName, title, size, offset, hintGroup, parent), m_preview(preview)
{
}

QLabel* ClassEditor::AddBackground(QWidget* host, const QString& picture)
{
    QLabel* background = makeLabel(host, "ImTlo", QRect(QPoint(0, 0), host->size()));
    SetSkin(background, picture);
    WatchClicks(background);
    return background;
}

void ClassEditor::AddTabStrip(const QRect& strip, const QString& picture, int tabWidth, int tabHeight,
                              const QList<const char*>& labels)
{
    m_tabHeight = tabHeight;
    QWidget* panel = makePanel(this, "Pzakladki", strip);
    m_imZakladki = makeLabel(panel, "ImZakladki", QRect(0, 0, strip.width(), int(labels.size()) * tabHeight));
    SetSkin(m_imZakladki, picture);
    WatchClicks(m_imZakladki);
    for (int i = 0; i < labels.size(); ++i) {
        QLabel* label = makeButtonLabel(panel, labels.at(i), QRect(i * tabWidth, 0, tabWidth, tabHeight));
        m_tabLabels << label;
        // LOgolneClick and its neighbours: a click on the current tab does nothing. The
        // label stays enabled, so that a screen reader reads it as the selected page
        // rather than an unavailable one.
        OnClick(label, [this, i] {
            Q_EMIT HideHint();
            if (i + 1 != m_currentTab)
                ChooseTab(i + 1);
        });
    }
    KeyboardAccess::SetPageTabList(panel);
    panel->raise();
    // Ctrl+Tab, Ctrl+Shift+Tab, Ctrl+Page Down and Ctrl+Page Up turn the pages
    // wherever the focus is in the editor; the lists and memos would take the keys
    // otherwise, so they are seen before them.
    qApp->installEventFilter(this);
}

QWidget* ClassEditor::AddTab(const char* name, const QString& picture, const QRect& place)
{
    QWidget* panel = makePanel(this, name, place);
    AddBackground(panel, picture);
    m_panels << panel;
    return panel;
}

void ClassEditor::ShowTab(int tab)
{
    m_currentTab = tab;
    for (int i = 0; i < m_tabLabels.size(); ++i)
        KeyboardAccess::SetPageTab(m_tabLabels.at(i), i == tab - 1);
    m_imZakladki->move(0, -m_tabHeight * (tab - 1));
    for (int i = 0; i < m_panels.size(); ++i)
        m_panels.at(i)->setVisible(i == tab - 1);
    TabShown(tab);
}

void ClassEditor::ChooseTab(int tab)
{
    ShowTab(tab);
    FocusFirstControl(m_panels.at(tab - 1));
}

void ClassEditor::FocusFirstControl(QWidget* page)
{
    // The first control of the page in Tab order, which is reading order.
    for (QWidget* next = page->nextInFocusChain(); next && next != page; next = next->nextInFocusChain()) {
        if (page->isAncestorOf(next) && next->isVisibleTo(this) && next->isEnabled() &&
            (next->focusPolicy() & Qt::TabFocus)) {
            next->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

void ClassEditor::FocusFirstField()
{
    FocusFirstControl(m_panels.at(m_currentTab - 1));
}

bool ClassEditor::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && isVisible() && !m_panels.isEmpty()) {
        auto* key = static_cast<QKeyEvent*>(event);
        auto* widget = qobject_cast<QWidget*>(watched);
        const Qt::KeyboardModifiers modifiers = key->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier);
        if (widget && modifiers == Qt::ControlModifier && isAncestorOf(widget) &&
            !QApplication::activeModalWidget()) {
            int step = 0;
            if (key->key() == Qt::Key_Backtab || (key->key() == Qt::Key_Tab && key->modifiers() & Qt::ShiftModifier) ||
                key->key() == Qt::Key_PageUp)
                step = -1;
            else if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_PageDown)
                step = 1;
            if (step != 0) {
                const int count = int(m_panels.size());
                Q_EMIT HideHint();
                ChooseTab((m_currentTab - 1 + step + count) % count + 1);
                return true;
            }
        }
    }
    return EditorWindow::eventFilter(watched, event);
}

QListWidget* ClassEditor::AddPupilList(QWidget* host, const char* name, const QRect& place,
                                       QAbstractItemView::SelectionMode selection)
{
    auto* list = new QListWidget(host);
    list->setObjectName(QString::fromLatin1(name));
    list->setGeometry(place);
    list->setSelectionMode(selection);
    WatchClicks(list->viewport());
    return list;
}

void ClassEditor::OnDoubleClick(QListWidget* list, std::function<void()> action)
{
    connect(list, &QListWidget::itemDoubleClicked, this, [this, action = std::move(action)] {
        action();
        InputChanged();
    });
}

void ClassEditor::AskOnChange(QComboBox* list, const QString& question, const QString& change,
                              const QString& keep, bool discards, std::function<void(int index)> changed)
{
    // The item shown before the change, to be put back when the teacher says no.
    auto shown = std::make_shared<QString>();
    connect(list, &QComboBox::currentIndexChanged, this,
            [this, list, question, change, keep, discards, changed, shown](int index) {
        if (m_filling || index < 0) {
            *shown = list->currentText();
            return;
        }
        const bool held = HoldsInput();
        if (held && !AskBeforeChanging(question.arg(*shown, list->currentText()), change, keep)) {
            m_filling = true;
            list->setCurrentIndex(list->findText(*shown, Qt::MatchExactly));
            m_filling = false;
            return;
        }
        // What the change takes from the window is kept aside a while.
        if (held && discards)
            PutDraftAside();
        *shown = list->currentText();
        changed(index);
        InputChanged();
    });
}

void ClassEditor::FillClasses(QComboBox* list)
{
    m_filling = true;
    FillClassCombo(list);
    m_filling = false;
}

int ClassEditor::RowOfName(const QListWidget* pupils, const QString& name)
{
    for (int row = 0; row < pupils->count(); ++row) {
        if (pupils->item(row)->text().compare(name, Qt::CaseInsensitive) == 0)
            return row;
    }
    return -1;
}

QListWidgetItem* ClassEditor::ChosenEntry(QListWidget* listed, const QString& whenEmpty,
                                          const QString& whenNone)
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

QStringList ClassEditor::Items(const QListWidget* list)
{
    QStringList items;
    for (int row = 0; row < list->count(); ++row)
        items << list->item(row)->text();
    return items;
}

QList<_UczenFull> ClassEditor::SheetRows()
{
    const _KlasaFull& sheet = klasaFull();
    return sheet.Rows.mid(0, sheet.PupilCount);
}

bool ClassEditor::RestoreClass(QComboBox* list, const QString& className, const QList<_UczenFull>& rows,
                               QStringList* pupils)
{
    const int index = list->findText(className, Qt::MatchExactly);
    if (index < 0)
        return false;
    m_filling = true;
    list->setCurrentIndex(index);
    m_filling = false;
    appState().CurrentClassIndex = index;
    appState().CurrentPupilIndex = 0;

    // The class as the school's data have it today; what the draft holds for a pupil
    // still in it comes back, and the differences are told.
    QStringList today;
    const QList<_Klasa>& classes = schoolData().Classes;
    for (const _Klasa& k : classes) {
        if (k.Name == className) {
            for (const auto& pupil : k.Pupils)
                today << pupil;
            break;
        }
    }
    _KlasaFull& sheet = klasaFull();
    sheet.LoadClassSheet(className, today);
    QStringList gone;
    QStringList drafted;
    for (const _UczenFull& row : rows) {
        drafted << row.Name;
        const int at = sheet.FindPupilRow(row.Name);
        if (at < 0) {
            gone << row.Name;
            continue;
        }
        sheet.Rows[at] = row;
        sheet.Rows[at].Grouped = false;
    }
    QStringList added;
    for (const QString& name : std::as_const(today)) {
        if (!drafted.contains(name))
            added << name;
    }
    *pupils = today;
    m_restoreNotice = PupilChangesNotice(className, gone, added);
    return true;
}

QString ClassEditor::PupilChangesNotice(const QString& className, const QStringList& gone,
                                        const QStringList& added)
{
    if (gone.isEmpty() && added.isEmpty())
        return {};
    QStringList lines{QStringLiteral("Od czasu zapisania szkicu zmieniła się lista uczniów klasy „%1”.")
                          .arg(className)};
    if (!gone.isEmpty())
        lines << QStringLiteral("Nie ma już w klasie (ich wpisy pominięto): ") + gone.join(QStringLiteral(", ")) +
                     QLatin1Char('.');
    if (!added.isEmpty())
        lines << QStringLiteral("Nowi w klasie: ") + added.join(QStringLiteral(", ")) + QLatin1Char('.');
    return lines.join(QLatin1Char('\r'));
}

QStringList ClassEditor::Present(const QStringList& listed, const QStringList& pupils)
{
    QStringList kept;
    for (const QString& name : listed) {
        if (pupils.contains(name))
            kept << name;
    }
    return kept;
}

bool ClassEditor::HandOver(const QString& pageFile)
{
    return HandOverToPreview(*this, m_preview, pageFile);
}

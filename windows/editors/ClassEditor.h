#pragma once

#include "windows/editors/EditorWindow.h"

#include <QAbstractItemView>
#include <QList>
#include <QString>

class QComboBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class TFBrowser;

// What the three class-based editors share (class classification, conduct and
// failing-grade justification): the background and the tab strip, the class list and
// its change, which asks before it discards what was entered, the pupil lists, and
// their draft, which holds the class sheet.
class ClassEditor : public EditorWindow
{
    Q_OBJECT

public:
    void SetPreviewWindow(TFBrowser* preview) { m_preview = preview; }

    // The notice after a draft is restored into a class whose pupils changed since.
    static QString PupilChangesNotice(const QString& className, const QStringList& gone,
                                      const QStringList& added);

protected:
    ClassEditor(const char* objectName, const QString& title, QSize size, QPoint offset, int hintGroup,
                TFBrowser* preview, QWidget* parent);

    // The background picture `picture` named "ImTlo", filling `host`.
    QLabel* AddBackground(QWidget* host, const QString& picture);

    // The tab strip `Pzakladki` at `strip` with the picture `ImZakladki` of one state
    // per tab, `tabHeight` high each, and one label per name in `labels`, `tabWidth`
    // wide each. A click on a label shows its tab.
    void AddTabStrip(const QRect& strip, const QString& picture, int tabWidth, int tabHeight,
                     const QList<const char*>& labels);
    // One tab's panel at `place` with its background picture.
    QWidget* AddTab(const char* name, const QString& picture, const QRect& place);
    // Shows tab `tab` (1 for the first): its label the selected page, the strip moved
    // to its state, its panel alone visible; then TabShown.
    void ShowTab(int tab);
    // The teacher chose tab `tab`: shown, and the focus on its first control.
    void ChooseTab(int tab);
    // The focus on the first control of the tab shown (the editor opens there).
    void FocusFirstField();
    bool eventFilter(QObject* watched, QEvent* event) override;
    virtual void TabShown(int /*tab*/) {}

    // A pupil list; a press in it dismisses the hint.
    QListWidget* AddPupilList(QWidget* host, const char* name, const QRect& place,
                              QAbstractItemView::SelectionMode selection);
    // A double click in `list` runs `action`, as its add button does.
    void OnDoubleClick(QListWidget* list, std::function<void()> action);
    // A change of `list` by the teacher: when the editor holds input `question` (with
    // %1 the previous and %2 the new item) is asked first with the answers `change`
    // and `keep`; anything but `change` puts the previous item back. When the change
    // `discards` input, the draft is put aside among the discarded drafts first.
    // `changed` runs for an accepted change.
    void AskOnChange(QComboBox* list, const QString& question, const QString& change, const QString& keep,
                     bool discards, std::function<void(int index)> changed);
    // Fills `list` with the school's classes, the first chosen, without asking.
    void FillClasses(QComboBox* list);

    // Row of the pupil named `name` in a left-hand list: whole text, letter case
    // ignored, first match. The list holds the rows in class order.
    static int RowOfName(const QListWidget* pupils, const QString& name);
    // The selected entry of a right-hand list, or a notice why there is none.
    static QListWidgetItem* ChosenEntry(QListWidget* listed, const QString& whenEmpty,
                                        const QString& whenNone);

    // The texts of a list's entries, in order.
    static QStringList Items(const QListWidget* list);
    // The rows of the class sheet in use.
    static QList<_UczenFull> SheetRows();
    // Puts a draft's class back: chooses `className` in `list` (false when the school
    // has no such class any more), makes it the current class and fills the class
    // sheet with today's pupils and what `rows` hold for them. Returns the pupils'
    // names; pupils gone and pupils new since the draft are told once it is restored.
    bool RestoreClass(QComboBox* list, const QString& className, const QList<_UczenFull>& rows,
                      QStringList* pupils);

    // The names of `listed` that are among `pupils`, in their order.
    static QStringList Present(const QStringList& listed, const QStringList& pupils);

    // The report was written: closes the editor and shows `pageFile` in the preview.
    bool HandOver(const QString& pageFile);

    static const QString kNothingToRemove;
    // Asked before a class change discards what was entered, and its answers.
    static const QString kChangeClassQuestion;
    static const QString kChangeClass;
    static const QString kKeepClass;

    // Set while the program fills a list, so that its change is no teacher's choice.
    bool m_filling = false;

private:
    TFBrowser* m_preview;
    QLabel* m_imZakladki = nullptr;
    QList<QLabel*> m_tabLabels;
    QList<QWidget*> m_panels;
    int m_tabHeight = 0;
    int m_currentTab = 1;

    void FocusFirstControl(QWidget* page);
};

#include "windows/editors/FreeTextEditor.h"

#include "core/AppState.h"
#include "core/Hints.h"
#include "core/Messages.h"
#include "core/TextForm.h"
#include "windows/delivery/UBrowser.h"
#include "windows/editors/PreviewHandOver.h"
#include "windows/parts/SkinOnShow.h"
#include "windows/parts/WindowParts.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <algorithm>

using namespace WindowParts;

FreeTextEditor::FreeTextEditor(const char* objectName, const QString& title, QSize size, int hintGroup,
                               TFBrowser* preview, QWidget* parent)
    : EditorWindow(objectName, title, size, QPoint(kLeftOffset, kTopOffset), hintGroup, parent),
      m_preview(preview), m_clock([] { return QDateTime::currentDateTime(); })
{
}

QLabel* FreeTextEditor::AddBackground(QWidget* host, const char* name, const QString& picture)
{
    QLabel* background = makeLabel(host, name, QRect(QPoint(0, 0), host->size()));
    SetSkin(background, picture);
    background->lower();
    WatchClicks(background);
    return background;
}

QLineEdit* FreeTextEditor::AddEdit(QWidget* host, const char* name, const QRect& place)
{
    auto* edit = new QLineEdit(host);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setGeometry(place);
    WatchClicks(edit);
    connect(edit, &QLineEdit::textChanged, this, [this] { InputChanged(); });
    return edit;
}

QPlainTextEdit* FreeTextEditor::AddMemo(QWidget* host, const char* name, const QRect& place)
{
    auto* memo = new QPlainTextEdit(host);
    memo->setObjectName(QString::fromLatin1(name));
    memo->setGeometry(place);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    memo->setTabChangesFocus(true);
    WatchClicks(memo);
    WatchClicks(memo->viewport());
    connect(memo, &QPlainTextEdit::textChanged, this, [this] { InputChanged(); });
    return memo;
}

QComboBox* FreeTextEditor::AddList(QWidget* host, const char* name, const QRect& place)
{
    QComboBox* list = AddChoiceList(host, name, place);
    connect(list, &QComboBox::currentIndexChanged, this, [this] { InputChanged(); });
    return list;
}

QLabel* FreeTextEditor::AddDropLabel(QWidget* host, const char* name, const QRect& place, QComboBox* list)
{
    QLabel* label = makeButtonLabel(host, name, place);
    // LRozwinListeClick
    OnClick(label, [this, list] {
        Q_EMIT HideHint();
        list->showPopup();
    });
    return label;
}

void FreeTextEditor::HideHintOnChange(QPlainTextEdit* memo)
{
    // Only typing counts: the program empties the memos of a hidden editor (on a
    // fresh show, on a new choice in the main window's lists), and that must leave
    // the hint panel where it is.
    connect(memo, &QPlainTextEdit::textChanged, this, [this, memo] {
        if (memo->isVisible())
            Q_EMIT HideHint();
    });
}

QString FreeTextEditor::MemoText(const QPlainTextEdit* memo)
{
    return TypedText(memo);
}

void FreeTextEditor::SetMemoText(QPlainTextEdit* memo, const QString& text)
{
    memo->setPlainText(text);
}

bool FreeTextEditor::ChooseItem(QComboBox* list, const QString& text)
{
    const int index = list->findText(text, Qt::MatchExactly);
    if (index < 0)
        return false;
    list->setCurrentIndex(index);
    return true;
}

QStringList FreeTextEditor::TypedLines(const QPlainTextEdit* memo)
{
    // The plain text keeps the typed line breaks; wrapped display lines are not in it.
    return MemoLines(TypedText(memo));
}

bool FreeTextEditor::IsBlank(const QString& text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() <= 0x20; });
}

bool FreeTextEditor::HandOver(const QString& pageFile)
{
    return HandOverToPreview(*this, m_preview, pageFile);
}

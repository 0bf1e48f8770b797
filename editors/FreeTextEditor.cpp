#include "editors/FreeTextEditor.h"

#include "delivery/UBrowser.h"
#include "editors/PreviewHandOver.h"
#include "resources/SkinOnShow.h"
#include "shell/AppState.h"
#include "shell/Hints.h"
#include "shell/Messages.h"
#include "shell/TextForm.h"
#include "shell/WindowParts.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <algorithm>

using namespace WindowParts;

FreeTextEditor::FreeTextEditor(const char* objectName, const QString& title, QSize size, int hintGroup,
                               TFBrowser* preview, QWidget* parent)
    : QWidget(parent, parent ? Qt::Widget : Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_hintGroup(hintGroup), m_preview(preview), m_clock([] { return QDateTime::currentDateTime(); })
{
    // FormCreate
    setObjectName(QString::fromLatin1(objectName));
    setWindowTitle(title);
    setFixedSize(size);
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
    return memo;
}

QComboBox* FreeTextEditor::AddList(QWidget* host, const char* name, const QRect& place)
{
    auto* list = new QComboBox(host);
    list->setObjectName(QString::fromLatin1(name));
    list->setGeometry(place);
    list->setEditable(false);
    WatchClicks(list);
    return list;
}

QLabel* FreeTextEditor::AddDropLabel(QWidget* host, const char* name, const QRect& place, QComboBox* list)
{
    QLabel* label = makeButtonLabel(host, name, place);
    label->installEventFilter(this);
    m_dropLabels.append({label, list});
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

void FreeTextEditor::WatchClicks(QWidget* watched)
{
    watched->installEventFilter(this);
    m_watched.append(watched);
}

void FreeTextEditor::ShowEditor()
{
    if (parentWidget())
        move(kLeftOffset, kTopOffset);
    SetHintGroup(m_hintGroup);
    FormShow();
    show();
    raise();
}

void FreeTextEditor::CloseEditor()
{
    hide();
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

bool FreeTextEditor::Refuse(const QString& message)
{
    ShowMessage(KindNotice, IconWarning, message);
    return false;
}

bool FreeTextEditor::HandOver(const QString& pageFile)
{
    return HandOverToPreview(*this, m_preview, pageFile);
}

bool FreeTextEditor::eventFilter(QObject* watched, QEvent* event)
{
    for (const auto& [label, list] : std::as_const(m_dropLabels)) {
        if (watched == label && isLeftClick(event, label)) {
            // LRozwinListeClick
            Q_EMIT HideHint();
            list->showPopup();
            return true;
        }
    }
    if (isPress(event) && m_watched.contains(watched))
        Q_EMIT HideHint();
    return QWidget::eventFilter(watched, event);
}

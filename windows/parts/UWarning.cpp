#include "windows/parts/UWarning.h"

#include "windows/parts/KeyboardAccess.h"
#include "windows/parts/SkinOnShow.h"

#include "windows/parts/SkinPicture.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QList>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>
#include <QtMath>

#include <cstdio>

namespace {

QLabel* makeLabel(QWidget* parent, const char* name, const QRect& place)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(place);
    label->setFocusPolicy(Qt::NoFocus);
    return label;
}

QWidget* makePanel(QWidget* parent, const char* name, const QRect& place)
{
    auto* panel = new QWidget(parent);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setGeometry(place);
    panel->setFocusPolicy(Qt::NoFocus);
    return panel;
}

QString pictureName(int button)
{
    switch (button) {
    case 1:
        return QStringLiteral("buttak");
    case 2:
        return QStringLiteral("butnie");
    case 3:
        return QStringLiteral("butanuluj");
    default:
        return QStringLiteral("butzamknij");
    }
}

bool isShown(const QWidget* widget)
{
    return !widget->isHidden();
}

bool isLeftClick(QEvent* event, const QWidget* on)
{
    if (event->type() != QEvent::MouseButtonRelease)
        return false;
    auto* mouse = static_cast<QMouseEvent*>(event);
    return mouse->button() == Qt::LeftButton && on->rect().contains(mouse->position().toPoint());
}

const int kTakLeft = 63;
const int kTakLeftAlone = 156; // kind 2 shows Tak where Nie stands, beside Anuluj
const int kButtonWidth = 88;
const int kButtonTop = 116;
// Questions with named answers: two wide buttons.
const int kWideWidth = 144;
const int kWideFirstLeft = 40;
const int kWideSecondLeft = 192;

const QRect kTextPlace(17, 51, 313, 53);
// Where the background stretches: a row of plain body between the icon and the
// footer band, repeated as often as the text needs.
const int kStretchRow = 80;

// The background `extra` pixels higher than painted: the body row kStretchRow is
// repeated, everything below it moves down.
QPixmap stretchedBackground(const QPixmap& painted, int extra)
{
    if (extra <= 0 || painted.isNull())
        return painted;
    const qreal ratio = painted.devicePixelRatio();
    const QSizeF size = painted.deviceIndependentSize();
    QPixmap grown(QSize(qCeil(size.width() * ratio), qCeil((size.height() + extra) * ratio)));
    grown.setDevicePixelRatio(ratio);
    QPainter p(&grown);
    const qreal w = size.width();
    p.drawPixmap(QRectF(0, 0, w, kStretchRow), painted, QRectF(0, 0, w * ratio, kStretchRow * ratio));
    p.drawPixmap(QRectF(0, kStretchRow, w, extra), painted,
                 QRectF(0, kStretchRow * ratio, w * ratio, ratio));
    p.drawPixmap(QRectF(0, kStretchRow + extra, w, size.height() - kStretchRow), painted,
                 QRectF(0, kStretchRow * ratio, w * ratio, (size.height() - kStretchRow) * ratio));
    return grown;
}

// A word wider than the text area (a computer's name, a file's path) would run past
// its edge: such a word may break anywhere, at zero-width spaces put between its
// letters.
QString breakableWords(const QString& text, const QFontMetrics& metrics, int width)
{
    QString out;
    QString word;
    const auto flush = [&] {
        if (metrics.horizontalAdvance(word) <= width) {
            out += word;
        } else {
            for (qsizetype i = 0; i < word.size(); ++i) {
                out += word.at(i);
                if (!word.at(i).isHighSurrogate() && i + 1 < word.size())
                    out += QChar(0x200B);
            }
        }
        word.clear();
    };
    for (const QChar c : text) {
        if (c.isSpace()) {
            flush();
            out += c;
        } else {
            word += c;
        }
    }
    flush();
    return out;
}

// A wide button's picture with `caption` written on it in the skin's button font.
QPixmap captionedButton(const QString& caption, bool highlighted, qreal ratio)
{
    QPixmap button =
        SkinPicture(highlighted ? QStringLiteral("butszerokiakt") : QStringLiteral("butszeroki"), ratio);
    if (button.isNull())
        return button;
    QPainter p(&button);
    p.setRenderHint(QPainter::TextAntialiasing);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(12);
    font.setBold(true);
    p.setFont(font);
    p.setPen(highlighted ? QColor(0xFF, 0xFF, 0xFF) : QColor(0x2F, 0x4A, 0x6B));
    p.drawText(QRectF(QPointF(0, 0), button.deviceIndependentSize()), Qt::AlignCenter | Qt::TextSingleLine,
               caption);
    return button;
}

} // namespace

TFWarning::TFWarning(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    // FormCreate
    setObjectName(QStringLiteral("FWarning"));
    setWindowTitle(QStringLiteral("Tabulon"));
    setFixedSize(kWidth, kBaseHeight);
    setModal(true);
    setFocusPolicy(Qt::StrongFocus);

    m_imWarning = makeLabel(this, "ImWarning", QRect(0, 0, kWidth, kBaseHeight));

    m_lTekstWarning = makeLabel(this, "LTekstWarning", kTextPlace);
    m_lTekstWarning->setWordWrap(true);
    m_lTekstWarning->setTextFormat(Qt::PlainText); // texts carry file names and user input
    m_lTekstWarning->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont textFont = m_lTekstWarning->font();
    textFont.setPixelSize(12);
    m_lTekstWarning->setFont(textFont);
    QPalette textPalette = m_lTekstWarning->palette();
    textPalette.setColor(QPalette::WindowText, QColor::fromRgb(0x444444));
    m_lTekstWarning->setPalette(textPalette);

    m_pIkona = makePanel(this, "PIkona", QRect(12, 4, 42, 43));
    m_imIkona = makeLabel(m_pIkona, "ImIkona", QRect(0, 0, 42, 43));

    m_pButTak = makePanel(this, "PButTak", QRect(kTakLeft, 116, 88, 26));
    m_imButTak = makeLabel(m_pButTak, "ImButTak", QRect(0, 0, 88, 26));
    m_pButNie = makePanel(this, "PButNie", QRect(156, 116, 88, 26));
    m_imButNie = makeLabel(m_pButNie, "ImButNie", QRect(0, 0, 88, 26));
    m_pButAnuluj = makePanel(this, "PButAnuluj", QRect(248, 116, 88, 26));
    m_imButAnuluj = makeLabel(m_pButAnuluj, "ImButAnuluj", QRect(0, 0, 88, 26));
    m_pButZamknij = makePanel(this, "pButZamknij", QRect(190, 116, 88, 26));
    m_imButZamknij = makeLabel(m_pButZamknij, "ImButZamknij", QRect(0, 0, 88, 26));

    m_lListwa = makeLabel(this, "LListwa", QRect(56, 5, 281, 23));
    m_lClose = makeLabel(this, "LClose", QRect(323, 8, 17, 17));

    // The buttons are buttons and focus stops to a screen reader; the focus follows
    // the dialog's highlight, so what the reader names is what Enter answers.
    for (QLabel* clickable : {m_imButTak, m_imButNie, m_imButAnuluj, m_imButZamknij}) {
        clickable->setCursor(Qt::PointingHandCursor);
        KeyboardAccess::SetButtonLabel(clickable, true);
    }
    m_lClose->setCursor(Qt::PointingHandCursor);
    KeyboardAccess::SetButtonLabel(m_lClose, false);

    SetSkin(m_imIkona, QStringLiteral("ikoinfo"));

    // While the dialog is shown, Tab and Shift+Tab move its highlight; every other
    // window, Qt's own dialogs among them, keeps its Tab. The filter also catches the
    // clicks and drags on this dialog's labels.
    qApp->installEventFilter(this);
}

TFWarning::~TFWarning()
{
    qApp->removeEventFilter(this);
}

int TFWarning::present(int kind, int icon, const QString& text)
{
    return open(kind, icon, text, nullptr);
}

int TFWarning::presentNamed(int icon, const QString& text, const NamedAnswers& answers)
{
    return open(KindQuestion, icon, text, &answers);
}

int TFWarning::open(int kind, int icon, const QString& text, const NamedAnswers* named)
{
    const int fallback = named                                            ? named->keeps
                         : kind == KindQuestion || kind == KindHandOver ? int(AnswerCancel)
                                                                        : int(AnswerClose);
    if (isVisible()) {
        // A message raised while another is on screen (from inside its own event
        // handling) cannot open the dialog a second time.
        std::fprintf(stderr, "%s\n", qPrintable(QString(text).replace(QLatin1Char('\r'), QLatin1Char('\n'))));
        return fallback;
    }
    // Unknown kinds are shown as notices, so that the text is never lost.
    const int shownKind = kind == KindQuestion || kind == KindHandOver ? kind : int(KindNotice);

    m_firstCaption = named ? named->first : QString();
    m_secondCaption = named ? named->second : QString();
    m_keeps = named ? named->keeps : int(AnswerCancel);
    for (Button button : {ButTak, ButNie, ButAnuluj, ButZamknij})
        panel(button)->resize(named ? kWideWidth : kButtonWidth, panel(button)->height());
    for (QLabel* picture : {m_imButTak, m_imButNie})
        picture->resize(named ? kWideWidth : kButtonWidth, picture->height());
    m_imButTak->setAccessibleName(named ? named->first : QStringLiteral("Tak"));
    m_imButNie->setAccessibleName(named ? named->second : QStringLiteral("Nie"));
    m_imButTak->setAccessibleDescription(named ? QString() : QStringLiteral("Klawisz T."));
    m_imButNie->setAccessibleDescription(named ? QString() : QStringLiteral("Klawisz N."));

    showButton(ButTak, true);
    showButton(ButNie, false);
    showButton(ButZamknij, false);
    showButton(ButAnuluj, false);
    if (shownKind == KindNotice) {
        showButton(ButZamknij, true);
        m_focusedButton = ButZamknij;
    } else {
        m_focusedButton = ButTak;
    }
    if (named && named->keeps == AnswerNo) {
        // The dialog opens on the answer that keeps the work.
        showButton(ButTak, false);
        showButton(ButNie, true);
        m_focusedButton = ButNie;
    }

    m_pButTak->move(named                          ? kWideFirstLeft
                    : shownKind == KindHandOver ? kTakLeftAlone
                                                  : kTakLeft,
                    m_pButTak->y());
    m_pButNie->move(named ? kWideSecondLeft : 156, m_pButNie->y());
    m_pButTak->setVisible(shownKind != KindNotice);
    m_pButNie->setVisible(shownKind == KindQuestion);
    m_pButAnuluj->setVisible(shownKind != KindNotice && !named);
    m_pButZamknij->setVisible(shownKind == KindNotice);

    // Callers write a line break as CR; CR LF counts as one break too.
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    m_lTekstWarning->setText(breakableWords(shown, m_lTekstWarning->fontMetrics(), kTextPlace.width()));
    setAccessibleDescription(shown);

    static const char* const icons[] = {"ikoinfo", "ikopytanie", "ikouwaga"};
    if (icon >= IconInformation && icon <= IconWarning)
        SetSkin(m_imIkona, QString::fromLatin1(icons[icon - 1]));

    // Closed any other way than by an answer (the window manager's close, say), a
    // question counts as cancelled and a notice as closed.
    m_result = fallback;
    m_dragging = false;

    fitText();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    exec();
    return m_result;
}

void TFWarning::fitText()
{
    // The width stays; the height follows the wrapped text, within the screen.
    int needed = m_lTekstWarning->heightForWidth(kTextPlace.width());
    if (needed < 0)
        needed = m_lTekstWarning->sizeHint().height();
    int extra = qMax(0, needed - kTextPlace.height());
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        extra = qMin(extra, qMax(0, screen->availableGeometry().height() - kBaseHeight));
    setFixedSize(kWidth, kBaseHeight + extra);
    m_lTekstWarning->resize(kTextPlace.width(), kTextPlace.height() + extra);
    for (Button button : {ButTak, ButNie, ButAnuluj, ButZamknij})
        panel(button)->move(panel(button)->x(), kButtonTop + extra);
    const qreal ratio = devicePixelRatioF();
    const QPixmap painted = SkinPicture(QStringLiteral("oknowarning"), ratio);
    m_imWarning->resize(kWidth, kBaseHeight + extra);
    m_imWarning->setPixmap(stretchedBackground(painted, extra));
}

void TFWarning::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // The answer the dialog opens on has the focus, for the keyboard and the reader.
    image(Button(m_focusedButton))->setFocus(Qt::OtherFocusReason);
}

QWidget* TFWarning::panel(Button button) const
{
    switch (button) {
    case ButTak:
        return m_pButTak;
    case ButNie:
        return m_pButNie;
    case ButAnuluj:
        return m_pButAnuluj;
    case ButZamknij:
        break;
    }
    return m_pButZamknij;
}

QLabel* TFWarning::image(Button button) const
{
    switch (button) {
    case ButTak:
        return m_imButTak;
    case ButNie:
        return m_imButNie;
    case ButAnuluj:
        return m_imButAnuluj;
    case ButZamknij:
        break;
    }
    return m_imButZamknij;
}

void TFWarning::showButton(Button button, bool highlighted)
{
    if (!m_firstCaption.isEmpty() && (button == ButTak || button == ButNie)) {
        image(button)->setPixmap(captionedButton(button == ButTak ? m_firstCaption : m_secondCaption,
                                                 highlighted, devicePixelRatioF()));
        return;
    }
    // Painted at once, not when first shown: a picture still waiting would replace a
    // captioned one given after it.
    const QString name = pictureName(button) + (highlighted ? QStringLiteral("akt") : QString());
    image(button)->setPixmap(SkinPicture(name, devicePixelRatioF()));
}

void TFWarning::moveHighlight(int step)
{
    // The highlight walks among the visible Tak, Nie and Anuluj; a notice has nothing
    // to move to.
    if (m_focusedButton == ButZamknij)
        return;
    QList<Button> order;
    for (Button button : {ButTak, ButNie, ButAnuluj}) {
        if (isShown(panel(button)))
            order.append(button);
    }
    const qsizetype at = order.indexOf(Button(m_focusedButton));
    if (at < 0 || order.size() < 2)
        return;
    const Button next = order.at((at + step + order.size()) % order.size());
    showButton(Button(m_focusedButton), false);
    showButton(next, true);
    m_focusedButton = next;
    if (isVisible())
        image(next)->setFocus(Qt::TabFocusReason);
}

void TFWarning::closeWith(int answer)
{
    m_result = answer;
    m_dragging = false;
    accept();
}

int TFWarning::tabStep(QObject* watched, QEvent* event) const
{
    if (event->type() != QEvent::KeyPress || !isVisible())
        return 0;
    const bool forThisDialog = watched == this || watched == windowHandle() ||
                               (watched->isWidgetType() && isAncestorOf(static_cast<QWidget*>(watched)));
    if (!forThisDialog)
        return 0;
    const int key = static_cast<QKeyEvent*>(event)->key();
    return key == Qt::Key_Tab ? 1 : key == Qt::Key_Backtab ? -1 : 0;
}

bool TFWarning::eventFilter(QObject* watched, QEvent* event)
{
    if (const int step = tabStep(watched, event)) {
        moveHighlight(step);
        return true;
    }

    if (watched == m_lListwa) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
            LListwaMouseDown(static_cast<QMouseEvent*>(event));
            return true;
        case QEvent::MouseMove:
            LListwaMouseMove(static_cast<QMouseEvent*>(event));
            return true;
        case QEvent::MouseButtonRelease:
            LListwaMouseUp();
            return true;
        default:
            break;
        }
    } else if (watched == m_lClose && isLeftClick(event, m_lClose)) {
        LCloseClick();
        return true;
    } else if (watched == m_imButTak && isLeftClick(event, m_imButTak)) {
        ImButTakClick();
        return true;
    } else if (watched == m_imButNie && isLeftClick(event, m_imButNie)) {
        ImButNieClick();
        return true;
    } else if (watched == m_imButAnuluj && isLeftClick(event, m_imButAnuluj)) {
        ImButAnulujClick();
        return true;
    } else if (watched == m_imButZamknij && isLeftClick(event, m_imButZamknij)) {
        ImButZamknijClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TFWarning::keyPressEvent(QKeyEvent* event)
{
    // Every key stops here, so no character reaches a control and the dialog's own
    // default keys (Escape closing a question) do not apply.
    FormKeyDown(event);
    event->accept();
}

void TFWarning::FormKeyDown(QKeyEvent* event)
{
    // Named answers have no letters: T or N would answer a question whose buttons
    // say neither.
    const bool named = !m_firstCaption.isEmpty();
    switch (named && event->key() >= Qt::Key_A && event->key() <= Qt::Key_Z ? 0 : event->key()) {
    case Qt::Key_T:
        if (isShown(m_pButTak))
            closeWith(AnswerYes);
        return;
    case Qt::Key_N:
        if (isShown(m_pButNie))
            closeWith(AnswerNo);
        return;
    case Qt::Key_A:
        if (isShown(m_pButAnuluj))
            closeWith(AnswerCancel);
        return;
    case Qt::Key_Z:
        if (isShown(m_pButZamknij))
            closeWith(AnswerClose);
        return;
    case Qt::Key_Escape:
        // Escape cancels a question and closes a notice.
        LCloseClick();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        closeWith(m_focusedButton == ButZamknij ? int(AnswerClose) : m_focusedButton);
        return;
    case Qt::Key_Left:
        moveHighlight(-1);
        return;
    case Qt::Key_Right:
        moveHighlight(1);
        return;
    default:
        return;
    }
}

void TFWarning::LCloseClick()
{
    if (!m_firstCaption.isEmpty())
        closeWith(m_keeps);
    else if (isShown(m_pButAnuluj))
        closeWith(AnswerCancel);
    else if (isShown(m_pButZamknij))
        closeWith(AnswerClose);
}

void TFWarning::LListwaMouseDown(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_dragging = true;
    m_dragLast = event->globalPosition().toPoint();
}

void TFWarning::LListwaMouseMove(QMouseEvent* event)
{
    if (!m_dragging)
        return;
    const QPoint now = event->globalPosition().toPoint();
    move(pos() + (now - m_dragLast));
    m_dragLast = now;
}

void TFWarning::LListwaMouseUp()
{
    m_dragging = false;
}

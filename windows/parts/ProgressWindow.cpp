#include "windows/parts/ProgressWindow.h"

#include "resources/skins/SkinStyle.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

namespace {

constexpr int kWidth = 380;
constexpr int kHeight = 150;
constexpr int kTitleHeight = 30;
constexpr int kFooterTop = 108;

QString unitText(qint64 bytes)
{
    const QLocale polish(QLocale::Polish, QLocale::Poland);
    if (bytes < 1024)
        return QStringLiteral("%1 B").arg(bytes);
    if (bytes < 1024 * 1024)
        return QStringLiteral("%1 kB").arg(polish.toString(double(bytes) / 1024.0, 'f', 0));
    return QStringLiteral("%1 MB").arg(polish.toString(double(bytes) / (1024.0 * 1024.0), 'f', 1));
}

} // namespace

ProgressWindow::ProgressWindow(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("FPostep"));
    setWindowTitle(QStringLiteral("Tabulon"));
    setFixedSize(kWidth, kHeight);
    setWindowModality(Qt::ApplicationModal);

    QFont body(QStringLiteral("DejaVu Sans"));
    body.setPixelSize(12);
    QFont bold = body;
    bold.setBold(true);
    QPalette text = palette();
    text.setColor(QPalette::WindowText, SkinStyle::kText);

    m_title = new QLabel(this);
    m_title->setObjectName(QStringLiteral("LTytul"));
    m_title->setGeometry(14, 0, kWidth - 28, kTitleHeight);
    m_title->setFont(bold);
    m_title->setTextFormat(Qt::PlainText);
    QPalette white = palette();
    white.setColor(QPalette::WindowText, SkinStyle::kTitleText);
    m_title->setPalette(white);

    m_item = new QLabel(this);
    m_item->setObjectName(QStringLiteral("LPlik"));
    m_item->setGeometry(16, 40, kWidth - 32, 18);
    m_item->setFont(body);
    m_item->setPalette(text);
    m_item->setTextFormat(Qt::PlainText); // names come from settings and servers

    m_bar = new QProgressBar(this);
    m_bar->setObjectName(QStringLiteral("PBPostep"));
    m_bar->setGeometry(16, 62, kWidth - 32, 14);
    m_bar->setTextVisible(false);
    m_bar->setAccessibleName(QStringLiteral("Postęp"));

    m_bytes = new QLabel(this);
    m_bytes->setObjectName(QStringLiteral("LBajty"));
    m_bytes->setGeometry(16, 80, kWidth - 32, 18);
    m_bytes->setFont(body);
    m_bytes->setPalette(text);

    m_cancel = new QPushButton(QStringLiteral("Anuluj"), this);
    m_cancel->setObjectName(QStringLiteral("BAnuluj"));
    m_cancel->setGeometry(kWidth - 16 - 96, kFooterTop + 10, 96, 26);
    m_cancel->setFont(body);
    m_cancel->setAccessibleName(QStringLiteral("Anuluj"));
    m_cancel->setAccessibleDescription(QStringLiteral("Przerywa trwającą pracę"));
    m_cancel->setDefault(true);
    connect(m_cancel, &QPushButton::clicked, this, &ProgressWindow::cancel);
}

QString ProgressWindow::sizeText(qint64 done, qint64 total)
{
    if (total > 0)
        return QStringLiteral("%1 z %2").arg(unitText(done), unitText(total));
    return unitText(done);
}

void ProgressWindow::begin(const QString& title)
{
    if (m_depth++ > 0) {
        m_title->setText(title);
        return;
    }
    m_cancelled = false;
    m_title->setText(title);
    m_item->clear();
    m_bytes->clear();
    m_bar->setRange(0, 0);
    m_cancel->setEnabled(true);
    m_started.start();
    m_lastPump.start();
}

bool ProgressWindow::report(const QString& item, qint64 done, qint64 total)
{
    if (m_depth == 0)
        return true;
    if (m_cancelled)
        return false;
    if (m_item->text() != item)
        m_item->setText(m_item->fontMetrics().elidedText(item, Qt::ElideMiddle, m_item->width()));
    m_bytes->setText(sizeText(done, total));
    if (total > 0 && done <= total) {
        // The bar counts in thousandths so that sizes past 2 GiB fit its range.
        m_bar->setRange(0, 1000);
        m_bar->setValue(int(done * 1000 / total));
    } else {
        m_bar->setRange(0, 0);
    }
    if (isHidden() && m_started.elapsed() >= m_showDelay) {
        if (QWidget* over = parentWidget(); over && over->isVisible())
            move(over->geometry().center() - rect().center());
        else if (const QScreen* screen = QGuiApplication::primaryScreen())
            move(screen->availableGeometry().center() - rect().center());
        show();
        raise();
        activateWindow();
        m_cancel->setFocus();
    }
    pump();
    return !m_cancelled;
}

void ProgressWindow::pump()
{
    // Reports come thousands of times a second; the interface needs far fewer turns.
    if (m_lastPump.elapsed() < 30)
        return;
    m_lastPump.restart();
    // Before the window is up nothing may be clicked elsewhere: only painting and
    // timers run. Once it is up, its modality keeps the other windows out.
    QCoreApplication::processEvents(isVisible() ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
}

void ProgressWindow::end()
{
    if (m_depth == 0 || --m_depth > 0)
        return;
    hide();
}

void ProgressWindow::cancel()
{
    m_cancelled = true;
    m_cancel->setEnabled(false);
    m_bytes->setText(QStringLiteral("Przerywanie…"));
}

void ProgressWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        cancel();
        return;
    }
    QDialog::keyPressEvent(event);
}

void ProgressWindow::closeEvent(QCloseEvent* event)
{
    // The window goes when the work ends; closing it asks the work to stop.
    if (m_depth > 0) {
        cancel();
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void ProgressWindow::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), SkinStyle::kBody);
    QLinearGradient band(0, 0, 0, kTitleHeight);
    band.setColorAt(0, SkinStyle::kTitleTop);
    band.setColorAt(1, SkinStyle::kTitleBottom);
    p.fillRect(QRect(0, 0, width(), kTitleHeight), band);
    p.fillRect(QRect(0, kFooterTop, width(), height() - kFooterTop), SkinStyle::kFooter);
    p.setPen(SkinStyle::kLine);
    p.drawLine(0, kFooterTop, width(), kFooterTop);
    p.setPen(SkinStyle::kBorder);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

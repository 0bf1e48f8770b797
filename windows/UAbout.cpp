#include "windows/UAbout.h"

#include "resources/skins/GlownyLayout.h"
#include "windows/parts/SkinOnShow.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>

TFAbout::TFAbout(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("FAbout"));
    setModal(true);
    setFixedSize(GlownyLayout::kAboutWindow);

    m_imAbout = new QLabel(this);
    m_imAbout->setObjectName(QStringLiteral("ImAbout"));
    m_imAbout->setGeometry(rect());
    SetSkin(m_imAbout, QStringLiteral("oprogramie"));

    m_lClose = new QLabel(this);
    m_lClose->setObjectName(QStringLiteral("LClose"));
    m_lClose->setGeometry(width() - 27, 7, 17, 17);
    m_lClose->setToolTip(QStringLiteral("Zamknij"));
    m_lClose->setCursor(Qt::PointingHandCursor);
    m_lClose->installEventFilter(this);
}

bool TFAbout::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_lClose && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        accept();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

#include "windows/parts/SkinOnShow.h"

#include "windows/parts/SkinPicture.h"

#include <QEvent>
#include <QLabel>
#include <QVariant>

namespace {

const char* const kWaitingPicture = "tabulonWaitingSkin";

void paint(QLabel* label, const QString& name)
{
    label->setPixmap(SkinPicture(name, label->devicePixelRatioF()));
}

// One watcher for every waiting label: the name waits in a property of the label, and
// the label's first show event paints it and lets the label go.
class WaitingSkins : public QObject
{
public:
    void wait(QLabel* label, const QString& name)
    {
        label->setProperty(kWaitingPicture, name);
        // Installed twice, a filter still runs once.
        label->installEventFilter(this);
    }

    void release(QLabel* label)
    {
        label->removeEventFilter(this);
        label->setProperty(kWaitingPicture, QVariant());
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show) {
            if (auto* label = qobject_cast<QLabel*>(watched)) {
                const QString name = label->property(kWaitingPicture).toString();
                release(label);
                if (!name.isEmpty())
                    paint(label, name);
            }
        }
        return false;
    }
};

WaitingSkins& waitingSkins()
{
    static WaitingSkins watcher;
    return watcher;
}

} // namespace

void SetSkin(QLabel* label, const QString& name)
{
    // The picture's name tells which painted texts lie on it (windows/parts/PaintedText.h).
    label->setProperty("tabulonSkin", name);
    if (label->isVisible()) {
        waitingSkins().release(label);
        paint(label, name);
    } else {
        waitingSkins().wait(label, name);
    }
}

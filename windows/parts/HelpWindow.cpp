#include "windows/parts/HelpWindow.h"

#include "core/HelpSections.h"

#include "windows/parts/AccessibleNames.h"

#include <QFileInfo>
#include <QKeyEvent>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace {

// The help page is a few pages of text with pictures; anything far larger is not ours.
constexpr qint64 kMaxPageBytes = 4 * 1024 * 1024;

} // namespace

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("FPomoc"));
    setWindowTitle(QStringLiteral("Tabulon – pomoc"));
    resize(760, 600);

    m_page = new QTextBrowser(this);
    m_page->setObjectName(QStringLiteral("StronaPomocy"));
    m_page->setOpenExternalLinks(false);
    m_page->setOpenLinks(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_page);
    AccessibleNames::Apply(this);
}

bool HelpWindow::Open(const QString& pathAt)
{
    QString path;
    QString anchor;
    HelpSections::Split(pathAt, &path, &anchor);
    const QFileInfo page(path);
    if (!page.isFile() || page.isSymLink() || page.size() > kMaxPageBytes)
        return false;
    m_page->setSearchPaths({page.absolutePath()});
    m_page->setSource(QUrl::fromLocalFile(page.absoluteFilePath()), QTextDocument::HtmlResource);
    if (!anchor.isEmpty())
        m_page->scrollToAnchor(anchor);
    return !m_page->toPlainText().isEmpty();
}

void HelpWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

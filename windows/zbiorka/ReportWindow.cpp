#include "windows/zbiorka/ReportWindow.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

ReportWindow::ReportWindow(const QString& html, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ReportWindow"));
    setWindowTitle(QStringLiteral("Dokument"));
    setAccessibleName(QStringLiteral("Dokument"));
    auto* layout = new QVBoxLayout(this);
    auto* text = new QTextBrowser(this);
    text->setObjectName(QStringLiteral("ReportText"));
    text->setOpenLinks(false);
    text->setHtml(html);
    text->setAccessibleName(QStringLiteral("Treść i pochodzenie dokumentu"));
    layout->addWidget(text);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* close = buttons->addButton(QStringLiteral("Zamknij"), QDialogButtonBox::RejectRole);
    close->setAccessibleName(QStringLiteral("Zamknij"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(640, 560);
}

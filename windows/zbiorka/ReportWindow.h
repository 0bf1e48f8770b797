#pragma once

#include <QDialog>

// A document found by the collection: what it is, where it came from and its
// contents, in a window of its own; Esc or "Zamknij" closes it.
class ReportWindow : public QDialog
{
    Q_OBJECT

public:
    ReportWindow(const QString& html, QWidget* parent = nullptr);
};

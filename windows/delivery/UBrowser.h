#pragma once

#include "program/ReportEditor.h"

#include <QString>
#include <QWidget>

#include <functional>
#include <memory>

class QLabel;
class QMouseEvent;
class QPrinter;
class QTextBrowser;

// The preview window: shows the report's page as it will be delivered, copies the
// whole page to the clipboard and prints it. It lies over the main window, which shows
// and closes it as wizard step 4; the editors load their page into it.
class TFBrowser final : public QWidget, public WizardStepWindow
{
    Q_OBJECT

public:
    explicit TFBrowser(QWidget* parent = nullptr);

    static constexpr int kWidth = 808;
    static constexpr int kHeight = 490;
    // Where the window lies over the main window.
    static constexpr int kLeftOffset = 46;
    static constexpr int kTopOffset = 86;

    // Shows the page saved at `path`. A file that cannot be read shows a page that
    // says so; the page of the previous report is never left on view.
    void LoadPreview(const QString& path);
    QString LoadedPath() const { return m_loadedPath; }

    // Puts the whole page on the clipboard, as HTML and as plain text, and leaves
    // nothing selected.
    void CopyPreview();

    // Prints the loaded page on `printer` with the footer on every page. The print
    // label, the print preview and the tests all go through here.
    bool PrintTo(QPrinter& printer, QString* error = nullptr) const;

    // Where the print label prints: the system's default printer, or nothing when the
    // system has none. Tests print to a PDF file through the same path.
    using DefaultPrinter = std::function<std::unique_ptr<QPrinter>()>;
    void SetDefaultPrinter(DefaultPrinter defaultPrinter) { m_defaultPrinter = std::move(defaultPrinter); }

    void ShowStepWindow() override;
    void CloseStepWindow() override;

Q_SIGNALS:
    // A click anywhere in the window dismisses the main window's hint panel.
    void HideHint();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    bool FormKeyDown(const QKeyEvent* event);
    void LCopiujClick();
    void LDrukujMouseDown(const QMouseEvent* event);
    void ImTloClick() { Q_EMIT HideHint(); }
    void WebBrowserClick() { Q_EMIT HideHint(); }

    // Prints at once to the default printer, without a dialog.
    void PrintNow();
    // Opens the print preview maximised.
    void ShowPrintPreview();

    QWidget* m_pPodTlo;
    QLabel* m_imTlo;
    QLabel* m_lCopiuj;
    QLabel* m_lDrukuj;
    QWidget* m_pPodWebbrowser;
    QTextBrowser* m_webBrowser;
    QString m_loadedPath;
    DefaultPrinter m_defaultPrinter;
};

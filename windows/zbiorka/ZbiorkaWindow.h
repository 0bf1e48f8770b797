#pragma once

#include "collect/CollectionRun.h"
#include "collect/CollectionSources.h"

#include <QWidget>

#include <functional>
#include <memory>

class CollectWorker;
class HandInFilter;
class HandInModel;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QTableView;
class QTableWidget;
class QTextBrowser;
class QGroupBox;

// "Zbiórka sprawozdań": the school's collecting window. The sources on the left
// (folders and mailbox files, the school's mailbox over IMAP, the school's data),
// remembered per user; "Zbierz" reads them on a worker thread with a progress bar
// and "Anuluj"; the results on the right: who handed in what (teachers × topics,
// classes × class topics), the damaged documents, what changed since the last
// collection, and the summary, which can be saved, exported and printed.
class ZbiorkaWindow : public QWidget
{
    Q_OBJECT

public:
    explicit ZbiorkaWindow(QWidget* parent = nullptr);
    ~ZbiorkaWindow() override;

    // The choices as the form holds them (no password).
    CollectionSources sources() const;
    void setSources(const CollectionSources& sources);

    // Starts a collection as "Zbierz" does; false when one runs or the form is
    // incomplete (a notice was shown).
    bool collect();
    bool busy() const;
    const CollectionOutcome* outcome() const { return m_outcome.get(); }

    // The password question; tests answer the real dialog, and the keyring is not
    // asked when `useKeyring` is false.
    void setUseKeyring(bool use) { m_useKeyring = use; }
    CollectWorker* worker() const { return m_worker; }

    bool saveSummary(const QString& path, QString* error) const;
    bool exportCsv(const QString& path, QString* error) const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* buildSources();
    QWidget* buildResults();
    void addFolder();
    void addFile();
    void removePath();
    void chooseData();
    void refresh();
    void cancel();
    void collected(std::shared_ptr<CollectionOutcome> outcome);
    void showCell(const QModelIndex& index, HandInModel* model, HandInFilter* filter);
    void saveSummaryAs();
    void exportCsvAs();
    void print();
    void updateButtons();
    void notice(const QString& text, bool warning = true);
    QString askPassword(const QString& mailbox, bool* ok);
    void rememberChoices();

    CollectWorker* m_worker = nullptr;
    std::shared_ptr<CollectionOutcome> m_outcome;
    std::shared_ptr<CollectionOutcome> m_previous;
    bool m_refreshing = false;
    bool m_useKeyring = true;
    QString m_password; // for this session only

    QListWidget* m_paths = nullptr;
    QPushButton* m_addFolder = nullptr;
    QPushButton* m_addFile = nullptr;
    QPushButton* m_remove = nullptr;
    QGroupBox* m_imap = nullptr;
    QLineEdit* m_host = nullptr;
    QSpinBox* m_port = nullptr;
    QComboBox* m_tls = nullptr;
    QLineEdit* m_user = nullptr;
    QLineEdit* m_folder = nullptr;
    QCheckBox* m_remember = nullptr;
    QLineEdit* m_data = nullptr;
    QPushButton* m_chooseData = nullptr;
    QPushButton* m_collect = nullptr;
    QPushButton* m_refresh = nullptr;
    QPushButton* m_cancel = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_status = nullptr;

    QCheckBox* m_onlyMissing = nullptr;
    QTabWidget* m_tabs = nullptr;
    HandInModel* m_teacherModel = nullptr;
    HandInFilter* m_teacherFilter = nullptr;
    QTableView* m_teachers = nullptr;
    HandInModel* m_classModel = nullptr;
    HandInFilter* m_classFilter = nullptr;
    QTableView* m_classes = nullptr;
    QTableWidget* m_damaged = nullptr;
    QListWidget* m_changes = nullptr;
    QTextBrowser* m_summary = nullptr;
    QPushButton* m_save = nullptr;
    QPushButton* m_csv = nullptr;
    QPushButton* m_print = nullptr;
};

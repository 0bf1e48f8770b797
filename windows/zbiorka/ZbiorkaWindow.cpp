#include "windows/zbiorka/ZbiorkaWindow.h"

#include "collect/CollectionChanges.h"
#include "collect/MailboxCache.h"
#include "collect/ReportDetails.h"
#include "collect/ReportsCsv.h"
#include "collect/SummaryHtml.h"
#include "collect/SummaryPdf.h"
#include "files/SafeFile.h"
#include "windows/zbiorka/CollectWorker.h"
#include "windows/zbiorka/HandInModel.h"
#include "windows/zbiorka/PasswordStore.h"
#include "windows/zbiorka/ReportWindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>

namespace {

// The teacher's program's look: blue bands and buttons, light panels, a yellow mark
// on the control that has the keyboard.
const char* const kStyle = R"(
ZbiorkaWindow { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #2B4F7A, stop:1 #1D3D63); }
QLabel#Title { color: white; font-size: 16px; font-weight: bold; }
QLabel#Status { color: white; }
QGroupBox { background: #F5F7FA; border: 1px solid #6F89AB; border-radius: 6px; margin-top: 0px;
            padding: 34px 8px 8px 8px; color: #444444; }
QGroupBox::title { subcontrol-origin: border; subcontrol-position: top left; left: 0px; top: 0px;
                   padding: 6px 12px; color: white; font-weight: bold;
                   border-top-left-radius: 6px; border-bottom-right-radius: 6px;
                   background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #4A78AD, stop:1 #335C8C); }
QGroupBox::indicator { width: 14px; height: 14px; }
QTabWidget::pane { background: #F5F7FA; border: 1px solid #6F89AB; border-radius: 6px; top: -1px; }
QTabBar::tab { color: #2F4A6B; background: #E8EDF3; border: 1px solid #9AAEC7; border-bottom: none;
               border-top-left-radius: 5px; border-top-right-radius: 5px; padding: 6px 12px; margin-right: 2px; }
QTabBar::tab:selected { color: white; font-weight: bold;
                        background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #4A78AD, stop:1 #335C8C); }
QTabBar::tab:focus { border: 2px solid #F2C12E; }
QPushButton { color: white; font-weight: bold; border: 1px solid #25507F; border-radius: 5px; padding: 6px 14px;
              background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #5D8FCB, stop:1 #3C6EA8); }
QPushButton:hover { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #6A9BD6, stop:1 #4A78AD); }
QPushButton:disabled { color: #E2E8F0; background: #9AAEC7; border-color: #9AAEC7; }
QPushButton:focus { border: 2px solid #F2C12E; }
QPushButton#Primary { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #F7D154, stop:1 #E3A02B);
                      color: #3A2A0A; border-color: #8A6300; }
QPushButton#Primary:disabled { background: #E8DDB8; color: #8A7A5A; border-color: #C8B888; }
QLineEdit, QSpinBox, QComboBox, QListWidget, QTableView, QTableWidget, QTextBrowser {
    background: white; color: #222222; border: 1px solid #9AAEC7; border-radius: 3px; padding: 2px; }
QLineEdit:focus, QSpinBox:focus, QComboBox:focus, QListWidget:focus, QTableView:focus, QTableWidget:focus,
QTextBrowser:focus { border: 2px solid #F2C12E; }
QCheckBox { color: #333333; }
QCheckBox#OnlyMissing { color: white; }
QCheckBox:focus { color: #000000; background: #F7E7A8; border-radius: 3px; }
QCheckBox#OnlyMissing:focus { color: #3A2A0A; }
QHeaderView::section { background: #E8EDF3; color: #2F4A6B; border: 1px solid #C9D4E1; padding: 3px; font-weight: bold; }
QProgressBar { border: 1px solid #6F89AB; border-radius: 4px; background: #E8EDF3; text-align: center; color: #222222; }
QProgressBar::chunk { background: #F2C12E; border-radius: 3px; }
)";

QPushButton* button(const QString& text, const QString& description, QWidget* parent)
{
    auto* b = new QPushButton(text, parent);
    b->setAccessibleName(QString(text).remove(u'&').remove(QStringLiteral("…")));
    b->setAccessibleDescription(description);
    b->setAutoDefault(false);
    return b;
}

void setNames(QWidget* w, const QString& name, const QString& description = {})
{
    w->setAccessibleName(name);
    if (!description.isEmpty())
        w->setAccessibleDescription(description);
}

QTableView* handInView(QAbstractItemModel* model, const QString& name, QWidget* parent)
{
    auto* view = new QTableView(parent);
    view->setModel(model);
    view->setSortingEnabled(true);
    view->sortByColumn(-1, Qt::AscendingOrder);
    view->setSelectionBehavior(QAbstractItemView::SelectItems);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setTabKeyNavigation(false); // Tab leaves the table; the arrows move inside
    view->verticalHeader()->setVisible(false);
    view->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    view->horizontalHeader()->setMinimumSectionSize(70);
    view->setWordWrap(false);
    setNames(view, name,
             QStringLiteral("Każda komórka mówi słowami: oddane, zastąpione, uszkodzone, brak albo kreska. Enter albo "
                            "dwukrotne kliknięcie pokazuje dokument."));
    return view;
}

} // namespace

ZbiorkaWindow::ZbiorkaWindow(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("ZbiorkaWindow"));
    setWindowTitle(QStringLiteral("Zbiórka sprawozdań"));
    setAccessibleName(QStringLiteral("Zbiórka sprawozdań"));
    setStyleSheet(QString::fromUtf8(kStyle));
    setAttribute(Qt::WA_StyledBackground, true);
    m_worker = new CollectWorker(this);
    connect(m_worker, &CollectWorker::progressed, this, [this](const QString& stage, int done, int total) {
        m_status->setText(stage);
        m_progress->setRange(0, total > 0 ? total : 0);
        if (total > 0)
            m_progress->setValue(done);
    });
    connect(m_worker, &CollectWorker::finished, this, &ZbiorkaWindow::collected);

    auto* title = new QLabel(QStringLiteral("Zbiórka sprawozdań"), this);
    title->setObjectName(QStringLiteral("Title"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->setSpacing(10);
    layout->addWidget(title);
    auto* columns = new QHBoxLayout;
    columns->setSpacing(14);
    columns->addWidget(buildSources(), 0);
    columns->addWidget(buildResults(), 1);
    layout->addLayout(columns, 1);

    setSources(CollectionSources::Load());
    updateButtons();
    resize(1280, 780);
}

ZbiorkaWindow::~ZbiorkaWindow() = default;

QWidget* ZbiorkaWindow::buildSources()
{
    auto* column = new QWidget(this);
    column->setFixedWidth(360);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);

    auto* files = new QGroupBox(QStringLiteral("Foldery i pliki poczty"), column);
    auto* filesLayout = new QVBoxLayout(files);
    m_paths = new QListWidget(files);
    m_paths->setMinimumHeight(90);
    setNames(m_paths, QStringLiteral("Foldery i pliki poczty"),
             QStringLiteral("Folder sieciowy, pliki skrzynek mbox, listy eml i foldery Maildir"));
    filesLayout->addWidget(m_paths);
    auto* fileButtons = new QHBoxLayout;
    m_addFolder = button(QStringLiteral("Dodaj &folder…"), QStringLiteral("Dodaje folder ze sprawozdaniami"), files);
    m_addFile = button(QStringLiteral("Dodaj &plik…"), QStringLiteral("Dodaje plik skrzynki pocztowej lub list"), files);
    m_remove = button(QStringLiteral("&Usuń"), QStringLiteral("Usuwa zaznaczone źródło z listy"), files);
    fileButtons->addWidget(m_addFolder);
    fileButtons->addWidget(m_addFile);
    fileButtons->addWidget(m_remove);
    filesLayout->addLayout(fileButtons);
    connect(m_addFolder, &QPushButton::clicked, this, &ZbiorkaWindow::addFolder);
    connect(m_addFile, &QPushButton::clicked, this, &ZbiorkaWindow::addFile);
    connect(m_remove, &QPushButton::clicked, this, &ZbiorkaWindow::removePath);
    connect(m_paths, &QListWidget::currentRowChanged, this, &ZbiorkaWindow::updateButtons);
    layout->addWidget(files);

    m_imap = new QGroupBox(QStringLiteral("Skrzynka szkoły (IMAP)"), column);
    m_imap->setCheckable(true);
    setNames(m_imap, QStringLiteral("Skrzynka szkoły (IMAP)"),
             QStringLiteral("Czytanie sprawozdań prosto ze skrzynki szkoły na serwerze poczty"));
    auto* form = new QFormLayout(m_imap);
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_host = new QLineEdit(m_imap);
    m_host->setPlaceholderText(QStringLiteral("poczta.szkola.pl"));
    setNames(m_host, QStringLiteral("Serwer poczty"));
    m_port = new QSpinBox(m_imap);
    m_port->setRange(1, 65535);
    m_port->setButtonSymbols(QAbstractSpinBox::NoButtons);
    setNames(m_port, QStringLiteral("Port"));
    m_tls = new QComboBox(m_imap);
    m_tls->addItem(QStringLiteral("TLS od początku (zwykle port 993)"));
    m_tls->addItem(QStringLiteral("STARTTLS (zwykle port 143)"));
    setNames(m_tls, QStringLiteral("Szyfrowanie"), QStringLiteral("Połączenie jest zawsze szyfrowane"));
    connect(m_tls, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (m_port->value() == ImapAccount::kImplicitTlsPort || m_port->value() == ImapAccount::kStartTlsPort)
            m_port->setValue(index == 0 ? ImapAccount::kImplicitTlsPort : ImapAccount::kStartTlsPort);
    });
    m_user = new QLineEdit(m_imap);
    setNames(m_user, QStringLiteral("Konto"));
    m_folder = new QLineEdit(m_imap);
    setNames(m_folder, QStringLiteral("Folder"), QStringLiteral("Zwykle INBOX"));
    m_remember = new QCheckBox(QStringLiteral("Pamiętaj hasło w portfelu haseł"), m_imap);
    setNames(m_remember, QStringLiteral("Pamiętaj hasło w portfelu haseł"),
             QStringLiteral("Hasło trafia tylko do portfela haseł pulpitu, nigdy do pliku"));
    form->addRow(QStringLiteral("&Serwer:"), m_host);
    form->addRow(QStringLiteral("P&ort:"), m_port);
    form->addRow(QStringLiteral("S&zyfrowanie:"), m_tls);
    form->addRow(QStringLiteral("&Konto:"), m_user);
    form->addRow(QStringLiteral("F&older:"), m_folder);
    form->addRow(m_remember);
    layout->addWidget(m_imap);

    auto* dataBox = new QGroupBox(QStringLiteral("Dane szkoły"), column);
    auto* dataLayout = new QHBoxLayout(dataBox);
    m_data = new QLineEdit(dataBox);
    m_data->setPlaceholderText(QStringLiteral("bez danych szkoły"));
    setNames(m_data, QStringLiteral("Folder danych szkoły"),
             QStringLiteral("Z danymi szkoły zestawienie pokazuje braki"));
    m_chooseData = button(QStringLiteral("&Wybierz…"), QStringLiteral("Wybiera folder danych szkoły"), dataBox);
    connect(m_chooseData, &QPushButton::clicked, this, &ZbiorkaWindow::chooseData);
    dataLayout->addWidget(m_data, 1);
    dataLayout->addWidget(m_chooseData);
    layout->addWidget(dataBox);

    layout->addStretch(1);
    auto* run = new QHBoxLayout;
    m_collect = button(QStringLiteral("&Zbierz"), QStringLiteral("Czyta wszystkie źródła"), column);
    m_collect->setObjectName(QStringLiteral("Primary"));
    m_refresh = button(QStringLiteral("O&dśwież"), QStringLiteral("Zbiera ponownie i pokazuje, co się zmieniło"), column);
    m_cancel = button(QStringLiteral("&Anuluj"), QStringLiteral("Przerywa zbieranie (Esc)"), column);
    run->addWidget(m_collect, 1);
    run->addWidget(m_refresh, 1);
    run->addWidget(m_cancel, 1);
    connect(m_collect, &QPushButton::clicked, this, [this] {
        m_refreshing = false;
        collect();
    });
    connect(m_refresh, &QPushButton::clicked, this, &ZbiorkaWindow::refresh);
    connect(m_cancel, &QPushButton::clicked, this, &ZbiorkaWindow::cancel);
    layout->addLayout(run);
    m_progress = new QProgressBar(column);
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);
    m_progress->setFixedHeight(12);
    setNames(m_progress, QStringLiteral("Postęp zbierania"));
    layout->addWidget(m_progress);
    m_status = new QLabel(QStringLiteral("Wybierz źródła i naciśnij „Zbierz”."), column);
    m_status->setObjectName(QStringLiteral("Status"));
    m_status->setWordWrap(true);
    m_status->setMinimumHeight(36);
    setNames(m_status, QStringLiteral("Stan zbierania"));
    layout->addWidget(m_status);
    return column;
}

QWidget* ZbiorkaWindow::buildResults()
{
    auto* column = new QWidget(this);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    m_onlyMissing = new QCheckBox(QStringLiteral("&tylko braki"), column);
    m_onlyMissing->setObjectName(QStringLiteral("OnlyMissing"));
    setNames(m_onlyMissing, QStringLiteral("tylko braki"),
             QStringLiteral("Pokazuje tylko wiersze z brakującym lub uszkodzonym sprawozdaniem"));
    layout->addWidget(m_onlyMissing, 0, Qt::AlignRight);

    m_tabs = new QTabWidget(column);
    setNames(m_tabs, QStringLiteral("Wyniki zbierania"));
    m_teacherModel = new HandInModel(QStringLiteral("Nauczyciel"), this);
    m_teacherFilter = new HandInFilter(this);
    m_teacherFilter->setSourceModel(m_teacherModel);
    m_teachers = handInView(m_teacherFilter, QStringLiteral("Nauczyciele i tematy"), m_tabs);
    m_classModel = new HandInModel(QStringLiteral("Klasa"), this);
    m_classFilter = new HandInFilter(this);
    m_classFilter->setSourceModel(m_classModel);
    m_classes = handInView(m_classFilter, QStringLiteral("Klasy i tematy klasowe"), m_tabs);
    // A double click and Enter both activate a cell.
    const auto activateCells = [this](QTableView* view, HandInModel* model, HandInFilter* filter) {
        connect(view, &QTableView::activated, this,
                [this, model, filter](const QModelIndex& index) { showCell(index, model, filter); });
    };
    activateCells(m_teachers, m_teacherModel, m_teacherFilter);
    activateCells(m_classes, m_classModel, m_classFilter);
    connect(m_onlyMissing, &QCheckBox::toggled, this, [this](bool on) {
        m_teacherFilter->setOnlyMissing(on);
        m_classFilter->setOnlyMissing(on);
    });
    m_tabs->addTab(m_teachers, QStringLiteral("Nauczyciele"));
    m_tabs->addTab(m_classes, QStringLiteral("Klasy"));

    m_damaged = new QTableWidget(0, 2, m_tabs);
    m_damaged->setHorizontalHeaderLabels({QStringLiteral("Dokument"), QStringLiteral("Powód")});
    m_damaged->horizontalHeader()->setStretchLastSection(true);
    m_damaged->verticalHeader()->setVisible(false);
    m_damaged->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_damaged->setTabKeyNavigation(false);
    setNames(m_damaged, QStringLiteral("Uszkodzone dokumenty"), QStringLiteral("Dokument i powód"));
    m_tabs->addTab(m_damaged, QStringLiteral("Uszkodzone"));

    m_changes = new QListWidget(m_tabs);
    setNames(m_changes, QStringLiteral("Zmiany od poprzedniego zbierania"));
    m_tabs->addTab(m_changes, QStringLiteral("Zmiany"));

    m_summary = new QTextBrowser(m_tabs);
    m_summary->setOpenLinks(false);
    setNames(m_summary, QStringLiteral("Zestawienie"));
    m_tabs->addTab(m_summary, QStringLiteral("Zestawienie"));
    layout->addWidget(m_tabs, 1);

    auto* outputs = new QHBoxLayout;
    outputs->addStretch(1);
    m_save = button(QStringLiteral("Zapisz &zestawienie…"), QStringLiteral("Zapisuje zestawienie jako HTML albo PDF"), column);
    m_csv = button(QStringLiteral("&Eksportuj CSV…"), QStringLiteral("Zapisuje listę dokumentów dla arkusza"), column);
    m_print = button(QStringLiteral("Dru&kuj…"), QStringLiteral("Drukuje zestawienie"), column);
    outputs->addWidget(m_save);
    outputs->addWidget(m_csv);
    outputs->addWidget(m_print);
    connect(m_save, &QPushButton::clicked, this, &ZbiorkaWindow::saveSummaryAs);
    connect(m_csv, &QPushButton::clicked, this, &ZbiorkaWindow::exportCsvAs);
    connect(m_print, &QPushButton::clicked, this, &ZbiorkaWindow::print);
    layout->addLayout(outputs);
    return column;
}

CollectionSources ZbiorkaWindow::sources() const
{
    CollectionSources s;
    for (int i = 0; i < m_paths->count(); ++i)
        s.Paths.append(m_paths->item(i)->text());
    s.UseImap = m_imap->isChecked();
    s.Imap.Host = m_host->text().trimmed();
    s.Imap.Port = m_port->value();
    s.Imap.ImplicitTls = m_tls->currentIndex() == 0;
    s.Imap.User = m_user->text().trimmed();
    s.Imap.Folder = m_folder->text().trimmed().isEmpty() ? QStringLiteral("INBOX") : m_folder->text().trimmed();
    s.RememberPassword = m_remember->isChecked();
    s.DataFolder = m_data->text().trimmed();
    return s;
}

void ZbiorkaWindow::setSources(const CollectionSources& s)
{
    m_paths->clear();
    m_paths->addItems(s.Paths);
    m_imap->setChecked(s.UseImap);
    m_host->setText(s.Imap.Host);
    m_tls->setCurrentIndex(s.Imap.ImplicitTls ? 0 : 1);
    m_port->setValue(s.Imap.Port);
    m_user->setText(s.Imap.User);
    m_folder->setText(s.Imap.Folder);
    m_remember->setChecked(s.RememberPassword);
    m_data->setText(s.DataFolder);
    updateButtons();
}

void ZbiorkaWindow::rememberChoices()
{
    QString error;
    if (!sources().save(&error))
        m_status->setText(QStringLiteral("Nie zapamiętano wyborów: %1").arg(error));
}

bool ZbiorkaWindow::busy() const
{
    return m_worker->running();
}

void ZbiorkaWindow::notice(const QString& text, bool warning)
{
    QMessageBox box(warning ? QMessageBox::Warning : QMessageBox::Information, QStringLiteral("Zbiórka sprawozdań"),
                    text, QMessageBox::NoButton, this);
    box.addButton(QStringLiteral("Zamknij"), QMessageBox::AcceptRole);
    box.exec();
}

QString ZbiorkaWindow::askPassword(const QString& mailbox, bool* ok)
{
    QInputDialog dialog(this);
    dialog.setObjectName(QStringLiteral("PasswordDialog"));
    dialog.setWindowTitle(QStringLiteral("Hasło do skrzynki"));
    dialog.setLabelText(QStringLiteral("Hasło do skrzynki %1:").arg(mailbox));
    dialog.setTextEchoMode(QLineEdit::Password);
    dialog.setOkButtonText(QStringLiteral("Zbierz"));
    dialog.setCancelButtonText(QStringLiteral("Anuluj"));
    *ok = dialog.exec() == QDialog::Accepted;
    return dialog.textValue();
}

bool ZbiorkaWindow::collect()
{
    if (busy())
        return false;
    const CollectionSources s = sources();
    if (s.Paths.isEmpty() && !s.UseImap) {
        notice(QStringLiteral("Dodaj folder lub plik poczty albo włącz skrzynkę szkoły."));
        return false;
    }
    QString password;
    if (s.UseImap) {
        QString error;
        if (!s.Imap.isValid(&error)) {
            notice(QStringLiteral("Skrzynka szkoły: %1.").arg(error));
            return false;
        }
        const QString key = s.Imap.displayName();
        password = m_password;
        if (password.isEmpty() && s.RememberPassword && m_useKeyring)
            PasswordStore::Read(key, &password);
        if (password.isEmpty()) {
            bool ok = false;
            password = askPassword(s.Imap.displayName(), &ok);
            if (!ok)
                return false;
        }
        m_password = password;
    }
    rememberChoices();
    m_previous = m_outcome;
    m_worker->start(s, password);
    m_progress->setRange(0, 0);
    m_status->setText(QStringLiteral("Zbieranie…"));
    updateButtons();
    return true;
}

void ZbiorkaWindow::refresh()
{
    m_refreshing = true;
    if (!collect())
        m_refreshing = false;
}

void ZbiorkaWindow::cancel()
{
    if (busy()) {
        m_worker->cancel();
        m_status->setText(QStringLiteral("Przerywanie…"));
    }
}

void ZbiorkaWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && busy()) {
        cancel();
        return;
    }
    QWidget::keyPressEvent(event);
}

void ZbiorkaWindow::closeEvent(QCloseEvent* event)
{
    if (busy())
        m_worker->cancel();
    rememberChoices();
    QWidget::closeEvent(event);
}

void ZbiorkaWindow::collected(std::shared_ptr<CollectionOutcome> outcome)
{
    m_progress->setRange(0, 1);
    m_progress->setValue(1);
    const CollectionSources s = sources();
    if (outcome->ImapUsed) {
        const QString key = s.Imap.displayName();
        if (outcome->Imap.failure == ImapFailure::LoginDenied) {
            m_password.clear();
            if (m_useKeyring)
                PasswordStore::Remove(key);
        } else if (outcome->Imap.failure == ImapFailure::None && s.RememberPassword && m_useKeyring) {
            QString error;
            if (!PasswordStore::Write(key, m_password, &error))
                outcome->Notes.append(QStringLiteral("Hasła nie zapamiętano (portfel haseł: %1); będzie pytane przy "
                                                     "każdym zbieraniu.")
                                          .arg(error));
        }
    }
    if (outcome->Cancelled) {
        m_status->setText(QStringLiteral("Zbieranie przerwano; wyniki poprzedniego zbierania zostają."));
        m_refreshing = false;
        updateButtons();
        return;
    }
    m_outcome = outcome;
    const ReportCollection& reports = *outcome->Reports;
    m_teacherModel->setGrid(TeachersByTopic(reports, outcome->School.get(), outcome->School ? &outcome->Missing : nullptr));
    m_classModel->setGrid(ClassesByTopic(reports, outcome->School.get()));
    for (QTableView* view : {m_teachers, m_classes}) {
        view->resizeColumnsToContents();
        view->resizeRowsToContents();
    }

    m_damaged->setRowCount(0);
    for (const CollectedReport& r : reports.reports()) {
        if (r.State != ReportState::Damaged && r.State != ReportState::Suspicious)
            continue;
        const int row = m_damaged->rowCount();
        m_damaged->insertRow(row);
        m_damaged->setItem(row, 0, new QTableWidgetItem(outcome->originOf(r.Source)));
        m_damaged->setItem(row, 1, new QTableWidgetItem(r.Reason));
    }
    for (const QString& problem : outcome->Problems + outcome->Notes) {
        const int row = m_damaged->rowCount();
        m_damaged->insertRow(row);
        m_damaged->setItem(row, 0, new QTableWidgetItem(QStringLiteral("(źródło)")));
        m_damaged->setItem(row, 1, new QTableWidgetItem(problem));
    }
    m_damaged->resizeColumnToContents(0);
    m_tabs->setTabText(2, QStringLiteral("Uszkodzone (%1)")
                              .arg(reports.count(ReportState::Damaged) + reports.count(ReportState::Suspicious)));

    m_changes->clear();
    if (m_previous && m_refreshing) {
        const QList<CollectionChange> changes = ChangesBetween(*m_previous->Reports, reports);
        for (const CollectionChange& c : changes)
            m_changes->addItem(c.Text);
        if (changes.isEmpty())
            m_changes->addItem(QStringLiteral("Nic się nie zmieniło od poprzedniego zbierania."));
        m_tabs->setTabText(3, QStringLiteral("Zmiany (%1)").arg(changes.size()));
    } else {
        m_changes->addItem(QStringLiteral("„Odśwież” zbiera ponownie i pokazuje tu nowe i zastąpione sprawozdania."));
        m_tabs->setTabText(3, QStringLiteral("Zmiany"));
    }
    m_summary->setHtml(SummaryHtml(outcome->summaryInput()));

    QString status = QStringLiteral("Przeczytano dokumentów: %1 (przyjętych: %2, zastąpionych: %3, uszkodzonych: %4).")
                         .arg(reports.reports().size())
                         .arg(reports.count(ReportState::Accepted))
                         .arg(reports.count(ReportState::Replaced))
                         .arg(reports.count(ReportState::Damaged));
    if (outcome->ImapUsed && outcome->Imap.failure == ImapFailure::None)
        status += QStringLiteral(" Skrzynka: nowych listów %1, pobranych ze sprawozdaniem %2.")
                      .arg(outcome->Imap.looked)
                      .arg(outcome->Imap.fetched);
    m_status->setText(status);
    if (m_refreshing)
        m_tabs->setCurrentWidget(m_changes);
    m_refreshing = false;
    updateButtons();
    if (!outcome->Problems.isEmpty())
        notice(outcome->Problems.join(QStringLiteral("\n")));
}

void ZbiorkaWindow::showCell(const QModelIndex& index, HandInModel* model, HandInFilter* filter)
{
    const HandInCell* cell = model->cellAt(filter->mapToSource(index));
    if (!cell || cell->Reports.isEmpty() || !m_outcome)
        return;
    QString html;
    for (const int i : cell->Reports) {
        const CollectedReport& r = m_outcome->Reports->reports()[i];
        html += ReportDetailsHtml(r, m_outcome->originOf(r.Source)) + QStringLiteral("<hr>");
    }
    ReportWindow window(html, this);
    window.exec();
}

bool ZbiorkaWindow::saveSummary(const QString& path, QString* error) const
{
    if (!m_outcome)
        return false;
    const QString html = SummaryHtml(m_outcome->summaryInput());
    if (path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        return WriteSummaryPdf(html, path, error);
    const FileResult written = SafeFile::Write(path, html.toUtf8());
    if (!written)
        *error = FileFailureText(written);
    return written.ok();
}

bool ZbiorkaWindow::exportCsv(const QString& path, QString* error) const
{
    if (!m_outcome)
        return false;
    const FileResult written = SafeFile::Write(path, ReportsCsv::reports(*m_outcome->Reports));
    if (!written)
        *error = FileFailureText(written);
    return written.ok();
}

void ZbiorkaWindow::saveSummaryAs()
{
    QString filter;
    QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Zapisz zestawienie"),
                                                QDir::home().filePath(QStringLiteral("zestawienie.pdf")),
                                                QStringLiteral("Dokument PDF (*.pdf);;Strona HTML (*.html)"), &filter,
                                                QFileDialog::DontUseNativeDialog);
    if (path.isEmpty())
        return;
    if (!path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive) &&
        !path.endsWith(QLatin1String(".html"), Qt::CaseInsensitive) &&
        !path.endsWith(QLatin1String(".htm"), Qt::CaseInsensitive))
        path += filter.contains(QLatin1String("html")) ? QStringLiteral(".html") : QStringLiteral(".pdf");
    QString error;
    if (saveSummary(path, &error))
        m_status->setText(QStringLiteral("Zestawienie zapisano w pliku: %1").arg(QDir::toNativeSeparators(path)));
    else
        notice(QStringLiteral("Nie udało się zapisać zestawienia: %1.").arg(error));
}

void ZbiorkaWindow::exportCsvAs()
{
    QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Eksportuj CSV"),
                                                QDir::home().filePath(QStringLiteral("sprawozdania.csv")),
                                                QStringLiteral("Arkusz CSV (*.csv)"), nullptr,
                                                QFileDialog::DontUseNativeDialog);
    if (path.isEmpty())
        return;
    if (!path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive))
        path += QStringLiteral(".csv");
    QString error;
    if (exportCsv(path, &error))
        m_status->setText(QStringLiteral("Listę zapisano w pliku: %1").arg(QDir::toNativeSeparators(path)));
    else
        notice(QStringLiteral("Nie udało się zapisać listy: %1.").arg(error));
}

void ZbiorkaWindow::print()
{
    if (!m_outcome)
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(QStringLiteral("Drukuj zestawienie"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    QTextDocument document;
    document.setHtml(SummaryHtml(m_outcome->summaryInput()));
    document.print(&printer);
}

void ZbiorkaWindow::addFolder()
{
    const QString folder = QFileDialog::getExistingDirectory(this, QStringLiteral("Folder ze sprawozdaniami"),
                                                             QDir::homePath(), QFileDialog::DontUseNativeDialog);
    if (!folder.isEmpty() && m_paths->findItems(folder, Qt::MatchExactly).isEmpty())
        m_paths->addItem(folder);
    updateButtons();
}

void ZbiorkaWindow::addFile()
{
    const QStringList files = QFileDialog::getOpenFileNames(
        this, QStringLiteral("Plik poczty"), QDir::homePath(),
        QStringLiteral("Poczta i sprawozdania (*.mbox *.mbx *.eml *.xml);;Wszystkie pliki (*)"), nullptr,
        QFileDialog::DontUseNativeDialog);
    for (const QString& f : files) {
        if (m_paths->findItems(f, Qt::MatchExactly).isEmpty())
            m_paths->addItem(f);
    }
    updateButtons();
}

void ZbiorkaWindow::removePath()
{
    delete m_paths->takeItem(m_paths->currentRow());
    updateButtons();
}

void ZbiorkaWindow::chooseData()
{
    const QString folder = QFileDialog::getExistingDirectory(this, QStringLiteral("Folder danych szkoły"),
                                                             m_data->text().isEmpty() ? QDir::homePath() : m_data->text(),
                                                             QFileDialog::DontUseNativeDialog);
    if (!folder.isEmpty())
        m_data->setText(folder);
}

void ZbiorkaWindow::updateButtons()
{
    const bool running = m_worker && m_worker->running();
    m_collect->setEnabled(!running);
    m_refresh->setEnabled(!running && m_outcome != nullptr);
    m_cancel->setEnabled(running);
    m_remove->setEnabled(!running && m_paths->currentRow() >= 0);
    for (QWidget* w : {static_cast<QWidget*>(m_addFolder), static_cast<QWidget*>(m_addFile),
                       static_cast<QWidget*>(m_imap), static_cast<QWidget*>(m_chooseData),
                       static_cast<QWidget*>(m_data)})
        w->setEnabled(!running);
    const bool results = !running && m_outcome != nullptr;
    m_save->setEnabled(results);
    m_csv->setEnabled(results);
    m_print->setEnabled(results);
}

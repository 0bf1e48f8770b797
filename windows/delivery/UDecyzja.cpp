#include "windows/delivery/UDecyzja.h"

#include "core/AppState.h"
#include "core/Hints.h"
#include "core/Messages.h"
#include "delivery/DocumentDelivery.h"
#include "delivery/MailHandOver.h"
#include "delivery/ReportTeacher.h"
#include "drafts/DraftStore.h"
#include "drafts/ReportArchive.h"
#include "resources/skins/DecyzjaLayout.h"
#include "windows/delivery/DocumentFileDialogs.h"
#include "windows/parts/KeyboardAccess.h"
#include "windows/parts/SkinOnShow.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QStandardPaths>

namespace {

const QString kDialogFilter = QStringLiteral("Plik sprawozdania (.xml) (*.xml)");
const QString kDefaultSuffix = QStringLiteral("xml");
const QString kNotArchived = QStringLiteral("Sprawozdanie dotarło, ale nie udało się zachować jego kopii w archiwum "
                                            "programu (%1).");

// The real dialogs. The save dialog replaces an existing file without asking: the
// teacher saves the same report again after a correction. Both open in the teacher's
// documents folder, not in whatever folder the program was started from.
class QtDocumentFileDialogs final : public DocumentFileDialogs
{
public:
    QString ChooseSaveFile(QWidget* parent, const QString& suggestedName) override
    {
        QFileDialog dialog(parent, QStringLiteral("Wskaż miejsce zapisu"), ReportsFolder());
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        dialog.setNameFilter(kDialogFilter);
        dialog.setDefaultSuffix(kDefaultSuffix);
        dialog.selectFile(suggestedName);
        return chosen(dialog);
    }

    QString ChooseOpenFile(QWidget* parent) override
    {
        // Earlier reports are kept in the program's archive.
        QString folder = ReportArchive(appState().DataFolder).OpenFolder(QDate::currentDate());
        if (folder.isEmpty())
            folder = ReportsFolder();
        QFileDialog dialog(parent, QStringLiteral("Wskaż plik sprawozdania"), folder);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setNameFilter(kDialogFilter);
        dialog.setDefaultSuffix(kDefaultSuffix);
        return chosen(dialog);
    }

private:
    static QString chosen(QFileDialog& dialog)
    {
        if (KeyboardAccess::ExecReturningFocus(dialog) != QDialog::Accepted)
            return {};
        return dialog.selectedFiles().value(0);
    }
};

QLabel* makeWay(QWidget* parent, const char* name, const QRect& place, const QString& caption, int pixelSize)
{
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(place);
    label->setTextFormat(Qt::PlainText);
    label->setCursor(Qt::PointingHandCursor);
    label->setFocusPolicy(Qt::NoFocus);
    label->setMouseTracking(true);
    // The skins' font: the one every painted caption uses.
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixelSize);
    font.setBold(true);
    label->setFont(font);
    return label;
}

// Where the first ink of `text` falls when drawn from x = 0 as a label draws it.
int inkStart(const QString& text, const QFont& font)
{
    QImage image(1024, 40, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(image.rect(), Qt::AlignLeft | Qt::AlignVCenter, text);
    p.end();
    for (int x = 0; x < image.width(); ++x) {
        for (int y = 0; y < image.height(); ++y) {
            if (qAlpha(image.pixel(x, y)) > 0)
                return x;
        }
    }
    return 0;
}

// A way's label covering its band, its words (after the caption's leading blanks)
// beginning where every way's words begin. The blanks are measured as they are drawn,
// and the label's left margin takes up the difference.
QLabel* makeBandWay(QWidget* parent, const char* name, int way, int blanks, const QString& words)
{
    const QString caption = QString(blanks, QLatin1Char(' ')) + words;
    const QRect band = DecyzjaLayout::band(way);
    QLabel* label = makeWay(parent, name, band, caption, 13);
    const int blankWidth = inkStart(caption, label->font()) - inkStart(words, label->font());
    label->setContentsMargins(qMax(0, DecyzjaLayout::kTextLeft - band.left() - blankWidth), 0, 8, 0);
    return label;
}

void setTextColour(QLabel* label, const QColor& colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    // A way that cannot be used here is shown dimmed.
    palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x9A, 0xA8, 0xB8));
    label->setPalette(palette);
}

bool isLeftClick(const QEvent* event, const QWidget* on)
{
    if (event->type() != QEvent::MouseButtonRelease)
        return false;
    const auto* mouse = static_cast<const QMouseEvent*>(event);
    return mouse->button() == Qt::LeftButton && on->rect().contains(mouse->position().toPoint());
}

} // namespace

const QString TFDecyzja::kNetworkWayUnavailable =
    QStringLiteral("Niedostępne w trybie domowym: przez sieć szkolną wysyłasz tylko na komputerze w szkole.");

TFDecyzja::TFDecyzja(QWidget* parent)
    : QWidget(parent, parent ? Qt::Widget : Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_ownDialogs(std::make_unique<QtDocumentFileDialogs>()), m_dialogs(m_ownDialogs.get())
{
    // FormCreate
    setObjectName(QStringLiteral("FDecyzja"));
    setWindowTitle(QStringLiteral("Dostarczenie sprawozdania"));
    setFixedSize(kWidth, kHeight);

    m_imTlo = new QLabel(this);
    m_imTlo->setObjectName(QStringLiteral("ImTlo"));
    m_imTlo->setGeometry(0, 0, kWidth, kHeight);
    m_imTlo->setMouseTracking(true);
    SetSkin(m_imTlo, QStringLiteral("tlodecyzja"));

    // The leading blanks push the captions right of the icons of the background.
    m_lZapisNaDysku =
        makeBandWay(this, "LZapisNaDysku", 0, 23, QStringLiteral("Chcę zapisać dokument na dysku"));
    m_lKopiowanieWSieci = makeBandWay(this, "LKopiowanieWSieci", 1, 25,
                                      QStringLiteral("Chcę przesłać dokument przez sieć szkolną"));
    m_lPocztaTajna =
        makeBandWay(this, "LPocztaTajna", 2, 26, QStringLiteral("Chcę wysłać dokument przez internet"));
    // Handing the report to the user's own mail program is kept out of sight below the
    // window: the school wants reports through its own account.
    m_lPocztaWlasna = makeWay(this, "LPocztaWlasna", QRect(232, 408, 60, 16), QStringLiteral("Outlook"), 11);
    m_lPocztaWlasna->setVisible(false);

    for (QLabel* watched : {m_imTlo, m_lZapisNaDysku, m_lKopiowanieWSieci, m_lPocztaTajna, m_lPocztaWlasna})
        watched->installEventFilter(this);
    HighlightWay(nullptr);
}

TFDecyzja::~TFDecyzja() = default;

QString ReportsFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

QString TFDecyzja::OpenPlik()
{
    return m_dialogs->ChooseOpenFile(window());
}

void TFDecyzja::SetFileDialogs(DocumentFileDialogs* dialogs)
{
    m_dialogs = dialogs ? dialogs : m_ownDialogs.get();
}

void TFDecyzja::ShowStepWindow()
{
    show();
    raise();
}

void TFDecyzja::CloseStepWindow()
{
    hide();
}

void TFDecyzja::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    FormShow();
}

void TFDecyzja::FormShow()
{
    SetHintGroup(HintGroupDelivery);
    // The network copy works only in the school's network: at home it is shown, dimmed,
    // and says why, instead of being refused after the choice.
    const bool network = appState().Settings.WorkMode == kWorkModeNetwork;
    m_lKopiowanieWSieci->setEnabled(network);
    m_lKopiowanieWSieci->setAccessibleDescription(network ? QString() : kNetworkWayUnavailable);
    m_lKopiowanieWSieci->setToolTip(network ? QString() : kNetworkWayUnavailable);
    // Over the main window, which is this window's parent; alone (in tests) the same
    // offset counts from the screen's corner.
    move(kLeftOffset, kTopOffset);
}

bool TFDecyzja::eventFilter(QObject* watched, QEvent* event)
{
    // A way that cannot be used here takes no click.
    if (auto* widget = qobject_cast<QWidget*>(watched); widget && !widget->isEnabled() &&
                                                        widget != m_imTlo && event->type() != QEvent::Paint)
        return event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease ||
               event->type() == QEvent::MouseMove;
    if (event->type() == QEvent::MouseMove || event->type() == QEvent::Enter) {
        if (watched == m_imTlo)
            HighlightWay(nullptr);
        else if (auto* way = qobject_cast<QLabel*>(watched))
            HighlightWay(way);
        return false;
    }
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || !isLeftClick(event, widget))
        return QWidget::eventFilter(watched, event);

    if (watched == m_imTlo)
        ImTloClick();
    else if (watched == m_lZapisNaDysku)
        LZapisNaDyskuClick();
    else if (watched == m_lKopiowanieWSieci)
        LKopiowanieWSieciClick();
    else if (watched == m_lPocztaTajna)
        LPocztaTajnaClick();
    else if (watched == m_lPocztaWlasna)
        LPocztaWlasnaClick();
    return true;
}

void TFDecyzja::HighlightWay(const QLabel* hovered)
{
    for (QLabel* way : {m_lZapisNaDysku, m_lKopiowanieWSieci, m_lPocztaTajna, m_lPocztaWlasna})
        setTextColour(way, way == hovered ? QColor(Qt::yellow) : QColor(Qt::white));
}

void TFDecyzja::LZapisNaDyskuClick()
{
    Q_EMIT HideHint();
    SaveToDisk(DeliverySource());
}

void TFDecyzja::SaveToDisk(const QString& source)
{
    const QString target = m_dialogs->ChooseSaveFile(window(), appState().DocumentFileName);
    if (target.isEmpty())
        return;
    Delivered(QStringLiteral("zapis na dysku"), target, SaveDocumentTo(source, target));
}

void TFDecyzja::LKopiowanieWSieciClick()
{
    Q_EMIT HideHint();
    const QString target = NetworkCopyTarget();
    const bool copied = CopyToNetwork(DeliverySource(), target);
    // In home mode nothing was tried.
    if (appState().Settings.WorkMode == kWorkModeNetwork)
        Delivered(QStringLiteral("sieć szkolna"), target, copied);
}

void TFDecyzja::LPocztaTajnaClick()
{
    Q_EMIT HideHint();
    const AppState& state = appState();
    const QString source = DeliverySource();
    QString teacher = state.TeacherName;
    // A report prepared earlier goes out in the name of the teacher who wrote it.
    if (state.SendExisting && !ReadReportTeacher(source, &teacher)) {
        ShowMessage(KindNotice, IconWarning, kNotAReport);
        return;
    }
    Delivered(QStringLiteral("poczta"), state.Settings.SchoolAddress, MailDocument(source, teacher));
}

void TFDecyzja::Delivered(const QString& way, const QString& target, bool delivered)
{
    AppState& state = appState();
    const QString source = DeliverySource();
    const ReportArchive archive(state.DataFolder);
    const QDateTime now = QDateTime::currentDateTime();
    // A report handed in is kept in the archive, once however often it goes out; the
    // log names the kept file, whose bytes are those that went out.
    QString logged = QFileInfo(source).fileName();
    if (delivered && !state.SendExisting && archive.IsUsable()) {
        QString kept;
        QString error;
        if (archive.Keep(source, state.ReportPagePath, state.DocumentFileName, now.date(), &kept, &error))
            logged = QFileInfo(kept).fileName();
        else
            ShowMessage(KindNotice, IconWarning, kNotArchived.arg(error));
    }
    archive.LogDelivery(way, target, logged, delivered, now);
    if (!delivered || state.SendExisting)
        return;
    // The report has reached the school: its draft is done with, unless another
    // running program holds it.
    state.ReportDelivered = true;
    DraftStore(state.DataFolder).Remove(state.TeacherName, state.TopicIndex);
}

void TFDecyzja::LPocztaWlasnaClick()
{
    HandToMailProgram(
        DeliverySource(), [this] { window()->showMinimized(); },
        [this] {
            QWidget* top = window();
            top->showNormal();
            top->raise();
            top->activateWindow();
        });
}

#include "core/AppState.h"
#include "core/Hints.h"
#include "core/SchoolData.h"
#include "support/MessageRecorder.h"
#include "support/TestPaths.h"
#include "windows/delivery/UBrowser.h"
#include "windows/editors/UDyrektor.h"
#include "windows/editors/UInne.h"
#include "windows/editors/UKarta.h"
#include "windows/editors/URealizacjaProgramu.h"
#include "windows/editors/URealizacjaWych.h"
#include "windows/editors/UZajDodatkowe.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

#include <functional>
#include <memory>

namespace {

const QString kRequired =
    QStringLiteral("Wpisz konieczne informacje.\rUzupełnij trzy pierwsze pola formularza.");
const QString kHeadIncomplete = QStringLiteral("Niekompletne dane ogólne.\rUzupełnij proszę.");
const QString kInfoRequired = QStringLiteral("Wpisz konieczne informacje.");

template <typename T = QWidget> T* part(QWidget* window, const char* name)
{
    T* found = window->findChild<T*>(QString::fromLatin1(name));
    if (!found)
        qWarning("no control %s in %s", name, qPrintable(window->objectName()));
    return found;
}

QPlainTextEdit* memo(QWidget* window, const char* name)
{
    return part<QPlainTextEdit>(window, name);
}

QLineEdit* edit(QWidget* window, const char* name)
{
    return part<QLineEdit>(window, name);
}

QComboBox* combo(QWidget* window, const char* name)
{
    return part<QComboBox>(window, name);
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList lines(const QJsonObject& in, const char* key)
{
    QStringList out;
    for (const QJsonValue& line : in.value(QLatin1String(key)).toArray())
        out << line.toString();
    return out;
}

QString text(const QJsonObject& in, const char* key)
{
    return in.value(QLatin1String(key)).toString();
}

} // namespace

// The six free-text editors through their windows: what each requires, the report it
// writes, and what survives a return from the preview.
class TestFreeTextEditors : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_temp;
    std::unique_ptr<TFBrowser> m_preview;
    std::unique_ptr<TFRealProgramu> m_realProgramu;
    std::unique_ptr<TFRealWych> m_realWych;
    std::unique_ptr<TFZajDodatkowe> m_zajDodatkowe;
    std::unique_ptr<TFDyrektor> m_dyrektor;
    std::unique_ptr<TFInne> m_inne;
    std::unique_ptr<TFKarta> m_karta;
    QDateTime m_now;

    QList<FreeTextEditor*> editors() const
    {
        return {m_realProgramu.get(), m_realWych.get(), m_zajDodatkowe.get(),
                m_dyrektor.get(),     m_inne.get(),     m_karta.get()};
    }

    QString documentPath() const
    {
        return appState().TempFolder + appState().DocumentFileName + QStringLiteral(".xml");
    }

    QString documentText() const { return QString::fromLatin1(readAll(documentPath())); }

    void showFresh(FreeTextEditor* editor)
    {
        appState().NavigatingBack = false;
        editor->ShowEditor();
    }

    void showBack(FreeTextEditor* editor)
    {
        m_preview->CloseStepWindow();
        appState().NavigatingBack = true;
        editor->ShowEditor();
    }

    // The editor refuses with `message` as a warning notice, stays open, writes
    // nothing and leaves the preview closed.
    void expectRefusal(FreeTextEditor* editor, const QString& message)
    {
        MessageRecorder messages;
        appState().DocumentFileName = QStringLiteral("earlier");
        QVERIFY2(!editor->FinishReport(), qPrintable(editor->objectName()));
        QCOMPARE(messages.texts(), QStringList{message});
        QCOMPARE(messages.messages().first().kind, int(KindNotice));
        QCOMPARE(messages.messages().first().icon, int(IconWarning));
        QVERIFY(editor->isVisible());
        QVERIFY(!m_preview->isVisible());
        QCOMPARE(appState().DocumentFileName, QStringLiteral("earlier"));
        QVERIFY(QDir(m_temp->path()).entryList(QDir::Files).isEmpty());
    }

    void expectAccepted(FreeTextEditor* editor)
    {
        MessageRecorder messages;
        QVERIFY2(editor->FinishReport(), qPrintable(editor->objectName()));
        QVERIFY(messages.messages().isEmpty());
        QVERIFY(!editor->isVisible());
        QVERIFY(m_preview->isVisible());
        QVERIFY(QFile::exists(documentPath()));
        // Every case starts from an empty working folder.
        for (const QString& file : QDir(m_temp->path()).entryList(QDir::Files))
            QFile::remove(QDir(m_temp->path()).filePath(file));
        m_preview->CloseStepWindow();
    }

private Q_SLOTS:
    void init()
    {
        m_temp = std::make_unique<QTemporaryDir>();
        QVERIFY(m_temp->isValid());
        appState() = AppState{};
        AppState& state = appState();
        state.TempFolder = m_temp->path() + QLatin1Char('/');
        state.TeacherName = QStringLiteral("Kowalska Anna");
        state.MachineSignature = QStringLiteral("SALA12 nauczyciel Windows 10");
        state.SubjectNames = {QStringLiteral("Biologia"), QStringLiteral("Matematyka")};
        schoolData() = SchoolData{};
        for (const QString& name : {QStringLiteral("Ia"), QStringLiteral("IVc"), QStringLiteral("VIb")}) {
            _Klasa klasa;
            klasa.Name = name;
            schoolData().Classes << klasa;
        }
        m_now = QDateTime(QDate(2026, 6, 19), QTime(8, 4, 9));

        m_preview = std::make_unique<TFBrowser>();
        m_realProgramu = std::make_unique<TFRealProgramu>(m_preview.get());
        m_realWych = std::make_unique<TFRealWych>(m_preview.get());
        m_zajDodatkowe = std::make_unique<TFZajDodatkowe>(m_preview.get());
        m_dyrektor = std::make_unique<TFDyrektor>(m_preview.get());
        m_inne = std::make_unique<TFInne>(m_preview.get());
        m_karta = std::make_unique<TFKarta>(m_preview.get());
        for (FreeTextEditor* editor : editors())
            editor->SetClock([this] { return m_now; });
        m_realProgramu->SchoolDataLoaded();
    }

    void cleanup()
    {
        m_karta.reset();
        m_inne.reset();
        m_dyrektor.reset();
        m_zajDodatkowe.reset();
        m_realWych.reset();
        m_realProgramu.reset();
        m_preview.reset();
        m_temp.reset();
    }

    void windowsNameTheirHintsAndDismissTheHintPanel()
    {
        const struct
        {
            FreeTextEditor* editor;
            int group;
            QSize size;
            const char* background;
            const char* memo;
        } cases[] = {
            {m_realProgramu.get(), HintGroupCurriculum, QSize(808, 490), "Imrealizacja", "Mogolne"},
            {m_realWych.get(), HintGroupHeadAndClass, QSize(808, 490), "Imrealizacja", "Mogolne"},
            {m_zajDodatkowe.get(), HintGroupAdditional, QSize(808, 490), "Imrealizacja", "Mogolne"},
            {m_dyrektor.get(), HintGroupHeadAndClass, QSize(808, 490), "ImTlo", "MDydaktyczna"},
            {m_inne.get(), HintGroupOther, QSize(808, 490), "Imrealizacja", "MInfo"},
            {m_karta.get(), HintGroupCharter, QSize(808, 490), "Imrealizacja", "MInfo"},
        };
        for (const auto& c : cases) {
            const QByteArray name = c.editor->objectName().toLatin1();
            appState().HintGroup = 0;
            appState().HintCount = 0;
            showFresh(c.editor);
            QVERIFY2(c.editor->isVisible(), name.constData());
            QCOMPARE(appState().HintGroup, c.group);
            QCOMPARE(appState().HintCount, 2);
            QCOMPARE(c.editor->size(), c.size);
            auto* background = part<QLabel>(c.editor, c.background);
            QVERIFY2(background && !background->pixmap().isNull(), name.constData());
            QCOMPARE(background->size(), c.size);

            QSignalSpy hide(c.editor, &FreeTextEditor::HideHint);
            QTest::mouseClick(background, Qt::LeftButton, {}, QPoint(400, 20));
            QCOMPARE(hide.size(), 1);
            QTest::mouseClick(memo(c.editor, c.memo)->viewport(), Qt::LeftButton, {}, QPoint(10, 10));
            QCOMPARE(hide.size(), 2);
            c.editor->CloseEditor();
        }

        // In the two realization editors typing in a memo dismisses the hint as well,
        // and the drop label opens the list.
        for (FreeTextEditor* editor : {static_cast<FreeTextEditor*>(m_realProgramu.get()),
                                       static_cast<FreeTextEditor*>(m_realWych.get())}) {
            showFresh(editor);
            QSignalSpy hide(editor, &FreeTextEditor::HideHint);
            memo(editor, "MSukcesy")->insertPlainText(QStringLiteral("x"));
            QCOMPARE(hide.size(), 1);
            auto* drop = part<QLabel>(editor, "LRozwinListe");
            QTest::mouseClick(drop, Qt::LeftButton, {}, drop->rect().center());
            QCOMPARE(hide.size(), 2);
            auto* list =
                part<QComboBox>(editor, editor == m_realWych.get() ? "CKlasa" : "CPrzedmiotNauczania");
            QTRY_VERIFY(list->view()->isVisible());
            list->hidePopup();
            editor->CloseEditor();
        }
    }

    void requiredFieldsAndTheirMessages()
    {
        TFRealProgramu* programu = m_realProgramu.get();
        showFresh(programu);
        expectRefusal(programu, kRequired);
        // A memo of blanks, tabs and empty lines counts as empty.
        edit(programu, "EKlasy")->setText(QStringLiteral("V"));
        memo(programu, "Mogolne")->setPlainText(QStringLiteral("  \n\n\t \n "));
        expectRefusal(programu, kRequired);
        // The classes line is not trimmed: one blank passes.
        edit(programu, "EKlasy")->setText(QStringLiteral(" "));
        expectRefusal(programu, kRequired);
        memo(programu, "Mogolne")->setPlainText(QStringLiteral("\n Omówiono działy 1-3.\n"));
        edit(programu, "EKlasy")->clear();
        expectRefusal(programu, kRequired);
        edit(programu, "EKlasy")->setText(QStringLiteral(" "));
        expectAccepted(programu);
        QCOMPARE(appState().DocumentFileName, QStringLiteral("RProg_Biologia_ _Kowalska Anna"));
        // A typed non-breaking space is a character like any other: it is no blank, and
        // the document keeps it (byte A0 of the code page).
        showFresh(programu);
        memo(programu, "Mogolne")->setPlainText(QString(QChar(0x00A0)) + QStringLiteral("\n"));
        QVERIFY(programu->FinishReport());
        QVERIFY(readAll(documentPath()).contains("<w0>\xA0</w0>"));
        expectAccepted(programu);
        // Without any subject to choose nothing is written.
        appState().SubjectNames.clear();
        programu->SchoolDataLoaded();
        showBack(programu);
        expectRefusal(programu, kRequired);

        TFRealWych* wych = m_realWych.get();
        showFresh(wych);
        expectRefusal(wych, kRequired);
        memo(wych, "Mogolne")->setPlainText(QStringLiteral(" \r\n"));
        expectRefusal(wych, kRequired);
        memo(wych, "Mogolne")->setPlainText(QStringLiteral("x"));
        expectAccepted(wych);
        QCOMPARE(appState().DocumentFileName, QStringLiteral("RProgWych_Ia_Kowalska Anna"));
        schoolData().Classes.clear();
        showFresh(wych);
        memo(wych, "Mogolne")->setPlainText(QStringLiteral("x"));
        expectRefusal(wych, kRequired);

        TFZajDodatkowe* zaj = m_zajDodatkowe.get();
        showFresh(zaj);
        edit(zaj, "EZajecia")->setText(QStringLiteral("Koło szachowe"));
        memo(zaj, "Mogolne")->setPlainText(QStringLiteral("   \n\n  "));
        expectRefusal(zaj, kRequired);
        edit(zaj, "EZajecia")->clear();
        memo(zaj, "Mogolne")->setPlainText(QStringLiteral("Spotkania co tydzień."));
        expectRefusal(zaj, kRequired);
        edit(zaj, "EZajecia")->setText(QStringLiteral(" "));
        expectAccepted(zaj);

        TFDyrektor* dyrektor = m_dyrektor.get();
        showFresh(dyrektor);
        memo(dyrektor, "MNadzor")->setPlainText(QStringLiteral("Hospitacje."));
        expectRefusal(dyrektor, kHeadIncomplete);
        // Not trimmed: a lone blank is content.
        memo(dyrektor, "MDydaktyczna")->setPlainText(QStringLiteral(" "));
        expectAccepted(dyrektor);

        TFInne* inne = m_inne.get();
        showFresh(inne);
        memo(inne, "MInfo")->setPlainText(QStringLiteral("Informacja."));
        expectRefusal(inne, kRequired);
        memo(inne, "MInfo")->clear();
        edit(inne, "EDotyczy")->setText(QStringLiteral("Wycieczka"));
        expectRefusal(inne, kRequired);
        memo(inne, "MInfo")->setPlainText(QStringLiteral("\n"));
        edit(inne, "EDotyczy")->setText(QStringLiteral(" "));
        expectAccepted(inne);

        TFKarta* karta = m_karta.get();
        showFresh(karta);
        expectRefusal(karta, kInfoRequired);
        memo(karta, "MInfo")->setPlainText(QStringLiteral(" "));
        expectAccepted(karta);
    }

    // Each topic's realistic case typed into its window, at the case's time, against
    // the document and page worked out by hand for it.
    void writesTheHandWorkedReports()
    {
        const QDir golden(TestPaths::testData(QStringLiteral("document/golden")));
        const struct
        {
            const char* folder;
            FreeTextEditor* editor;
            std::function<void(const QJsonObject&)> enter;
        } cases[] = {
            {"realprogramu", m_realProgramu.get(),
             [this](const QJsonObject& in) {
                 QComboBox* subjects = combo(m_realProgramu.get(), "CPrzedmiotNauczania");
                 subjects->setCurrentIndex(subjects->findText(text(in, "subject")));
                 QCOMPARE(subjects->currentText(), text(in, "subject"));
                 edit(m_realProgramu.get(), "EKlasy")->setText(text(in, "classes"));
                 memo(m_realProgramu.get(), "Mogolne")->setPlainText(lines(in, "general").join('\n'));
                 memo(m_realProgramu.get(), "MSukcesy")->setPlainText(lines(in, "successes").join('\n'));
             }},
            {"realwych", m_realWych.get(),
             [this](const QJsonObject& in) {
                 QComboBox* classes = combo(m_realWych.get(), "CKlasa");
                 classes->setCurrentIndex(classes->findText(text(in, "className")));
                 QCOMPARE(classes->currentText(), text(in, "className"));
                 memo(m_realWych.get(), "Mogolne")->setPlainText(lines(in, "general").join('\n'));
                 memo(m_realWych.get(), "MSukcesy")->setPlainText(lines(in, "successes").join('\n'));
             }},
            {"zajdodatkowe", m_zajDodatkowe.get(),
             [this](const QJsonObject& in) {
                 edit(m_zajDodatkowe.get(), "EZajecia")->setText(text(in, "activity"));
                 memo(m_zajDodatkowe.get(), "Mogolne")->setPlainText(lines(in, "general").join('\n'));
             }},
            {"dyrektor", m_dyrektor.get(),
             [this](const QJsonObject& in) {
                 memo(m_dyrektor.get(), "MDydaktyczna")->setPlainText(lines(in, "teaching").join('\n'));
                 memo(m_dyrektor.get(), "MNadzor")->setPlainText(lines(in, "supervision").join('\n'));
             }},
            {"inne", m_inne.get(),
             [this](const QJsonObject& in) {
                 edit(m_inne.get(), "EDotyczy")->setText(text(in, "concerns"));
                 memo(m_inne.get(), "MInfo")->setPlainText(lines(in, "info").join('\n'));
             }},
            {"karta", m_karta.get(),
             [this](const QJsonObject& in) {
                 memo(m_karta.get(), "MInfo")->setPlainText(lines(in, "info").join('\n'));
             }},
        };
        for (const auto& c : cases) {
            const QString folder = golden.filePath(QString::fromLatin1(c.folder));
            const QJsonObject in =
                QJsonDocument::fromJson(readAll(QDir(folder).filePath(QStringLiteral("input.json"))))
                    .object();
            QVERIFY2(!in.isEmpty(), c.folder);
            appState().TeacherName = text(in, "teacher");
            appState().MachineSignature = text(in, "machineSignature");
            m_now = QDateTime::fromString(text(in, "now"), Qt::ISODate);
            QVERIFY(m_now.isValid());

            showFresh(c.editor);
            c.enter(in);
            MessageRecorder messages;
            QVERIFY2(c.editor->FinishReport(), c.folder);
            QVERIFY(messages.messages().isEmpty());
            QVERIFY(!c.editor->isVisible());
            QVERIFY(m_preview->isVisible());

            const QString previewFile = text(in, "previewFile");
            QCOMPARE(appState().DocumentFileName, text(in, "documentFileName"));
            QCOMPARE(m_preview->LoadedPath(), appState().TempFolder + previewFile);
            QCOMPARE(readAll(documentPath()), readAll(QDir(folder).filePath(QStringLiteral("expected.xml"))));
            QCOMPARE(readAll(appState().TempFolder + previewFile),
                     readAll(QDir(folder).filePath(QStringLiteral("expected.htm"))));
            m_preview->CloseStepWindow();
        }
    }

    void backFromThePreviewKeepsTheTextAndAFreshShowEmptiesIt()
    {
        // TFRealProgramu: the memos go on a fresh show, the subject and classes stay.
        TFRealProgramu* programu = m_realProgramu.get();
        showFresh(programu);
        combo(programu, "CPrzedmiotNauczania")->setCurrentIndex(1);
        edit(programu, "EKlasy")->setText(QStringLiteral("IG-IIIG"));
        memo(programu, "Mogolne")->setPlainText(QStringLiteral("Ogólnie\ndobrze"));
        memo(programu, "MSukcesy")->setPlainText(QStringLiteral("Konkurs"));
        QVERIFY(programu->FinishReport());
        showBack(programu);
        QCOMPARE(memo(programu, "Mogolne")->toPlainText(), QStringLiteral("Ogólnie\ndobrze"));
        QCOMPARE(memo(programu, "MSukcesy")->toPlainText(), QStringLiteral("Konkurs"));
        QCOMPARE(edit(programu, "EKlasy")->text(), QStringLiteral("IG-IIIG"));
        showFresh(programu);
        QVERIFY(memo(programu, "Mogolne")->toPlainText().isEmpty());
        QVERIFY(memo(programu, "MSukcesy")->toPlainText().isEmpty());
        QCOMPARE(edit(programu, "EKlasy")->text(), QStringLiteral("IG-IIIG"));
        QCOMPARE(combo(programu, "CPrzedmiotNauczania")->currentText(), QStringLiteral("Matematyka"));

        // TFRealWych: back keeps the chosen class; a fresh show starts on the first.
        TFRealWych* wych = m_realWych.get();
        showFresh(wych);
        QCOMPARE(combo(wych, "CKlasa")->count(), 3);
        combo(wych, "CKlasa")->setCurrentIndex(2);
        memo(wych, "Mogolne")->setPlainText(QStringLiteral("Plan wykonany"));
        memo(wych, "MSukcesy")->setPlainText(QStringLiteral("Sukces"));
        QVERIFY(wych->FinishReport());
        QCOMPARE(appState().DocumentFileName, QStringLiteral("RProgWych_VIb_Kowalska Anna"));
        showBack(wych);
        QCOMPARE(combo(wych, "CKlasa")->currentText(), QStringLiteral("VIb"));
        QCOMPARE(memo(wych, "Mogolne")->toPlainText(), QStringLiteral("Plan wykonany"));
        appState().CurrentClassIndex = 2;
        showFresh(wych);
        QCOMPARE(combo(wych, "CKlasa")->currentText(), QStringLiteral("Ia"));
        QCOMPARE(appState().CurrentClassIndex, 0);
        QVERIFY(memo(wych, "Mogolne")->toPlainText().isEmpty());
        QVERIFY(memo(wych, "MSukcesy")->toPlainText().isEmpty());

        // The four others keep every field going back and empty every one afresh.
        const struct
        {
            FreeTextEditor* editor;
            QList<const char*> edits;
            QList<const char*> memos;
        } cases[] = {
            {m_zajDodatkowe.get(), {"EZajecia"}, {"Mogolne"}},
            {m_dyrektor.get(), {}, {"MDydaktyczna", "MNadzor"}},
            {m_inne.get(), {"EDotyczy"}, {"MInfo"}},
            {m_karta.get(), {}, {"MInfo"}},
        };
        for (const auto& c : cases) {
            showFresh(c.editor);
            for (const char* name : c.edits)
                edit(c.editor, name)->setText(QString::fromLatin1(name) + QStringLiteral(" tekst"));
            for (const char* name : c.memos)
                memo(c.editor, name)->setPlainText(QString::fromLatin1(name) + QStringLiteral("\ndruga"));
            QVERIFY(c.editor->FinishReport());
            showBack(c.editor);
            for (const char* name : c.edits)
                QCOMPARE(edit(c.editor, name)->text(), QString::fromLatin1(name) + QStringLiteral(" tekst"));
            for (const char* name : c.memos)
                QCOMPARE(memo(c.editor, name)->toPlainText(),
                         QString::fromLatin1(name) + QStringLiteral("\ndruga"));
            showFresh(c.editor);
            for (const char* name : c.edits)
                QVERIFY2(edit(c.editor, name)->text().isEmpty(), name);
            for (const char* name : c.memos)
                QVERIFY2(memo(c.editor, name)->toPlainText().isEmpty(), name);
        }
    }

    // The numbered reports take the time of every run; the head teacher's keeps one
    // name. Typed lines count, not the lines the memo wraps on screen.
    void numbersComeFromTheTimeOfEachRun()
    {
        TFInne* inne = m_inne.get();
        showFresh(inne);
        edit(inne, "EDotyczy")->setText(QStringLiteral("Rada"));
        const QString longLine = QStringLiteral("słowo ").repeated(200);
        memo(inne, "MInfo")->setPlainText(longLine);
        // On screen the line wraps into several.
        QTRY_VERIFY(memo(inne, "MInfo")->document()->firstBlock().layout()->lineCount() > 1);
        QVERIFY(inne->FinishReport());
        QCOMPARE(appState().DocumentFileName, QStringLiteral("InneInfo_849_Kowalska Anna"));
        QVERIFY(documentText().contains(QStringLiteral("<Nr>849</Nr>")));
        QVERIFY(documentText().contains(QStringLiteral("<IloscWierszy>1</IloscWierszy>")));
        const QString first = documentPath();
        showBack(inne);
        m_now = m_now.addSecs(1);
        QVERIFY(inne->FinishReport());
        QCOMPARE(appState().DocumentFileName, QStringLiteral("InneInfo_8410_Kowalska Anna"));
        QVERIFY(QFile::exists(first) && QFile::exists(documentPath()));

        TFKarta* karta = m_karta.get();
        showFresh(karta);
        memo(karta, "MInfo")->setPlainText(QStringLiteral("a\nb\n"));
        m_now = QDateTime(QDate(2026, 6, 19), QTime(11, 1, 11));
        QVERIFY(karta->FinishReport());
        QCOMPARE(appState().DocumentFileName, QStringLiteral("ZKarty_11111_Kowalska Anna"));
        // A line break at the very end starts no further line.
        QVERIFY(documentText().contains(QStringLiteral("<IloscWierszy>2</IloscWierszy>")));
        showBack(karta);
        m_now = QDateTime(QDate(2026, 6, 19), QTime(13, 0, 5));
        QVERIFY(karta->FinishReport());
        QCOMPARE(appState().DocumentFileName, QStringLiteral("ZKarty_1305_Kowalska Anna"));

        TFZajDodatkowe* zaj = m_zajDodatkowe.get();
        showFresh(zaj);
        edit(zaj, "EZajecia")->setText(QStringLiteral("Chór"));
        memo(zaj, "Mogolne")->setPlainText(QStringLiteral("Próby"));
        QVERIFY(zaj->FinishReport());
        QCOMPARE(appState().DocumentFileName, QStringLiteral("ZajDod_1305_Kowalska Anna"));
        showBack(zaj);
        m_now = m_now.addSecs(3600);
        QVERIFY(zaj->FinishReport());
        QCOMPARE(appState().DocumentFileName, QStringLiteral("ZajDod_1405_Kowalska Anna"));

        TFDyrektor* dyrektor = m_dyrektor.get();
        showFresh(dyrektor);
        memo(dyrektor, "MDydaktyczna")->setPlainText(QStringLiteral("Rok udany"));
        QVERIFY(dyrektor->FinishReport());
        QCOMPARE(appState().DocumentFileName, QStringLiteral("Dyrektor_Kowalska Anna"));
        QVERIFY(documentText().contains(QStringLiteral("<Nadzor>")));
        showBack(dyrektor);
        m_now = m_now.addSecs(7);
        QVERIFY(dyrektor->FinishReport());
        QCOMPARE(appState().DocumentFileName, QStringLiteral("Dyrektor_Kowalska Anna"));
    }

    void subjectsFollowTheSchoolDataAndTheMainWindowEmptiesTheTexts()
    {
        TFRealProgramu* programu = m_realProgramu.get();
        QComboBox* subjects = combo(programu, "CPrzedmiotNauczania");
        QCOMPARE(subjects->count(), 2);
        QCOMPARE(subjects->currentIndex(), 0);
        QCOMPARE(subjects->itemText(1), QStringLiteral("Matematyka"));
        QVERIFY(!subjects->isEditable());

        subjects->setCurrentIndex(1);
        appState().SubjectNames = {QStringLiteral("Chemia"), QStringLiteral("Fizyka"),
                                   QStringLiteral("Historia")};
        programu->SchoolDataLoaded();
        QCOMPARE(subjects->count(), 3);
        QCOMPARE(subjects->currentText(), QStringLiteral("Chemia"));

        showFresh(programu);
        edit(programu, "EKlasy")->setText(QStringLiteral("VI, IG"));
        memo(programu, "Mogolne")->setPlainText(QStringLiteral("Ogólne"));
        memo(programu, "MSukcesy")->setPlainText(QStringLiteral("Sukcesy"));
        subjects->setCurrentIndex(2);
        programu->ClearEditorInputs();
        QVERIFY(edit(programu, "EKlasy")->text().isEmpty());
        QVERIFY(memo(programu, "Mogolne")->toPlainText().isEmpty());
        QVERIFY(memo(programu, "MSukcesy")->toPlainText().isEmpty());
        QCOMPARE(subjects->currentText(), QStringLiteral("Historia"));

        // Choosing a subject moves on to the general information.
        subjects->setFocus();
        QTest::keyClick(subjects, Qt::Key_Up);
        QCOMPARE(subjects->currentText(), QStringLiteral("Fizyka"));
        QTRY_VERIFY(memo(programu, "Mogolne")->hasFocus());
    }
};

QTEST_MAIN(TestFreeTextEditors)
#include "tst_freetexteditors.moc"

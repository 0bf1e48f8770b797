#include "windows/delivery/UDecyzja.h"
#include "windows/editors/UWerdykon.h"
#include "windows/parts/SkinOnShow.h"
#include "windows/parts/SkinPicture.h"
#include "windows/parts/SkinPrefetch.h"
#include "windows/parts/UWarning.h"

#include <QImage>
#include <QLabel>
#include <QTest>

#include <cmath>
#include <optional>

namespace {

double luminance(QRgb rgb)
{
    auto channel = [](int value) {
        const double c = value / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(rgb)) + 0.7152 * channel(qGreen(rgb)) + 0.0722 * channel(qBlue(rgb));
}

} // namespace

class TestSkins : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyPictureTheWindowsUseIsThere()
    {
        const struct
        {
            const char* name;
            QSize size;
        } used[] = {
            {"oknowarning", {350, 150}}, {"ikoinfo", {42, 43}},    {"ikopytanie", {42, 43}},
            {"ikouwaga", {42, 43}},      {"buttak", {88, 26}},     {"buttakakt", {88, 26}},
            {"butnie", {88, 26}},        {"butnieakt", {88, 26}},  {"butanuluj", {88, 26}},
            {"butanulujakt", {88, 26}},  {"butzamknij", {88, 26}}, {"butzamknijakt", {88, 26}},
        };
        for (const auto& picture : used) {
            const QString name = QString::fromLatin1(picture.name);
            QVERIFY2(SkinPictureExists(name), picture.name);
            QCOMPARE(SkinPicture(name).size(), picture.size);
        }
    }

    void missingPictureIsReportedNotFatal()
    {
        QTest::ignoreMessage(QtCriticalMsg,
                             "Tabulon: the window picture \"nieistniejacy\" is missing from this build");
        QVERIFY(!SkinPictureExists(QStringLiteral("nieistniejacy")));
        QVERIFY(SkinPicture(QStringLiteral("nieistniejacy")).isNull());
    }

    void highlightedButtonsDifferFromNormalOnes()
    {
        for (const char* button : {"buttak", "butnie", "butanuluj", "butzamknij"}) {
            const QString name = QString::fromLatin1(button);
            QVERIFY2(SkinPicture(name).toImage() != SkinPicture(name + QStringLiteral("akt")).toImage(),
                     button);
        }
        QVERIFY(SkinPicture(QStringLiteral("ikoinfo")).toImage() !=
                SkinPicture(QStringLiteral("ikouwaga")).toImage());
    }

    void highDensityPicturesArePaintedAtTwiceTheSize()
    {
        for (const char* name : {"oknowarning", "buttakakt", "tloglowny", "zakladkiwerdykon", "ikouwaga"}) {
            const QPixmap plain = SkinPicture(QString::fromLatin1(name));
            const QPixmap sharp = SkinPicture(QString::fromLatin1(name), 2.0);
            QCOMPARE(sharp.size(), plain.size() * 2);
            QCOMPARE(sharp.devicePixelRatio(), 2.0);
            // Both cover the same window pixels, and the sharp one is painted afresh,
            // not the plain one scaled up.
            QCOMPARE(sharp.deviceIndependentSize(), QSizeF(plain.size()));
            QVERIFY2(sharp.toImage().scaled(plain.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation) !=
                         plain.toImage(),
                     name);
        }
        // A screen at 150 % takes the sharp picture too; one at 100 % the plain one.
        QCOMPARE(SkinPicture(QStringLiteral("oknowarning"), 1.5).devicePixelRatio(), 2.0);
        QCOMPARE(SkinPicture(QStringLiteral("oknowarning"), 1.0).devicePixelRatio(), 1.0);
    }

    // Pictures decoded ahead are the ones decoded on the spot, each handed out once
    // and only at the density it was made for; whatever the worker has not reached
    // when asked for is decoded by the one asking.
    void prefetchedPicturesMatchAndAreTakenOnce_data()
    {
        QTest::addColumn<qreal>("ratio");
        QTest::newRow("plain screen") << qreal(1.0);
        QTest::newRow("150 %") << qreal(1.5);
        QTest::newRow("200 %") << qreal(2.0);
    }

    void prefetchedPicturesMatchAndAreTakenOnce()
    {
        QFETCH(qreal, ratio);
        const QStringList names = {QStringLiteral("tloglowny"), QStringLiteral("powitanie"),
                                   QStringLiteral("buttak"), QStringLiteral("numerki")};
        SkinPrefetch prefetch(names, ratio);
        QVERIFY(!SkinPrefetch::take(QStringLiteral("buttakakt"), ratio));
        QVERIFY(!SkinPrefetch::take(QStringLiteral("tloglowny"), ratio > 1.0 ? 1.0 : 2.0));
        // Taken from the first, while the worker works from the last.
        for (const QString& name : names) {
            const std::optional<QImage> picture = SkinPrefetch::take(name, ratio);
            QVERIFY2(picture, qPrintable(name));
            QCOMPARE(*picture, SkinImage(name, ratio));
            QCOMPARE(picture->devicePixelRatio(), ratio > 1.0 ? 2.0 : 1.0);
            QVERIFY(!SkinPrefetch::take(name, ratio));
        }
        QCOMPARE(prefetch.untaken(), QStringList());
    }

    void prefetchEndsWithPicturesLeftAndStepsAside()
    {
        QTest::ignoreMessage(QtCriticalMsg,
                             "Tabulon: the window picture \"nieistniejacy\" is missing from this build");
        {
            SkinPrefetch prefetch({QStringLiteral("tlowerdykon"), QStringLiteral("nieistniejacy")}, 1.0);
            QCOMPARE(prefetch.untaken().size(), 2);
            const std::optional<QImage> missing = SkinPrefetch::take(QStringLiteral("nieistniejacy"), 1.0);
            QVERIFY(missing && missing->isNull());
            QCOMPARE(prefetch.untaken(), QStringList{QStringLiteral("tlowerdykon")});
        }
        QVERIFY(!SkinPrefetch::take(QStringLiteral("tlowerdykon"), 1.0));
        QVERIFY(!SkinPicture(QStringLiteral("tlowerdykon")).isNull());
    }

    void windowsNeverShownDecodeNothing()
    {
        const int before = SkinPicturesLoaded();
        TFWerdykon werdykon;
        TFDecyzja decyzja;
        TFWarning warning;
        QCOMPARE(SkinPicturesLoaded(), before);
        for (const QLabel* label : werdykon.findChildren<QLabel*>())
            QVERIFY(label->pixmap().isNull());

        // Shown, a window paints the pictures of its visible labels, and only those.
        werdykon.show();
        QVERIFY(QTest::qWaitForWindowExposed(&werdykon));
        QVERIFY(SkinPicturesLoaded() > before);
        const auto* background = werdykon.findChild<QLabel*>(QStringLiteral("ImTlo"));
        QVERIFY(background);
        QCOMPARE(background->pixmap().toImage(), SkinPicture(QStringLiteral("tlowerdykon")).toImage());
        for (const QLabel* label : decyzja.findChildren<QLabel*>())
            QVERIFY(label->pixmap().isNull());
    }

    void pictureForAVisibleLabelIsPaintedAtOnceAndTheLastOneWins()
    {
        QWidget window;
        auto* waiting = new QLabel(&window);
        SetSkin(waiting, QStringLiteral("buttak"));
        SetSkin(waiting, QStringLiteral("butnie"));
        QVERIFY(waiting->pixmap().isNull());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(waiting->pixmap().toImage(), SkinPicture(QStringLiteral("butnie")).toImage());
        SetSkin(waiting, QStringLiteral("butanuluj"));
        QCOMPARE(waiting->pixmap().toImage(), SkinPicture(QStringLiteral("butanuluj")).toImage());
        // Hidden and shown again, the label keeps its picture.
        window.hide();
        window.show();
        QCOMPARE(waiting->pixmap().toImage(), SkinPicture(QStringLiteral("butanuluj")).toImage());
    }

    void messageTextReadsWellOnTheBackground()
    {
        // The message text is #444444; everywhere under it the background must give at
        // least the 7:1 contrast recommended for small text.
        const QImage background = SkinPicture(QStringLiteral("oknowarning")).toImage();
        const double text = luminance(qRgb(0x44, 0x44, 0x44));
        double worst = 100;
        for (int y = 51; y < 51 + 53; ++y) {
            for (int x = 17; x < 17 + 313; ++x) {
                const double ratio = (luminance(background.pixel(x, y)) + 0.05) / (text + 0.05);
                worst = std::min(worst, ratio);
            }
        }
        QVERIFY2(worst >= 7.0, qPrintable(QStringLiteral("worst contrast %1").arg(worst)));
    }
};

QTEST_MAIN(TestSkins)
#include "tst_skins.moc"

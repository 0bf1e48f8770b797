#include "resources/SkinPicture.h"

#include <QImage>
#include <QTest>

#include <cmath>

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

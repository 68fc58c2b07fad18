// Pointer settings: the slider-position conversions, and the Linux layer
// against real back ends - GSettings' memory back end with the installed
// GNOME schema, and the pointer control of a private Xvfb server.

// GLib's headers must come before Qt's ("signals" is a Qt macro).
#include "bridges_GnomeMouse.h"

#include "PointerSettings.h"

#include <QCoreApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

namespace {

// `xset q` on the private display: "acceleration:  2/1    threshold:  4".
bool readPointerControl(int &numerator, int &denominator, int &threshold)
{
    QProcess xset;
    xset.start(QStringLiteral("xset"), {QStringLiteral("q")});
    if (!xset.waitForFinished(10000) || xset.exitCode() != 0)
        return false;
    const QString out = QString::fromLocal8Bit(xset.readAllStandardOutput());
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("acceleration:\\s*(\\d+)/(\\d+)\\s+threshold:\\s*(\\d+)"))
            .match(out);
    if (!m.hasMatch())
        return false;
    numerator = m.captured(1).toInt();
    denominator = m.captured(2).toInt();
    threshold = m.captured(3).toInt();
    return true;
}

} // namespace

class PointerSettingsTest : public QObject {
    Q_OBJECT
private slots:
    void conversionsAtTheSliderPositions_data();
    void conversionsAtTheSliderPositions();
    void positionsBeyondTheSliderStayInRange();
    void desktopSpeedScale();
    void noDesktopNoDisplayFailsEverySetter();
    void gnomeSettingsAreWritten();
    void gnomeAccelerationKeepsItsProfileWhenAlreadyOn();
    void xServerAccelerationOnAndOff();
    void cleanupTestCase();

private:
    QProcess m_xvfb;
};

void PointerSettingsTest::conversionsAtTheSliderPositions_data()
{
    QTest::addColumn<uint>("position");
    QTest::addColumn<int>("speed");
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("doubleClickMs");
    QTest::newRow("0") << 0u << 1 << 1 << 900;
    QTest::newRow("1") << 1u << 2 << 2 << 830;
    QTest::newRow("5") << 5u << 10 << 6 << 550;
    QTest::newRow("10") << 10u << 20 << 11 << 200;
}

void PointerSettingsTest::conversionsAtTheSliderPositions()
{
    QFETCH(uint, position);
    QFETCH(int, speed);
    QFETCH(int, lines);
    QFETCH(int, doubleClickMs);
    QCOMPARE(PointerSettings::pointerSpeedForPosition(position), speed);
    QCOMPARE(PointerSettings::scrollLinesForPosition(position), lines);
    QCOMPARE(PointerSettings::doubleClickTimeForPosition(position), doubleClickMs);
}

void PointerSettingsTest::positionsBeyondTheSliderStayInRange()
{
    QCOMPARE(PointerSettings::pointerSpeedForPosition(11), 20);
    QCOMPARE(PointerSettings::scrollLinesForPosition(4000000000u), 11);
    QCOMPARE(PointerSettings::doubleClickTimeForPosition(13), 200); // not -10 ms
}

void PointerSettingsTest::desktopSpeedScale()
{
    QCOMPARE(PointerSettings::desktopSpeedForPointerSpeed(1), -1.0);
    QCOMPARE(PointerSettings::desktopSpeedForPointerSpeed(10), 0.0);
    QCOMPARE(PointerSettings::desktopSpeedForPointerSpeed(20), 1.0);
    QCOMPARE(PointerSettings::desktopSpeedForPointerSpeed(15), 0.5);
    QVERIFY(PointerSettings::desktopSpeedForPointerSpeed(4) <
            PointerSettings::desktopSpeedForPointerSpeed(6));
}

void PointerSettingsTest::noDesktopNoDisplayFailsEverySetter()
{
    qunsetenv("XDG_CURRENT_DESKTOP");
    qunsetenv("DISPLAY");
    QCOMPARE(PointerSettings::backendName(), QString());
    QVERIFY(!PointerSettings::setPointerSpeed(10));
    QVERIFY(!PointerSettings::setWheelScrollLines(3));
    QVERIFY(!PointerSettings::setDoubleClickTime(500));
    bool on = true;
    QVERIFY(!PointerSettings::getAcceleration(on));
    QVERIFY(!PointerSettings::setAcceleration(true));
}

void PointerSettingsTest::gnomeSettingsAreWritten()
{
#ifndef Z3_TEST_GIO
    QSKIP("built without GIO");
#else
    GSettings *mouse = bridgesGnomeMouseSettings();
    if (!mouse)
        QSKIP("the GNOME peripherals schema (gsettings-desktop-schemas) is not installed");
    qputenv("XDG_CURRENT_DESKTOP", "GNOME");
    QCOMPARE(PointerSettings::backendName(), QStringLiteral("gnome"));

    QVERIFY(PointerSettings::setPointerSpeed(1));
    QCOMPARE(g_settings_get_double(mouse, "speed"), -1.0);
    QVERIFY(PointerSettings::setPointerSpeed(20));
    QCOMPARE(g_settings_get_double(mouse, "speed"), 1.0);
    QVERIFY(PointerSettings::setDoubleClickTime(830));
    QCOMPARE(g_settings_get_int(mouse, "double-click"), 830);
    // GNOME has no wheel scroll lines.
    QVERIFY(!PointerSettings::setWheelScrollLines(6));

    QVERIFY(PointerSettings::setAcceleration(false));
    gchar *profile = g_settings_get_string(mouse, "accel-profile");
    QCOMPARE(QByteArray(profile), QByteArray("flat"));
    g_free(profile);
    bool on = true;
    QVERIFY(PointerSettings::getAcceleration(on));
    QVERIFY(!on);
    QVERIFY(PointerSettings::setAcceleration(true));
    QVERIFY(PointerSettings::getAcceleration(on));
    QVERIFY(on);
    qunsetenv("XDG_CURRENT_DESKTOP");
    g_object_unref(mouse);
#endif
}

void PointerSettingsTest::gnomeAccelerationKeepsItsProfileWhenAlreadyOn()
{
#ifndef Z3_TEST_GIO
    QSKIP("built without GIO");
#else
    GSettings *mouse = bridgesGnomeMouseSettings();
    if (!mouse)
        QSKIP("the GNOME peripherals schema (gsettings-desktop-schemas) is not installed");
    qputenv("XDG_CURRENT_DESKTOP", "ubuntu:GNOME");
    QVERIFY(g_settings_set_string(mouse, "accel-profile", "adaptive"));
    QVERIFY(PointerSettings::setAcceleration(true));
    gchar *profile = g_settings_get_string(mouse, "accel-profile");
    QCOMPARE(QByteArray(profile), QByteArray("adaptive"));
    g_free(profile);
    qunsetenv("XDG_CURRENT_DESKTOP");
    g_object_unref(mouse);
#endif
}

void PointerSettingsTest::xServerAccelerationOnAndOff()
{
    if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty() ||
        QStandardPaths::findExecutable(QStringLiteral("xset")).isEmpty())
        QSKIP("Xvfb and xset are needed");
    qunsetenv("XDG_CURRENT_DESKTOP");
    qunsetenv("WAYLAND_DISPLAY");
    qunsetenv("XDG_SESSION_TYPE");
    // A private server: the pointer control of a shared display is not ours to
    // change. Without -noreset it would reset (and forget the pointer control)
    // each time its last client leaves.
    m_xvfb.start(QStringLiteral("Xvfb"),
                 {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-noreset"),
                  QStringLiteral("-nolisten"), QStringLiteral("tcp"), QStringLiteral("-screen"),
                  QStringLiteral("0"), QStringLiteral("320x240x24")});
    QVERIFY(m_xvfb.waitForStarted(10000));
    QByteArray number;
    QTRY_VERIFY_WITH_TIMEOUT((number += m_xvfb.readAllStandardOutput()).contains('\n'), 15000);
    qputenv("DISPLAY", ":" + number.trimmed());
    QCOMPARE(PointerSettings::backendName(), QStringLiteral("x11"));
    // No desktop settings on a bare X server.
    QVERIFY(!PointerSettings::setPointerSpeed(10));
    QVERIFY(!PointerSettings::setDoubleClickTime(550));

    // What the server reports, read by an independent client.
    int num = 0, den = 0, threshold = 0;
    QVERIFY(readPointerControl(num, den, threshold));
    bool on = false;
    QVERIFY(PointerSettings::getAcceleration(on));
    QCOMPARE(on, num > den);

    const int thresholdBefore = threshold;
    QVERIFY(PointerSettings::setAcceleration(false));
    QVERIFY(readPointerControl(num, den, threshold));
    QCOMPARE(num, den);
    QCOMPARE(threshold, thresholdBefore); // only the factor changes
    QVERIFY(PointerSettings::getAcceleration(on));
    QVERIFY(!on);
    QVERIFY(PointerSettings::setAcceleration(true));
    QVERIFY(readPointerControl(num, den, threshold));
    QVERIFY2(num > den, qPrintable(QStringLiteral("%1/%2").arg(num).arg(den)));
    QCOMPARE(threshold, thresholdBefore);
    // Asking for what is already set succeeds without a change.
    QVERIFY(PointerSettings::getAcceleration(on));
    QVERIFY(PointerSettings::setAcceleration(on));

    // In a Wayland session this server is only the X compatibility layer: its
    // pointer control is not the desktop's, so nothing is set or claimed.
    qputenv("WAYLAND_DISPLAY", "wayland-0");
    QCOMPARE(PointerSettings::backendName(), QString());
    QVERIFY(!PointerSettings::setAcceleration(false));
    QVERIFY(readPointerControl(num, den, threshold));
    QVERIFY(num > den);
    qunsetenv("WAYLAND_DISPLAY");

    qunsetenv("DISPLAY");
    m_xvfb.terminate();
    m_xvfb.waitForFinished(5000);
}

void PointerSettingsTest::cleanupTestCase()
{
    if (m_xvfb.state() != QProcess::NotRunning) {
        m_xvfb.terminate();
        m_xvfb.waitForFinished(5000);
    }
}

int main(int argc, char **argv)
{
    // Desktop settings go to GSettings' in-memory back end, never to the
    // user's real settings.
    qputenv("GSETTINGS_BACKEND", "memory");
    QCoreApplication app(argc, argv);
    PointerSettingsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_pointersettings.moc"

// Pointer settings: the slider-position conversions, and the Linux layer
// against real back ends - GSettings' memory back end with the installed
// GNOME schema, and the pointer control of a private Xvfb server.

// GLib's headers must come before Qt's ("signals" is a Qt macro).
#if __has_include(<gio/gio.h>)
#include <gio/gio.h>
#define Z3_TEST_GIO 1
#endif

#include "PointerSettings.h"

#include <QCoreApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

// The X server's acceleration as `xset q` (an independent client) shows it.
static QString xsetAcceleration()
{
    QProcess xset;
    xset.start(QStringLiteral("xset"), {QStringLiteral("q")});
    xset.waitForFinished(10000);
    return QRegularExpression(QStringLiteral("acceleration:\\s*(\\d+/\\d+\\s+threshold:\\s*\\d+)"))
        .match(QString::fromLocal8Bit(xset.readAllStandardOutput()))
        .captured(1)
        .simplified();
}

class PointerSettingsTest : public QObject {
    Q_OBJECT
private slots:
    void conversionsAtTheSliderPositions_data()
    {
        QTest::addColumn<uint>("position");
        QTest::addColumn<int>("speed");
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("doubleClickMs");
        QTest::addColumn<double>("desktopSpeed");
        QTest::newRow("0") << 0u << 1 << 1 << 900 << -1.0;
        QTest::newRow("1") << 1u << 2 << 2 << 830 << -8 / 9.0;
        QTest::newRow("5") << 5u << 10 << 6 << 550 << 0.0;
        QTest::newRow("10") << 10u << 20 << 11 << 200 << 1.0;
        QTest::newRow("past the slider") << 13u << 20 << 11 << 200 << 1.0; // not -10 ms
        QTest::newRow("far past") << 4000000000u << 20 << 11 << 200 << 1.0;
    }
    void conversionsAtTheSliderPositions()
    {
        QFETCH(uint, position);
        QFETCH(int, speed);
        QCOMPARE(PointerSettings::pointerSpeedForPosition(position), speed);
        QTEST(PointerSettings::scrollLinesForPosition(position), "lines");
        QTEST(PointerSettings::doubleClickTimeForPosition(position), "doubleClickMs");
        QTEST(PointerSettings::desktopSpeedForPointerSpeed(speed), "desktopSpeed");
    }

    void gnomeSettingsAreWritten()
    {
        qunsetenv("DISPLAY");
        QCOMPARE(PointerSettings::backendName(), QString()); // no desktop, no display: every setter fails
        bool on = true;
        QVERIFY(!PointerSettings::setPointerSpeed(10) && !PointerSettings::setDoubleClickTime(500));
        QVERIFY(!PointerSettings::getAcceleration(on) && !PointerSettings::setAcceleration(true));
#ifdef Z3_TEST_GIO
        GSettingsSchemaSource *source = g_settings_schema_source_get_default();
        GSettingsSchema *schema =
            source ? g_settings_schema_source_lookup(source, "org.gnome.desktop.peripherals.mouse", TRUE) : nullptr;
        if (!schema)
            QSKIP("the GNOME peripherals schema (gsettings-desktop-schemas) is not installed");
        GSettings *mouse = g_settings_new_full(schema, nullptr, nullptr);
        g_settings_schema_unref(schema);
        const auto profile = [mouse] {
            gchar *text = g_settings_get_string(mouse, "accel-profile");
            const QByteArray out(text);
            g_free(text);
            return out;
        };
        qputenv("XDG_CURRENT_DESKTOP", "ubuntu:GNOME");
        QVERIFY(PointerSettings::setPointerSpeed(1));
        QCOMPARE(g_settings_get_double(mouse, "speed"), -1.0);
        QVERIFY(PointerSettings::setDoubleClickTime(830));
        QCOMPARE(g_settings_get_int(mouse, "double-click"), 830);
        QVERIFY(!PointerSettings::setWheelScrollLines(6)); // GNOME has no wheel scroll lines
        QVERIFY(PointerSettings::setAcceleration(false));
        QCOMPARE(profile(), QByteArray("flat"));
        QVERIFY(PointerSettings::getAcceleration(on) && !on);
        QVERIFY(g_settings_set_string(mouse, "accel-profile", "adaptive")); // the user's own profile
        QVERIFY(PointerSettings::setAcceleration(true) && PointerSettings::getAcceleration(on) && on);
        QCOMPARE(profile(), QByteArray("adaptive"));
        qunsetenv("XDG_CURRENT_DESKTOP");
        g_object_unref(mouse);
#endif
    }

    void xServerAccelerationOnAndOff()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty() ||
            QStandardPaths::findExecutable(QStringLiteral("xset")).isEmpty())
            QSKIP("Xvfb and xset are needed");
        for (const char *name : {"XDG_CURRENT_DESKTOP", "WAYLAND_DISPLAY", "XDG_SESSION_TYPE"})
            qunsetenv(name);
        // A private server: the pointer control of a shared display is not ours to
        // change. Without -noreset it would forget it each time its last client leaves.
        QProcess xvfb;
        xvfb.start(QStringLiteral("Xvfb"), {"-displayfd", "1", "-noreset", "-nolisten", "tcp"});
        QByteArray number;
        QTRY_VERIFY_WITH_TIMEOUT((number += xvfb.readAllStandardOutput()).contains('\n'), 15000);
        qputenv("DISPLAY", ":" + number.trimmed());
        QCOMPARE(PointerSettings::backendName(), QStringLiteral("x11"));
        QVERIFY(!PointerSettings::setPointerSpeed(10)); // no desktop settings on a bare X server
        const QString before = xsetAcceleration(); // "2/1 threshold: 4"
        bool on = false;
        QVERIFY(PointerSettings::getAcceleration(on) && on);
        QVERIFY(PointerSettings::setAcceleration(false) && PointerSettings::getAcceleration(on) && !on);
        QCOMPARE(xsetAcceleration(), QStringLiteral("1/1") + before.mid(before.indexOf(' '))); // only the factor
        QVERIFY(PointerSettings::setAcceleration(true));
        QCOMPARE(xsetAcceleration(), before);
        // In a Wayland session this server is only the X compatibility layer: its
        // pointer control is not the desktop's, so nothing is set or claimed.
        qputenv("WAYLAND_DISPLAY", "wayland-0");
        QVERIFY(PointerSettings::backendName().isEmpty() && !PointerSettings::setAcceleration(false));
        QCOMPARE(xsetAcceleration(), before);
        qunsetenv("WAYLAND_DISPLAY");
        qunsetenv("DISPLAY");
        xvfb.terminate();
        xvfb.waitForFinished(5000);
    }
};

int main(int argc, char **argv)
{
    qputenv("GSETTINGS_BACKEND", "memory"); // never the user's real desktop settings
    qunsetenv("XDG_CURRENT_DESKTOP");
    QCoreApplication app(argc, argv);
    PointerSettingsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_pointersettings.moc"

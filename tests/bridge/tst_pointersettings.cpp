// Pointer settings: the slider-position conversions, and the Linux layer
// against GSettings' memory back end with the installed GNOME schema.

// GLib names a struct member "signals", which the precompiled Qt headers define away.
#if __has_include(<gio/gio.h>)
#pragma push_macro("signals")
#undef signals
#include <gio/gio.h>
#pragma pop_macro("signals")
#define Z3_TEST_GIO 1
#endif

#include "PointerSettings.h"

#include <QCoreApplication>
#include <QTest>

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
        QTest::newRow("past the slider") << 4000000000u << 20 << 11 << 200 << 1.0; // not -10 ms
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
            g_autofree gchar *text = g_settings_get_string(mouse, "accel-profile");
            return QByteArray(text);
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

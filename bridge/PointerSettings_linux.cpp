// GLib's headers name struct members "signals", which Qt defines as a macro:
// include them before any Qt header.
#ifdef Z3_HAVE_GIO
#include <gio/gio.h>
#endif

#include "PointerSettings.h"

#include <QByteArray>
#include <QList>
#include <QtGlobal>
#ifdef Z3_HAVE_X11
#include <X11/Xlib.h>
#endif

// Linux: the GNOME desktop keeps pointer speed, double-click time and the
// acceleration profile in GSettings (org.gnome.desktop.peripherals.mouse);
// elsewhere on X11 pointer acceleration is the X server's pointer control.
// On Wayland only desktops with such settings (GNOME) can be reached.
// No Linux desktop we reach keeps a wheel scroll-lines setting, so that
// setter always reports failure.

namespace PointerSettings {
namespace {

const char kMouseSchema[] = "org.gnome.desktop.peripherals.mouse";

// GNOME and the desktops built on its settings (Ubuntu "ubuntu:GNOME",
// Budgie "Budgie:GNOME", Unity, Pantheon) read the peripherals schema.
bool gnomeDesktop()
{
    const QByteArray desktops = qgetenv("XDG_CURRENT_DESKTOP").toLower();
    for (const QByteArray &d : desktops.split(':')) {
        if (d == "gnome" || d == "unity" || d == "pantheon" || d == "gnome-classic" || d == "gnome-flashback")
            return true;
    }
    return false;
}

#ifdef Z3_HAVE_GIO
// A settings object for the mouse schema, or nullptr when the schema is not
// installed (g_settings_new would abort the process then).
GSettings *mouseSettings()
{
    if (!gnomeDesktop())
        return nullptr;
    GSettingsSchemaSource *source = g_settings_schema_source_get_default();
    if (!source)
        return nullptr;
    GSettingsSchema *schema = g_settings_schema_source_lookup(source, kMouseSchema, TRUE);
    if (!schema)
        return nullptr;
    GSettings *settings = g_settings_new_full(schema, nullptr, nullptr);
    g_settings_schema_unref(schema);
    return settings;
}

bool hasKey(GSettings *settings, const char *key)
{
    GSettingsSchema *schema = nullptr;
    g_object_get(settings, "settings-schema", &schema, nullptr);
    const bool has = schema && g_settings_schema_has_key(schema, key);
    if (schema)
        g_settings_schema_unref(schema);
    return has;
}

// Writes reach the back end on the next pass of GLib's main context, which
// Qt's event loop runs; g_settings_sync pushes them out now.
bool finish(GSettings *settings, gboolean written)
{
    if (written)
        g_settings_sync();
    g_object_unref(settings);
    return written;
}
#endif

#ifdef Z3_HAVE_X11
// In a Wayland session the X server is only the compatibility layer for X
// programs; its pointer control does not reach the desktop's pointer.
bool waylandSession()
{
    return !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") || qgetenv("XDG_SESSION_TYPE") == "wayland";
}

struct XDisplay {
    Display *dpy = waylandSession() ? nullptr : XOpenDisplay(nullptr);
    ~XDisplay()
    {
        if (dpy)
            XCloseDisplay(dpy);
    }
};
#endif

} // namespace

QString backendName()
{
#ifdef Z3_HAVE_GIO
    if (GSettings *settings = mouseSettings()) {
        g_object_unref(settings);
        return QStringLiteral("gnome");
    }
#endif
#ifdef Z3_HAVE_X11
    if (XDisplay x; x.dpy)
        return QStringLiteral("x11");
#endif
    return QString();
}

bool setPointerSpeed(int speed)
{
#ifdef Z3_HAVE_GIO
    if (GSettings *settings = mouseSettings())
        return finish(settings, g_settings_set_double(settings, "speed", desktopSpeedForPointerSpeed(speed)));
#endif
    Q_UNUSED(speed);
    return false;
}

bool setWheelScrollLines(int lines)
{
    Q_UNUSED(lines);
    return false;
}

bool setDoubleClickTime(int ms)
{
#ifdef Z3_HAVE_GIO
    if (GSettings *settings = mouseSettings()) {
        if (!hasKey(settings, "double-click")) {
            g_object_unref(settings);
            return false;
        }
        return finish(settings, g_settings_set_int(settings, "double-click", ms));
    }
#endif
    Q_UNUSED(ms);
    return false;
}

bool getAcceleration(bool &enabled)
{
#ifdef Z3_HAVE_GIO
    if (GSettings *settings = mouseSettings()) {
        if (hasKey(settings, "accel-profile")) {
            gchar *profile = g_settings_get_string(settings, "accel-profile");
            enabled = qstrcmp(profile, "flat") != 0;
            g_free(profile);
            g_object_unref(settings);
            return true;
        }
        g_object_unref(settings);
    }
#endif
#ifdef Z3_HAVE_X11
    XDisplay x;
    if (!x.dpy)
        return false;
    int numerator = 0, denominator = 0, threshold = 0;
    XGetPointerControl(x.dpy, &numerator, &denominator, &threshold);
    enabled = denominator > 0 && numerator > denominator;
    return true;
#else
    Q_UNUSED(enabled);
    return false;
#endif
}

bool setAcceleration(bool enabled)
{
#ifdef Z3_HAVE_GIO
    if (GSettings *settings = mouseSettings()) {
        if (hasKey(settings, "accel-profile")) {
            gchar *profile = g_settings_get_string(settings, "accel-profile");
            const bool isOn = qstrcmp(profile, "flat") != 0;
            g_free(profile);
            // An acceleration that is already on keeps its own profile.
            if (isOn == enabled) {
                g_object_unref(settings);
                return true;
            }
            return finish(settings,
                          g_settings_set_string(settings, "accel-profile", enabled ? "default" : "flat"));
        }
        g_object_unref(settings);
    }
#endif
#ifdef Z3_HAVE_X11
    XDisplay x;
    if (!x.dpy)
        return false;
    int numerator = 0, denominator = 0, threshold = 0;
    XGetPointerControl(x.dpy, &numerator, &denominator, &threshold);
    const bool isOn = denominator > 0 && numerator > denominator;
    if (isOn != enabled) {
        // Off is a factor of 1; on restores the server's default (2/1) and
        // falls back to 2/1 where that default is itself flat. The threshold
        // stays as it was.
        if (enabled)
            XChangePointerControl(x.dpy, True, False, -1, -1, -1);
        else
            XChangePointerControl(x.dpy, True, False, 1, 1, -1);
        if (enabled) {
            XGetPointerControl(x.dpy, &numerator, &denominator, &threshold);
            if (!(denominator > 0 && numerator > denominator))
                XChangePointerControl(x.dpy, True, False, 2, 1, -1);
        }
        XSync(x.dpy, False);
        XGetPointerControl(x.dpy, &numerator, &denominator, &threshold);
        return (denominator > 0 && numerator > denominator) == enabled;
    }
    return true;
#else
    Q_UNUSED(enabled);
    return false;
#endif
}

} // namespace PointerSettings

#pragma once
// The GNOME mouse settings the pointer layer writes, for checking them back.
// Tests run with GSETTINGS_BACKEND=memory, so nothing on the machine changes.

#if __has_include(<gio/gio.h>)
// glib names a struct member "signals", which Qt's precompiled headers define away.
#pragma push_macro("signals")
#undef signals
#include <gio/gio.h>
#pragma pop_macro("signals")
#define Z3_TEST_GIO 1

// nullptr when the schema (gsettings-desktop-schemas) is not installed; the
// caller unrefs the result with g_object_unref.
inline GSettings *bridgesGnomeMouseSettings()
{
    GSettingsSchemaSource *source = g_settings_schema_source_get_default();
    GSettingsSchema *schema =
        source ? g_settings_schema_source_lookup(source, "org.gnome.desktop.peripherals.mouse", TRUE) : nullptr;
    if (!schema)
        return nullptr;
    GSettings *mouse = g_settings_new_full(schema, nullptr, nullptr);
    g_settings_schema_unref(schema);
    return mouse;
}
#endif

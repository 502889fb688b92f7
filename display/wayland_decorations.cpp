// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "wayland_decorations.h"

#include <QByteArray>

#include <cstring>
#include <wayland-client.h>

namespace trazzo {

namespace {

void noteGlobal(void *offered, wl_registry *, uint32_t, const char *interface, uint32_t)
{
    if (std::strcmp(interface, "zxdg_decoration_manager_v1") == 0)
        *static_cast<bool *>(offered) = true;
}

void ignoreRemoval(void *, wl_registry *, uint32_t) {}

constexpr wl_registry_listener registryListener{noteGlobal, ignoreRemoval};

} // namespace

bool startsOnWayland()
{
    const QByteArray chosen = qgetenv("QT_QPA_PLATFORM");
    if (!chosen.isEmpty())
        return chosen.startsWith("wayland");
    return qEnvironmentVariableIsSet("WAYLAND_DISPLAY") || qgetenv("XDG_SESSION_TYPE") == "wayland";
}

bool compositorDrawsTitleBars()
{
    // A connection handed over in WAYLAND_SOCKET serves once, and that once is Qt's.
    if (qEnvironmentVariableIsSet("WAYLAND_SOCKET"))
        return false;
    wl_display *display = wl_display_connect(nullptr);
    if (!display)
        return false;
    bool offered = false;
    wl_registry *registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registryListener, &offered);
    if (wl_display_roundtrip(display) < 0)
        offered = false;
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    return offered;
}

} // namespace trazzo

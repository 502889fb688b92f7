// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace trazzo {

QPoint centredTopLeft(const QSize &size, const QRect &available)
{
    const int x = available.left() + (available.width() - size.width()) / 2;
    const int y = available.top() + (available.height() - size.height()) / 2;
    return {std::max(x, available.left()), std::max(y, available.top())};
}

void centreOnScreen(QWidget *window)
{
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        window->move(centredTopLeft(window->frameGeometry().size(), screen->availableGeometry()));
}

void ownBy(QWidget *window, QWidget *owner)
{
    if (!owner)
        return;
    // A parent widget would also pass on the owner's disabled state, which
    // the secondary windows must not share; the native owner link does not.
    window->winId();
    owner->window()->winId();
    window->windowHandle()->setTransientParent(owner->window()->windowHandle());
}

} // namespace trazzo

// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "window_placement.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QEvent>
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

namespace {

// A window opens on the screen of the window it belongs to, so that a
// player with two monitors meets it where the game is; the main window on
// the primary one.
const QScreen *screenFor(const QWidget *window, const QWidget *owner)
{
    const QWindow *handle = owner ? owner->window()->windowHandle() : nullptr;
    if (!handle && window->windowHandle())
        handle = window->windowHandle()->transientParent();
    if (handle && handle->screen())
        return handle->screen();
    return QGuiApplication::primaryScreen();
}

} // namespace

void centreOnScreen(QWidget *window)
{
    if (const QScreen *screen = screenFor(window, nullptr))
        window->move(centredTopLeft(window->frameGeometry().size(), screen->availableGeometry()));
}

void fitOnScreen(QWidget *window, const QWidget *framed)
{
    const QScreen *screen = screenFor(window, framed);
    if (!screen)
        return;
    // The window's own frame is known only once it is shown; the frame of
    // a window already on screen is the best guess before that.
    QSize frame;
    if (framed)
        frame = framed->window()->frameGeometry().size() - framed->window()->size();
    const QSize available = screen->availableGeometry().size();
    const QSize most = available * 9 / 10 - frame;
    if (window->width() > most.width() || window->height() > most.height()) {
        // Before the first show the least size is still the layout's hint;
        // the layout would impose it then, unless a least size is set here.
        window->setMinimumSize(window->minimumSize().expandedTo(window->minimumSizeHint()).boundedTo(most));
        window->resize(window->size().boundedTo(most));
    }
    window->move(centredTopLeft(window->size() + frame, screen->availableGeometry()));
}

namespace {

// Some window managers (openbox) offer a minimise button on every dialog,
// and minimising an owned window hides its owner with it: the whole game
// is gone from the screen. An owned window of ours comes straight back.
class StaysOnScreen : public QObject {
public:
    using QObject::QObject;

protected:
    // The window is brought back once the state change is over, from a
    // posted event of our own (its handler runs after the minimise).
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::WindowStateChange && static_cast<QWidget *>(watched)->isMinimized())
            QCoreApplication::postEvent(this, new QEvent(bringBack));
        return false;
    }

    bool event(QEvent *event) override
    {
        if (event->type() != bringBack)
            return QObject::event(event);
        auto *window = static_cast<QWidget *>(parent());
        window->showNormal();
        window->activateWindow();
        return true;
    }

private:
    static inline const auto bringBack = static_cast<QEvent::Type>(QEvent::registerEventType());
};

} // namespace

void ownBy(QWidget *window, QWidget *owner)
{
    if (!owner)
        return;
    window->installEventFilter(new StaysOnScreen(window));
    // A parent widget would also pass on the owner's disabled state, which
    // the secondary windows must not share; the native owner link does not.
    window->winId();
    owner->window()->winId();
    window->windowHandle()->setTransientParent(owner->window()->windowHandle());
}

} // namespace trazzo

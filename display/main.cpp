// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "fonts.h"
#include "form1.h"
#include "lost_windows.h"
#include "quit_signals.h"
#include "wayland_decorations.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QScopeGuard>
#include <QSessionManager>
#include <QTranslator>

#include <memory>
#include <cstdio>
#include <cstdlib>

namespace {

bool hasDisplay()
{
    // Qt aborts without one, with advice about reinstalling; say plainly what is missing.
    const auto set = [](const char *name) { return std::getenv(name) && *std::getenv(name); };
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (!platform.isEmpty() && !platform.startsWith("xcb") && !platform.startsWith("wayland"))
        return true; // offscreen, vnc and the like need neither
    return set("DISPLAY") || set("WAYLAND_DISPLAY");
}

// On Wayland, Qt 6.4 loads its EGL buffer integration (and with it Mesa and
// LLVM, some 50 MB) the moment it shows a window, if only to learn whether it
// may draw its own title bar. The game draws nothing with OpenGL, so where
// the compositor draws title bars itself (it offers xdg-decoration, as KDE
// Plasma and sway do) the game asks for an integration that does not exist:
// the windows then go through shared memory alone, and Qt asks the
// compositor for its title bar. Where it does not (GNOME, Weston) Qt keeps
// its integration, or the window would have no title bar to move or close it
// by. A player's own choice of integration always stands.
constexpr char BufferIntegration[] = "QT_WAYLAND_CLIENT_BUFFER_INTEGRATION";
constexpr char NoBufferIntegration[] = "trazzo-none";

QtMessageHandler qtDefaultHandler = nullptr;

// Qt reports the integration it did not find; that is the point, not news.
void quietAboutBufferIntegration(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (context.category && qstrcmp(context.category, "qt.qpa.wayland") == 0 &&
        message.contains(QLatin1String("client buffer integration")))
        return;
    qtDefaultHandler(type, context, message);
}

} // namespace

int main(int argc, char *argv[])
{
    if (!hasDisplay()) {
        std::fputs("trazzo: no display to open the window on (neither DISPLAY nor WAYLAND_DISPLAY is set)\n", stderr);
        return 1;
    }

    const bool ownBufferChoice = !qEnvironmentVariableIsSet(BufferIntegration) && trazzo::startsOnWayland() &&
                                 trazzo::compositorDrawsTitleBars();
    if (ownBufferChoice) {
        qputenv(BufferIntegration, NoBufferIntegration);
        qtDefaultHandler = qInstallMessageHandler(quietAboutBufferIntegration);
    }

    // Under GNOME's settings Qt loads its GTK platform theme, for the
    // desktop's dialogs and colours, and GTK then probes OpenGL, mapping
    // Mesa and LLVM (some 50 MB) for a game that draws nothing with it. GTK
    // reads this once, while Qt starts; a player's own choice stands, and
    // programs the game starts do not inherit ours.
    const bool ownGdkChoice = !qEnvironmentVariableIsSet("GDK_GL");
    if (ownGdkChoice)
        qputenv("GDK_GL", "disable");
    QApplication app(argc, argv);
    if (ownGdkChoice)
        qunsetenv("GDK_GL");
    // A logout, kill or Ctrl+C ends the game the way the exit command does:
    // the scores are saved first. Caught from here on, start-up included:
    // one that comes before the table is loaded waits for it. Before here
    // (the display still being opened) there is nothing to save, and the
    // signal's default ends a game stuck on a display that does not answer.
    trazzo::catchQuitSignals();
    trazzo::QuitSignals quitSignals;
    QApplication::setApplicationName(QStringLiteral("Trazzo"));
    // The desktop ties the windows to the menu entry by this name: the
    // Wayland app_id is it, and on X11 the entry names the window class
    // ("Trazzo", from the application name) in StartupWMClass.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.trazzo"));
    trazzo::installFontSubstitutes();

    // The game speaks Japanese whatever the desktop's language, and so do
    // Qt's own dialogs and buttons (the open dialog, OK, Cancel) when Qt's
    // Japanese translation is installed.
    QTranslator qtJapanese;
    if (qtJapanese.load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtJapanese);

    trazzo::Form1 form;
    // Qt ends the program with exit() when its display goes away; the
    // scores, and a name being typed, are saved on the way out.
    static trazzo::Form1 *formAtExit = nullptr;
    formAtExit = &form;
    const auto gone = qScopeGuard([] { formAtExit = nullptr; });
    std::atexit([] {
        if (formAtExit)
            formAtExit->saveScoresQuietly();
    });

    QObject::connect(&quitSignals, &trazzo::QuitSignals::quitAsked, &form, &trazzo::Form1::quitSaving);
    // A window another program destroyed under us ends or closes as if the
    // player had closed it.
    trazzo::LostWindows lostWindows(&form, [&form] { form.quitSaving(); });
    app.installNativeEventFilter(&lostWindows);
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &form,
                     [&form](QSessionManager &) { form.saveScoresQuietly(); });

    form.Form_Load();

    // Qt has read it by the first window; the text editor the read-me
    // command starts must not inherit it.
    if (ownBufferChoice) {
        qunsetenv(BufferIntegration);
        qInstallMessageHandler(qtDefaultHandler);
    }
    // Start-up handles events while it waits for the window; a quit taken
    // then came before there was a loop to end.
    if (form.exiting())
        return 0;
    return app.exec();
}

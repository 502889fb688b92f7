#include "fonts.h"
#include "form1.h"
#include "wayland_decorations.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QSessionManager>
#include <QSocketNotifier>
#include <QTranslator>

#include <csignal>
#include <memory>
#include <cstdio>
#include <cstdlib>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int quitPipe[2] = {-1, -1};

// Only the byte is written here; the save runs in the event loop.
void askToQuit(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(quitPipe[1], &byte, 1);
}

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
    QApplication::setApplicationName(QStringLiteral("Trazzo"));
    trazzo::installFontSubstitutes();

    // The game speaks Japanese whatever the desktop's language, and so do
    // Qt's own dialogs and buttons (the open dialog, OK, Cancel) when Qt's
    // Japanese translation is installed.
    QTranslator qtJapanese;
    if (qtJapanese.load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtJapanese);

    trazzo::Form1 form;

    // A logout, kill or Ctrl+C ends the game the way the exit command does:
    // the scores are saved first.
    std::unique_ptr<QSocketNotifier> quitNotifier;
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, quitPipe) == 0) {
        quitNotifier = std::make_unique<QSocketNotifier>(quitPipe[0], QSocketNotifier::Read);
        QObject::connect(quitNotifier.get(), &QSocketNotifier::activated, &form, [&form] {
            char byte;
            [[maybe_unused]] const ssize_t n = ::read(quitPipe[0], &byte, 1);
            form.quitSaving();
        });
        struct sigaction action {};
        action.sa_handler = askToQuit;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (int sig : {SIGTERM, SIGHUP, SIGINT})
            ::sigaction(sig, &action, nullptr);
    }
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &form,
                     [&form](QSessionManager &) { form.saveScoresQuietly(); });

    form.Form_Load();

    // Qt has read it by the first window; the text editor the read-me
    // command starts must not inherit it.
    if (ownBufferChoice) {
        qunsetenv(BufferIntegration);
        qInstallMessageHandler(qtDefaultHandler);
    }
    return app.exec();
}

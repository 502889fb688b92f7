#include "fonts.h"
#include "form1.h"

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

} // namespace

int main(int argc, char *argv[])
{
    if (!hasDisplay()) {
        std::fputs("trazzo: no display to open the window on (neither DISPLAY nor WAYLAND_DISPLAY is set)\n", stderr);
        return 1;
    }
    QApplication app(argc, argv);
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
    return app.exec();
}

// SPDX-FileCopyrightText: 2026 The Trazzo developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Start-up of the real program, seen from outside as a player sees it:
// the time from starting the process until its window is mapped, and until
// the board shows the title picture; then the program's resident memory on
// the title screen. Needs an X server with a black root (Xvfb -br).
//
// With --wayland the program runs on the Wayland compositor of
// WAYLAND_DISPLAY instead. Another client cannot watch its window there, so
// only its resident memory is read, once it has settled on the title screen,
// and whether it has mapped the OpenGL stack (Mesa's EGL, LLVM).
//
// With a reference program (bench/bare_window) the two are started in
// turn, run by run, so both meet the same machine, and the ratio of their
// start-up times and the difference of their memory are reported.
//
//   bench_startup [--wayland] <path to trazzo> [<reference>] [runs]

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <signal.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point t0) { return std::chrono::duration<double, std::milli>(Clock::now() - t0).count(); }

double residentMiB(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string key;
    while (status >> key) {
        if (key == "VmRSS:") {
            double kib = 0;
            status >> kib;
            return kib / 1024.0;
        }
        status.ignore(1 << 12, '\n');
    }
    return -1;
}

// Time the program's threads have spent on a CPU so far: unlike the time
// to the window, it hardly moves with what else the machine is doing.
double cpuMs(pid_t pid)
{
    double ns = 0;
    std::error_code error;
    for (const auto &task : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/task", error)) {
        std::ifstream schedstat(task.path() / "schedstat");
        double onCpu = 0;
        if (schedstat >> onCpu)
            ns += onCpu;
    }
    return ns / 1e6;
}

// The board fills the window's lower 421 pixels from 36 down, and the
// title's first letters cross its row 7. Before the title is drawn that
// row is one flat colour (the root's black, then the window's grey); drawn,
// it shows the tiles' many colours. A strip of four lines is read, so the
// X server spends next to nothing on the watching.
bool titleShown(Display *dpy, Window w)
{
    XWindowAttributes a;
    if (!XGetWindowAttributes(dpy, w, &a) || a.map_state != IsViewable || a.width < 500 || a.height < 421)
        return false;
    XImage *img = XGetImage(dpy, w, 12, a.height - 421 + 36 + 7 * 12 + 4, 476, 4, AllPlanes, ZPixmap);
    if (!img)
        return false;
    std::set<unsigned long> colours;
    for (int y = 0; y < img->height; ++y)
        for (int x = 0; x < img->width; ++x)
            colours.insert(XGetPixel(img, x, y));
    XDestroyImage(img);
    return colours.size() >= 3;
}

// The libraries a program that draws with OpenGL would have mapped.
bool mapsOpenGlStack(pid_t pid)
{
    std::ifstream maps("/proc/" + std::to_string(pid) + "/maps");
    std::string line;
    while (std::getline(maps, line))
        if (line.find("libLLVM") != std::string::npos || line.find("libEGL_mesa") != std::string::npos)
            return true;
    return false;
}

pid_t startProgram(const char *program, bool wayland)
{
    const pid_t pid = fork();
    if (pid == 0) {
        // Scores of a run of our own, never the player's.
        char data[] = "/tmp/trazzo-bench-XXXXXX";
        if (mkdtemp(data))
            setenv("XDG_DATA_HOME", data, 1);
        if (wayland)
            setenv("QT_QPA_PLATFORM", "wayland", 1);
        execl(program, program, static_cast<char *>(nullptr));
        _exit(127);
    }
    return pid;
}

struct Run {
    double mapped = -1, cpu = -1, painted = -1, rss = -1;
    bool openGl = false;
};

Run startOnWayland(const char *program)
{
    Run run;
    const pid_t pid = startProgram(program, true);
    std::this_thread::sleep_for(std::chrono::seconds(3));
    run.rss = residentMiB(pid);
    run.openGl = mapsOpenGlStack(pid);
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    return run;
}

// The game is watched until its title screen shows; the reference draws no
// title, so only its mapping is timed.
Run startOnce(const char *program, bool game)
{
    // A server that resets when its last client leaves refuses new ones
    // for a moment: try again for a second.
    Display *dpy = XOpenDisplay(nullptr);
    for (int i = 0; !dpy && i < 100; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        dpy = XOpenDisplay(nullptr);
    }
    if (!dpy) {
        std::fprintf(stderr, "bench_startup: no X display\n");
        std::exit(2);
    }
    const Window root = DefaultRootWindow(dpy);
    XSelectInput(dpy, root, SubstructureNotifyMask);
    XSync(dpy, False);

    Run run;
    const Clock::time_point t0 = Clock::now();
    const pid_t pid = startProgram(program, false);
    Window mapped = 0;
    while (msSince(t0) < 10000 && run.painted < 0) {
        while (XPending(dpy)) {
            XEvent e;
            XNextEvent(dpy, &e);
            if (e.type == MapNotify && !mapped) {
                XWindowAttributes a;
                // The main window is the first one of its size; tool tips
                // and menus are smaller.
                if (XGetWindowAttributes(dpy, e.xmap.window, &a) && a.width >= 400) {
                    mapped = e.xmap.window;
                    run.mapped = msSince(t0);
                    run.cpu = cpuMs(pid);
                }
            }
        }
        if (mapped && !game)
            break;
        if (mapped && titleShown(dpy, mapped))
            run.painted = msSince(t0);
        else
            std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    run.rss = residentMiB(pid);
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    XCloseDisplay(dpy);
    return run;
}

using Median = std::pair<double, double>; // median, worst

Median median(const std::vector<Run> &all, double Run::*field)
{
    std::vector<double> v;
    for (const Run &r : all)
        v.push_back(r.*field);
    std::sort(v.begin(), v.end());
    return {v[v.size() / 2], v.back()};
}

// Prints one program's figures; false when a run failed.
bool report(const char *program, const std::vector<Run> &all, bool wayland)
{
    const auto [rssMed, rssMax] = median(all, &Run::rss);
    std::printf("%s\n", program);
    if (wayland) {
        const bool openGl = std::any_of(all.begin(), all.end(), [](const Run &r) { return r.openGl; });
        std::printf("  resident, title screen %7.1f MiB / %7.1f MiB\n", rssMed, rssMax);
        std::printf("  OpenGL stack mapped    %s\n", openGl ? "yes" : "no");
        return std::none_of(all.begin(), all.end(), [](const Run &r) { return r.rss < 0; });
    }
    const auto [mapMed, mapMax] = median(all, &Run::mapped);
    std::printf("  window mapped          %7.1f ms / %7.1f ms\n", mapMed, mapMax);
    const auto [cpuMed, cpuMax] = median(all, &Run::cpu);
    std::printf("  CPU until mapped       %7.1f ms / %7.1f ms\n", cpuMed, cpuMax);
    if (median(all, &Run::painted).first >= 0) {
        const auto [paintMed, paintMax] = median(all, &Run::painted);
        std::printf("  title screen painted   %7.1f ms / %7.1f ms\n", paintMed, paintMax);
    }
    std::printf("  resident, title screen %7.1f MiB / %7.1f MiB\n", rssMed, rssMax);
    return std::none_of(all.begin(), all.end(), [](const Run &r) { return r.mapped < 0; });
}

} // namespace

int main(int argc, char **argv)
{
    const bool wayland = argc > 1 && std::string(argv[1]) == "--wayland";
    if (wayland) {
        --argc;
        ++argv;
    }
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_startup [--wayland] <trazzo> [<reference>] [runs]\n");
        return 2;
    }
    const char *game = argv[1];
    const char *reference = argc > 2 && std::atoi(argv[2]) == 0 ? argv[2] : nullptr;
    const char *runsArg = argc > (reference ? 3 : 2) ? argv[reference ? 3 : 2] : nullptr;
    const int runs = runsArg ? std::max(1, std::atoi(runsArg)) : 7;
    const auto once = [wayland](const char *program, bool game) {
        return wayland ? startOnWayland(program) : startOnce(program, game);
    };
    std::vector<Run> games, references;
    for (int i = 0; i < runs; ++i) {
        games.push_back(once(game, true));
        if (reference)
            references.push_back(once(reference, false));
    }
    const char *desktop = std::getenv("XDG_CURRENT_DESKTOP");
    std::printf("Start-up, %s build, %s, XDG_CURRENT_DESKTOP=%s, %d runs%s (median / worst)\n", TRAZZO_BUILD_TYPE,
                wayland ? "Wayland" : "X11", desktop ? desktop : "", runs, reference ? " each, in turn" : "");
    bool ok = report(game, games, wayland);
    if (!reference)
        return ok ? 0 : 1;
    ok = report(reference, references, wayland) && ok;
    const double rssMore = median(games, &Run::rss).first - median(references, &Run::rss).first;
    if (wayland)
        std::printf("game against reference: %+.1f MiB resident\n", rssMore);
    else
        std::printf("game against reference: %.2f x the time to the mapped window (%.2f x its CPU time), "
                    "%+.1f MiB resident\n",
                    median(games, &Run::mapped).first / median(references, &Run::mapped).first,
                    median(games, &Run::cpu).first / median(references, &Run::cpu).first, rssMore);
    return ok ? 0 : 1;
}

// The first screen of the grid under a real X server (Xvfb): from DATA表示
// pressed to the grid's cells drawn, the largest stall of the event loop
// from the press until the program has gone idle (a 10 ms timer's largest
// gap: the index built behind the window must not stop it), and peak RSS,
// for a small file (10,000 cases), the 1 M-case surveys (bytecode,
// uncompressed, .zsav), 5 M cases and, with --huge, 32 M cases (about
// 10 GB bytecode, 3.5 GB .zsav) and 10 M uncompressed cases (10 GB), deleted
// afterwards. Beside it psppire (PSPP's GUI) opens the same
// files, timed from its start until its data window shows cases (it is
// resized and put on its Data View tab first; a screenshot of its first
// cells holding more dark pixels than the empty data window's); each
// program's figure on the small file is its start-up, and the columns
// "beyond small" subtract it.
//
//   bench_first_screen [directory] [--huge] [--no-peer]
//   (default /tmp/lorivane-bench-grid; needs Xvfb, xdotool, psppire)
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "bench/support/bench_dialogs.h"
#include "bench/support/bench_files.h"
#include "bench/support/bench_runs.h"
#include "core/state/dialogs.h"
#include "forms/grid/grid_model.h"
#include "forms/grid/grid_view.h"
#include "forms/windows/DPGrid.h"
#include "forms/windows/spssfile.h"
#include "forms/windows/window_refs.h"

namespace {

using bench::Clock;
using bench::Seconds;

// CPU seconds this process has used.
double CpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Paints of the grid's cells, noticed from outside the window.
class PaintWatch final : public QObject {
  public:
    std::function<void()> drawn;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (drawn && event->type() == QEvent::Paint && lv::frmDPGrid &&
            watched == lv::frmDPGrid->StringGrid1->viewport()) {
            // Noted once the paint has been handled and flushed.
            QTimer::singleShot(0, drawn);
            drawn = nullptr;
        }
        return false;
    }
};

// The child: the main window with file chosen, DATA表示 pressed from the
// event loop, then watched until the process has been idle for half a
// second (whatever the window does after its first screen is measured).
int RunOurs(const std::string& file) {
    int argc = 1;
    char name[] = "bench_first_screen";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    bench::BenchDialogs dialogs;
    dialogs.answer = lv::ConfirmAnswer::No;
    lv::SetDialogs(&dialogs);
    lv::TForm1 form(file);
    form.show();
    QElapsedTimer clock;
    qint64 pressed = -1, drawnAt = -1, lastTick = -1, worstGap = 0, settledAt = -1;
    PaintWatch watch;
    app.installEventFilter(&watch);
    watch.drawn = [&] { drawnAt = clock.elapsed(); };
    QTimer ticks;
    ticks.setInterval(10);
    double cpuMark = 0;
    qint64 cpuMarkAt = 0;
    QObject::connect(&ticks, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        if (lastTick >= 0) worstGap = std::max(worstGap, now - lastTick);
        lastTick = now;
        if (drawnAt < 0 || now - cpuMarkAt < 500) return;
        // Idle: under 5% of a core over the last half second.
        const double cpu = CpuSeconds();
        if (cpu - cpuMark < 0.025 || now - pressed > 600'000) {
            settledAt = cpuMarkAt;
            app.quit();
        }
        cpuMark = cpu;
        cpuMarkAt = now;
    });
    QTimer::singleShot(500, [&] {
        clock.start();
        lastTick = 0;
        pressed = 0;
        ticks.start();
        form.Button5->click();
    });
    app.exec();
    long hwm = bench::StatusKb("VmHWM:");
    std::printf("first_screen_ms=%lld stall_ms=%lld idle_after_s=%.2f rows=%d peak_MB=%.1f\n",
                drawnAt - pressed, worstGap, settledAt / 1e3,
                lv::frmDPGrid ? lv::frmDPGrid->model->rowCount() : -1, hwm / 1e3);
    return drawnAt >= 0 ? 0 : 1;
}

// ---- the peer, watched from the parent ----

std::string Run(const std::string& command) {
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buf[256];
        while (std::fgets(buf, sizeof buf, p)) out += buf;
        pclose(p);
    }
    return out;
}

// The peer's window, resized to 1200 x 900: the dark pixels (text) of its
// cells left of the splash screen's place, and whether its Data View tab is
// the one chosen (the blue mark under the tab's name); with save, the
// screenshot is kept there too.
struct PeerShot {
    long dark = 0;
    bool dataView = false;
};

PeerShot ShootPeer(unsigned long id, const char* save = nullptr) {
    QScreen* screen = QGuiApplication::primaryScreen();
    const QImage image = screen->grabWindow(WId(id)).toImage();
    if (save) image.save(QString::fromUtf8(save));
    PeerShot shot;
    if (image.width() < 1200 || image.height() < 900) return shot;
    for (int y = 110; y < 840; ++y)
        for (int x = 90; x < 320; ++x)
            if (qGray(image.pixel(x, y)) < 96) ++shot.dark;
    const QRgb mark = image.pixel(50, 843);
    shot.dataView = qBlue(mark) > qRed(mark) + 60;
    return shot;
}

long st_size(const std::string& file) {
    struct stat st {};
    return stat(file.c_str(), &st) == 0 ? long(st.st_size) : 0;
}

struct PeerRun {
    double seconds = -1;  // from start until cases show (or the empty window settles)
    double peakMb = 0;
    long dark = 0;
};

// Starts psppire (on file, or none) and waits until its data window holds
// more than `blank` dark pixels; with blank < 0, until its window has shown
// for two seconds (the empty window's count is then taken).
PeerRun Psppire(const std::string& file, long blank) {
    PeerRun run;
    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        FILE* null = std::fopen("/dev/null", "w");
        dup2(fileno(null), 1);
        dup2(fileno(null), 2);
        if (file.empty())
            execlp("psppire", "psppire", nullptr);
        else
            execlp("psppire", "psppire", file.c_str(), nullptr);
        _exit(127);
    }
    unsigned long window = 0;
    while (Seconds(start) < 900) {
        if (!window) {
            const std::string found =
                Run("xdotool search --onlyvisible --name 'PSPPIRE Data Editor' 2>/dev/null");
            window = std::strtoul(found.c_str(), nullptr, 10);
            if (!window) {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
                continue;
            }
            const std::string w = std::to_string(window);
            Run("xdotool windowmove " + w + " 0 0 windowsize --sync " + w +
                " 1200 900 2>/dev/null");
        }
        // It opens on its Variable View: the Data View tab is clicked until
        // it shows, once the tips shown at start-up (a modal window over the
        // cells) are closed.
        const std::string hint =
            Run("xdotool search --onlyvisible --name 'User Hint' 2>/dev/null | head -1");
        if (std::strtoul(hint.c_str(), nullptr, 10) != 0)
            Run("xdotool windowfocus --sync " + hint.substr(0, hint.find('\n')) +
                " key Escape 2>/dev/null");
        const PeerShot shot = ShootPeer(window);
        if (!shot.dataView) {
            Run("xdotool mousemove --window " + std::to_string(window) +
                " 50 859 click 1 2>/dev/null");
            continue;
        }
        run.dark = shot.dark;
        if (blank >= 0 ? run.dark > blank + 200 : Seconds(start) > 3.0) {
            run.seconds = Seconds(start);
            if (const char* keep = std::getenv("BENCH_PEER_SHOTS"))
                ShootPeer(window, (std::string(keep) + "/" +
                                   std::to_string(blank < 0 ? 0 : st_size(file)) + ".png")
                                      .c_str());
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (blank < 0) {
        std::this_thread::sleep_for(std::chrono::seconds(2));
        run.dark = window ? ShootPeer(window).dark : 0;
    }
    // Its own peak: wait4's would also count this process's pages at the fork.
    run.peakMb = bench::StatusKb("VmHWM:", pid) / 1e3;
    kill(pid, SIGTERM);
    int status = 0;
    rusage ru{};
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    if (wait4(pid, &status, WNOHANG, &ru) == 0) {
        kill(pid, SIGKILL);
        wait4(pid, &status, 0, &ru);
    }
    return run;
}

// An X server of our own on a free display; its pid.
pid_t StartXvfb(std::string* display) {
    for (int n = 97; n < 120; ++n) {
        if (access(("/tmp/.X11-unix/X" + std::to_string(n)).c_str(), F_OK) == 0) continue;
        *display = ":" + std::to_string(n);
        const pid_t pid = fork();
        if (pid == 0) {
            FILE* null = std::fopen("/dev/null", "w");
            dup2(fileno(null), 2);
            execlp("Xvfb", "Xvfb", display->c_str(), "-screen", "0", "1280x1024x24", "-nolisten",
                   "tcp", nullptr);
            _exit(127);
        }
        for (int i = 0; i < 100; ++i) {
            if (access(("/tmp/.X11-unix/X" + std::to_string(n)).c_str(), F_OK) == 0) return pid;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    return -1;
}

double Field(const std::string& out, const char* key) {
    const size_t at = out.find(key);
    return at == std::string::npos ? -1 : std::atof(out.c_str() + at + std::strlen(key));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--child") == 0) return RunOurs(argv[3]);
    bool huge = false, peer = true;
    std::string dir = "/tmp/lorivane-bench-grid";
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--huge") == 0)
            huge = true;
        else if (std::strcmp(argv[i], "--no-peer") == 0)
            peer = false;
        else
            dir = argv[i];
    }
    mkdir(dir.c_str(), 0755);
    using fixture::Compression;
    struct Item {
        std::string file;
        const char* what;
    };
    std::vector<Item> items = {
        {benchfiles::EnsureSurvey(dir, 1, Compression::Bytecode), "10 k, bytecode"},
        {benchfiles::EnsureSurvey(dir, 100, Compression::Bytecode), "1 M x 40, bytecode"},
        {benchfiles::EnsureSurvey(dir, 100, Compression::None), "1 M x 40, uncompressed"},
        {benchfiles::EnsureSurvey(dir, 100, Compression::Zlib), "1 M x 40, .zsav"},
        {benchfiles::EnsureSurvey(dir, 500, Compression::Bytecode), "5 M x 40, bytecode"},
    };
    const size_t small = items.size();
    if (huge) {
        items.push_back(
            {benchfiles::EnsureSurvey(dir, 3200, Compression::Bytecode), "32 M x 40, bytecode"});
        items.push_back(
            {benchfiles::EnsureSurvey(dir, 1000, Compression::None), "10 M x 40, uncompressed"});
        items.push_back(
            {benchfiles::EnsureSurvey(dir, 3200, Compression::Zlib), "32 M x 40, .zsav"});
    }
    std::string display;
    const pid_t xvfb = StartXvfb(&display);
    if (xvfb < 0) {
        std::fprintf(stderr, "bench_first_screen: no Xvfb display could be started\n");
        return 1;
    }
    setenv("DISPLAY", display.c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    char exe[4096];
    const ssize_t len = readlink("/proc/self/exe", exe, sizeof exe - 1);
    exe[len > 0 ? len : 0] = 0;
    int qargc = 1;
    QGuiApplication app(qargc, argv);  // the screenshots of the peer's window
    long blank = -1;
    if (peer) blank = Psppire("", -1).dark;
    std::printf(
        "| file | MB | lorivane: first screen s | beyond small s | largest stall ms | idle "
        "after s | peak RSS MB | psppire: first screen s | beyond small s | peak RSS MB |\n");
    std::printf("|---|---|---|---|---|---|---|---|---|---|\n");
    double oursSmall = -1, peerSmall = -1;
    for (const Item& it : items) {
        struct stat st {};
        stat(it.file.c_str(), &st);
        const bench::Measure m = bench::Spawn({exe, "--child", "ours", it.file});
        const double ours = Field(m.out, "first_screen_ms=") / 1e3;
        if (oursSmall < 0) oursSmall = ours;
        std::printf("| %s | %.0f | %.3f | %.3f | %.0f | %.2f | %.0f |", it.what, st.st_size / 1e6,
                    ours, ours - oursSmall, Field(m.out, "stall_ms="),
                    Field(m.out, "idle_after_s="), Field(m.out, "peak_MB="));
        if (peer) {
            const PeerRun p = Psppire(it.file, blank);
            if (peerSmall < 0) peerSmall = p.seconds;
            std::printf(" %.3f | %.3f | %.0f |\n", p.seconds, p.seconds - peerSmall, p.peakMb);
        } else {
            std::printf(" - | - | - |\n");
        }
        std::fflush(stdout);
    }
    for (size_t i = small; i < items.size(); ++i) unlink(items[i].file.c_str());
    kill(xvfb, SIGTERM);
    waitpid(xvfb, nullptr, 0);
    return 0;
}

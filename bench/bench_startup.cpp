// Start-up of the program against a bare Qt window of the same size, on one Xvfb
// display: the time from exec to the main window mapped, and the resident memory
// once it is up, on the demo school and on a school of 400 classes. The two programs
// take turns, so that a slow spell of the machine falls on both alike.
//
//     bench_startup            (runs the comparison)
//     bench_startup --bare     (the bare window itself)
#include "bench/GeneratedSchool.h"
#include "core/SchoolData.h"
#include "encoding/ValueCipher.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>

#include <xcb/xcb.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

constexpr int kRuns = 11;
constexpr int kWidth = 900;
constexpr int kHeight = 650;
constexpr int kMapTimeoutMs = 20000;
// After the window is mapped it paints; memory is read once that has happened.
constexpr int kSettleMs = 400;
constexpr double kTargetRatio = 1.5;
constexpr double kTargetMemoryMb = 55;

double nowMs()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

int bareWindow(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowFlags(Qt::FramelessWindowHint);
    window.resize(kWidth, kHeight);
    window.show();
    return app.exec();
}

// A virtual display of our own, found free by Xvfb itself.
class VirtualDisplay
{
public:
    bool start()
    {
        int fds[2];
        if (pipe(fds) != 0)
            return false;
        const std::string fd = std::to_string(fds[1]);
        std::vector<const char*> args = {"Xvfb",         "-displayfd", fd.c_str(), "-screen", "0",
                                         "1280x1024x24", "-nolisten",  "tcp",      nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        const int spawned =
            posix_spawnp(&m_pid, "Xvfb", &actions, nullptr, const_cast<char* const*>(args.data()), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        if (spawned != 0) {
            close(fds[0]);
            m_pid = 0;
            return false;
        }
        std::string number;
        pollfd wait{fds[0], POLLIN, 0};
        char c = 0;
        while (poll(&wait, 1, 10000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n')
            number += c;
        close(fds[0]);
        if (number.empty())
            return false;
        m_name = ":" + number;
        m_connection = xcb_connect(m_name.c_str(), nullptr);
        if (xcb_connection_has_error(m_connection))
            return false;
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(m_connection);
        return true;
    }

    ~VirtualDisplay()
    {
        if (m_connection)
            xcb_disconnect(m_connection);
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
        }
    }

    const std::string& name() const { return m_name; }

    // Waits until a top-level window of the main window's size is mapped; false on
    // timeout.
    bool waitForMainWindow(int timeoutMs)
    {
        const double end = nowMs() + timeoutMs;
        pollfd wait{xcb_get_file_descriptor(m_connection), POLLIN, 0};
        while (nowMs() < end) {
            while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
                const bool mapped = (event->response_type & ~0x80) == XCB_MAP_NOTIFY;
                const xcb_window_t window =
                    mapped ? reinterpret_cast<xcb_map_notify_event_t*>(event)->window : 0;
                free(event);
                if (mapped && hasMainWindowSize(window))
                    return true;
            }
            poll(&wait, 1, int(std::max(1.0, end - nowMs())));
        }
        return false;
    }

private:
    bool hasMainWindowSize(xcb_window_t window)
    {
        xcb_get_geometry_reply_t* geometry =
            xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, window), nullptr);
        const bool fits = geometry && geometry->width == kWidth && geometry->height == kHeight;
        free(geometry);
        return fits;
    }

    pid_t m_pid = 0;
    std::string m_name;
    xcb_connection_t* m_connection = nullptr;
    xcb_window_t m_root = 0;
};

struct Sample
{
    double startMs = 0;
    double residentMb = 0;
};

double residentMb(pid_t pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return -1;
}

// Starts `program` with `args` on the display, times it to its main window and reads
// its memory, then ends it.
std::optional<Sample> measure(VirtualDisplay& display, const std::string& program,
                              const std::vector<std::string>& args, const QString& dataHome)
{
    std::vector<std::string> environment;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        if (entry.rfind("DISPLAY=", 0) == 0 || entry.rfind("QT_QPA_PLATFORM=", 0) == 0 ||
            entry.rfind("XDG_DATA_HOME=", 0) == 0 || entry.rfind("TABULON_APP_FOLDER=", 0) == 0 ||
            entry.rfind("WAYLAND_DISPLAY=", 0) == 0)
            continue;
        environment.push_back(entry);
    }
    environment.push_back("DISPLAY=" + display.name());
    environment.push_back("QT_QPA_PLATFORM=xcb");
    environment.push_back("XDG_DATA_HOME=" + dataHome.toStdString());
    std::vector<char*> envp;
    for (std::string& entry : environment)
        envp.push_back(entry.data());
    envp.push_back(nullptr);
    std::vector<std::string> argvStore = {program};
    argvStore.insert(argvStore.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : argvStore)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    pid_t pid = 0;
    const double start = nowMs();
    if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), envp.data()) != 0)
        return std::nullopt;
    const bool mapped = display.waitForMainWindow(kMapTimeoutMs);
    const double elapsed = nowMs() - start;
    usleep(kSettleMs * 1000);
    const double memory = residentMb(pid);
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    if (!mapped)
        return std::nullopt;
    return Sample{elapsed, memory};
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

bool writeSettings(const QString& programData)
{
    QFile settings(programData + QStringLiteral("/Tabulon.ini"));
    if (!settings.open(QIODevice::WriteOnly))
        return false;
    for (const char* line : {"Tabulon", "lokalny", "", "http://127.0.0.1:9", "25", "127.0.0.1",
                             "nauczyciel@x", "haslo", "sekretariat@x"})
        settings.write(EncodeValue(QString::fromUtf8(line)).toLatin1() + "\r\n");
    return settings.error() == QFileDevice::NoError;
}

// A teacher's data folder with settings and the school that `fill` writes into Files/.
bool prepareHome(const QString& dataHome, const std::function<bool(const QString&)>& fill)
{
    const QString programData = dataHome + QStringLiteral("/Orvix/Tabulon");
    return QDir().mkpath(programData + QStringLiteral("/Files")) &&
           QDir().mkpath(programData + QStringLiteral("/Temp")) && writeSettings(programData) &&
           fill(programData + QStringLiteral("/Files"));
}

bool compare(VirtualDisplay& display, const std::string& self, const char* school, const QString& dataHome,
             bool checkMemory)
{
    std::vector<double> programStart, bareStart, programMemory, bareMemory;
    // One round unmeasured, so that both start from warm file caches.
    for (int round = -1; round < kRuns; ++round) {
        const std::optional<Sample> bare = measure(display, self, {"--bare"}, dataHome);
        const std::optional<Sample> program = measure(display, TABULON_PROGRAM, {}, dataHome);
        if (!bare || !program) {
            std::fprintf(stderr, "bench_startup: %s window was not mapped within %d ms\n",
                         bare ? "the program's" : "the bare", kMapTimeoutMs);
            return false;
        }
        if (round < 0)
            continue;
        bareStart.push_back(bare->startMs);
        programStart.push_back(program->startMs);
        bareMemory.push_back(bare->residentMb);
        programMemory.push_back(program->residentMb);
    }
    const double ratio = median(programStart) / median(bareStart);
    const double memory = median(programMemory);
    std::printf("%s: start-up %.1f ms against %.1f ms for a bare window, %.2fx (target within %.1fx: %s)\n",
                school, median(programStart), median(bareStart), ratio, kTargetRatio,
                ratio <= kTargetRatio ? "met" : "MISSED");
    std::printf("%s: resident memory %.1f MB against %.1f MB for a bare window", school, memory,
                median(bareMemory));
    if (checkMemory)
        std::printf(" (target under %.0f MB: %s)", kTargetMemoryMb,
                    memory < kTargetMemoryMb ? "met" : "MISSED");
    std::printf("\n");
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--bare") == 0)
        return bareWindow(argc, argv);

    QTemporaryDir scratch;
    const QString demoHome = scratch.filePath(QStringLiteral("demo"));
    const QString largeHome = scratch.filePath(QStringLiteral("large"));
    const bool prepared =
        prepareHome(demoHome,
                    [](const QString& files) {
                        for (const QString& name : {kTeachersFile, kSubjectsFile, kClassesFile}) {
                            if (!QFile::copy(QStringLiteral(TABULON_SOURCE_DIR "/demo/school/") + name,
                                             files + QLatin1Char('/') + name))
                                return false;
                        }
                        return true;
                    }) &&
        prepareHome(largeHome, [](const QString& files) {
            WriteGeneratedSchool(
                files, [](const QString& v) { return EncodeValue(v); }, true);
            return true;
        });
    if (!prepared) {
        std::fprintf(stderr, "bench_startup: cannot prepare the schools in %s\n", qPrintable(scratch.path()));
        return 1;
    }

    VirtualDisplay display;
    if (!display.start()) {
        std::fprintf(stderr, "bench_startup: cannot start Xvfb (install xvfb)\n");
        return 1;
    }
    std::printf("median of %d runs each, alternated on Xvfb %s\n", kRuns, display.name().c_str());
    char self[4096] = {};
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0)
        return 1;
    const bool done = compare(display, self, "demo school (8 classes)", demoHome, false) &&
                      compare(display, self, "school of 400 classes", largeHome, true);
    return done ? 0 : 1;
}

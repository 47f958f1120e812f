// The footprint benchmark: a bare Qt window and Trillora started alternately on one Xvfb, then the
// soak and the tone patterns' timing; prints medians and ratios.
#include "ProcessProbe.h"
#include "Median.h"
#include "XServer.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using namespace std::chrono;

namespace {

struct Program
{
    std::string name;
    std::vector<std::string> argv;
    // Windows mapped before the idle measurement starts: Trillora's splash, then its main window.
    int windows = 2;
};

struct Launch
{
    double firstWindowMs = 0;
    Memory memory;
    double cpuTickPct = 0;
    double cpuNsPct = 0;
    double wakeUpsPerSecond = 0;
};

struct Options
{
    int runs = 5;
    int warmup = 1;
    int idleS = 30;
    bool launches = true;
    bool soak = true;
    bool patterns = true;
    std::vector<Program> comparisons;
};

template <typename F>
double medianOf(const std::vector<Launch> &launches, F field)
{
    std::vector<double> v;
    for (const Launch &l : launches)
        v.push_back(field(l));
    return Bench::median(v);
}

std::string ownFolder()
{
    return fs::canonical("/proc/self/exe").parent_path().string();
}

std::map<std::string, std::string> displayEnvironment(const XServer &x, const std::string &runtime)
{
    return {{"DISPLAY", x.name()}, {"QT_QPA_PLATFORM", "xcb"}, {"XDG_RUNTIME_DIR", runtime}};
}

bool measureLaunch(XServer &x, const Program &p, const Options &o, const std::string &runtime, Launch &out)
{
    x.discardEvents();
    const auto t0 = Clock::now();
    const pid_t pid = spawn(p.argv, displayEnvironment(x, runtime));
    if (pid < 0) {
        std::fprintf(stderr, "cannot start %s\n", p.argv.front().c_str());
        return false;
    }
    Clock::time_point mappedAt;
    if (!x.waitForMap(t0 + seconds(20), mappedAt)) {
        std::fprintf(stderr, "%s: no window within 20 s\n", p.name.c_str());
        stopProcess(pid);
        return false;
    }
    out.firstWindowMs = duration<double, std::milli>(mappedAt - t0).count();
    std::this_thread::sleep_until(mappedAt + seconds(3));
    out.memory = readMemory(pid);

    if (o.idleS == 0) {
        stopProcess(pid);
        return true;
    }
    for (int w = 1; w < p.windows; ++w) {
        if (!x.waitForMap(Clock::now() + seconds(20), mappedAt)) {
            std::fprintf(stderr, "%s: window %d never came\n", p.name.c_str(), w + 1);
            stopProcess(pid);
            return false;
        }
    }
    // Idle as a user leaves it: the last window's first paint settled and the caret's ten seconds
    // after its last input over (the references' caret never rests).
    std::this_thread::sleep_until(mappedAt + seconds(12));
    const Cpu before = readCpu(pid);
    const auto t1 = Clock::now();
    std::this_thread::sleep_for(seconds(o.idleS));
    const Cpu after = readCpu(pid);
    const double elapsedS = duration<double>(Clock::now() - t1).count();
    stopProcess(pid);

    out.cpuTickPct = 100.0 * (after.ticks - before.ticks) / ticksPerSecond() / elapsedS;
    out.cpuNsPct = 100.0 * (after.ns - before.ns) / 1e9 / elapsedS;
    out.wakeUpsPerSecond = (after.wakeUps - before.wakeUps) / elapsedS;
    return true;
}

void printLaunch(const Program &p, const Launch &l)
{
    std::printf("  %-14s first window %6.1f ms  RSS %6.1f MiB (anon %5.1f, file %5.1f, shm %4.1f)  "
                "idle CPU %.3f %% (ticks) %.4f %% (schedstat)  %.1f wake-ups/s\n",
                p.name.c_str(), l.firstWindowMs, l.memory.rssKiB / 1024.0, l.memory.anonKiB / 1024.0,
                l.memory.fileKiB / 1024.0, l.memory.shmemKiB / 1024.0, l.cpuTickPct, l.cpuNsPct,
                l.wakeUpsPerSecond);
    std::fflush(stdout);
}

void printTable(const std::vector<Program> &programs, const std::vector<std::vector<Launch>> &launches,
                   const Options &o)
{
    const auto &bare = launches[0];
    const auto &trillora = launches[1];
    const auto row = [&](const char *figure, const char *unit, auto field, const char *target, double limit,
                          bool ratio) {
        const double b = medianOf(bare, field);
        const double t = medianOf(trillora, field);
        std::printf("| %s (%s) | %.4g | %.4g", figure, unit, b, t);
        if (ratio)
            std::printf(" (%.2f×)", b > 0 ? t / b : 0.0);
        for (std::size_t i = 2; i < programs.size(); ++i) {
            const double c = medianOf(launches[i], field);
            std::printf(" | %.4g", c);
            if (ratio)
                std::printf(" (%.2f×)", b > 0 ? c / b : 0.0);
        }
        const double measure = ratio ? (b > 0 ? t / b : 0.0) : t;
        std::printf(" | %s | %s |\n", target, measure <= limit ? "met" : "NOT met");
    };

    std::printf("\nMedians of %d launches each (after %d warm-up), alternating on one Xvfb; idle over %d s from 12 s after the last window.\n\n",
                o.runs, o.warmup, o.idleS);
    std::printf("| figure | %s | %s", programs[0].name.c_str(), programs[1].name.c_str());
    for (std::size_t i = 2; i < programs.size(); ++i)
        std::printf(" | %s", programs[i].name.c_str());
    std::printf(" | target | |\n|---|---|---");
    for (std::size_t i = 2; i < programs.size(); ++i)
        std::printf("|---");
    std::printf("|---|---|\n");
    row("launch → first window", "ms", [](const Launch &l) { return l.firstWindowMs; }, "≤ 1.3×", 1.3, true);
    row("resident memory 3 s after the first window", "MiB",
        [](const Launch &l) { return l.memory.rssKiB / 1024.0; }, "≤ 1.15×", 1.15, true);
    row("CPU while idle, /proc stat ticks", "% of a core", [](const Launch &l) { return l.cpuTickPct; },
        "≤ 0.08 %", 0.08, false);
    row("CPU while idle, schedstat", "% of a core", [](const Launch &l) { return l.cpuNsPct; }, "≤ 0.08 %", 0.08,
        false);
    row("wake-ups while idle", "per s", [](const Launch &l) { return l.wakeUpsPerSecond; }, "—", 1e9, false);
}

void measureLaunches(XServer &x, const std::vector<Program> &programs, const Options &o, const std::string &runtime)
{
    std::vector<std::vector<Launch>> launches(programs.size());
    for (int round = 0; round < o.warmup + o.runs; ++round) {
        const bool warmUp = round < o.warmup;
        std::printf("%s %d\n", warmUp ? "warm-up" : "run", warmUp ? round + 1 : round - o.warmup + 1);
        // Alternating order, so neither program always follows the other.
        std::vector<std::size_t> order(programs.size());
        for (std::size_t i = 0; i < order.size(); ++i)
            order[i] = i;
        if (round % 2)
            std::reverse(order.begin(), order.end());
        for (std::size_t i : order) {
            Launch l;
            if (!measureLaunch(x, programs[i], o, runtime, l))
                std::exit(1);
            printLaunch(programs[i], l);
            if (!warmUp)
                launches[i].push_back(l);
        }
    }
    printTable(programs, launches, o);
}

// A helper benchmark beside this one, with its output passed through.
int runChild(const std::vector<std::string> &argv, const std::map<std::string, std::string> &env)
{
    std::fflush(stdout);
    const pid_t pid = fork();
    if (pid == 0) {
        for (const auto &[key, value] : env)
            setenv(key.c_str(), value.c_str(), 1);
        std::vector<char *> args;
        for (const std::string &a : argv)
            args.push_back(const_cast<char *>(a.c_str()));
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

// The tone patterns on each kind of device: ALSA's default is chosen by an .asoundrc in a HOME of
// the benchmark's own.
int measurePatterns(const std::string &here, const std::string &runtime, int runs)
{
    const std::string card = here + "/libasound_module_pcm_trillora_bench_card.so";
    const std::pair<std::string, std::string> devices[] = {
        {"no sound card", "pcm.!default { type hw card 99 }\n"},
        {"ALSA null device", "pcm.!default { type null }\n"},
        {"ALSA file device", "pcm.!default { type file slave.pcm \"null\" file \"@/out.wav\" format \"wav\" }\n"},
        {"clocked card", "pcm_type.trillora_bench_card { lib \"" + card + "\" }\npcm.!default { type trillora_bench_card }\n"},
    };
    std::printf("Tone patterns, wall-clock length through the sound module (median of %d, each after a second "
                "without tones):\n\n| device | pattern | nominal (ms) | first run (ms) | median (ms) | deviation | "
                "within 3 %% |\n|---|---|---|---|---|---|---|\n",
                runs);
    int result = 0;
    for (const auto &[name, asoundrc] : devices) {
        const std::string home = runtime + "/home-" + std::to_string(&name - &devices[0].first);
        fs::create_directories(home);
        std::string config = asoundrc;
        if (const auto at = config.find('@'); at != std::string::npos)
            config.replace(at, 1, home);
        std::ofstream(home + "/.asoundrc") << config;
        result |= runChild({here + "/bench_patterns", name, std::to_string(runs)},
                           {{"HOME", home}, {"XDG_RUNTIME_DIR", runtime}, {"QT_QPA_PLATFORM", "offscreen"}});
    }
    return result;
}

Options readOptions(int argc, char **argv)
{
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a == "--runs" && hasValue)
            o.runs = std::max(1, std::atoi(argv[++i]));
        else if (a == "--warmup" && hasValue)
            o.warmup = std::max(0, std::atoi(argv[++i]));
        else if (a == "--idle" && hasValue)
            o.idleS = std::max(0, std::atoi(argv[++i]));
        else if (a == "--only" && hasValue) {
            const std::string which = argv[++i];
            o.launches = which == "launch";
            o.soak = which == "soak";
            o.patterns = which == "patterns";
        } else if (a == "--compare" && hasValue) {
            // LABEL=PATH, with arguments after blanks; a program whose name has "bare" in it
            // shows one window, any other a splash and then its main window.
            const std::string entry = argv[++i];
            const auto eq = entry.find('=');
            std::istringstream parts(entry.substr(eq + 1));
            std::vector<std::string> args;
            for (std::string part; parts >> part;)
                args.push_back(args.empty() ? fs::absolute(part).string() : part);
            const bool oneWindow = args.front().find("bare") != std::string::npos;
            o.comparisons.push_back({entry.substr(0, eq), args, oneWindow ? 1 : 2});
        } else {
            std::fprintf(stderr,
                         "usage: %s [--runs N] [--warmup N] [--idle SECONDS, 0 skips it] [--only launch|soak|patterns]\n"
                         "          [--compare 'LABEL=PATH [ARGS]' (another build, or bench_bare_window --clock|--entry)]\n",
                         argv[0]);
            std::exit(2);
        }
    }
    return o;
}

} // namespace

int main(int argc, char **argv)
{
    const Options o = readOptions(argc, argv);
    const std::string here = ownFolder();
    // build/bench/footprint/ -> build/
    const std::string build = fs::path(here).parent_path().parent_path().string();

    std::printf("Machine: %s\n", describeMachine().c_str());
    XServer x;
    if (!x.ok()) {
        std::fprintf(stderr, "cannot start Xvfb (package xvfb)\n");
        return 1;
    }
    char runtime[] = "/tmp/trillora-footprint-XXXXXX";
    if (!mkdtemp(runtime))
        return 1;

    int result = 0;
    if (o.launches) {
        std::vector<Program> programs {
            {"bare Qt window", {here + "/bench_bare_window"}, 1},
            {"Trillora", {build + "/trillora"}, 2},
            {"Qt window with clock and entry", {here + "/bench_bare_window", "--clock-and-entry"}, 1}};
        programs.insert(programs.end(), o.comparisons.begin(), o.comparisons.end());
        measureLaunches(x, programs, o, runtime);
    }
    if (o.soak) {
        std::printf("\nSoak on the same Xvfb: resident memory and heap in use (glibc mallinfo2) before and after, with Qt's pixmap cache (bounded) emptied before each reading.\n\n");
        auto env = displayEnvironment(x, runtime);
        result |= runChild({here + "/bench_soak"}, env);
    }
    if (o.patterns) {
        std::printf("\n");
        result |= measurePatterns(here, runtime, 3);
    }
    fs::remove_all(runtime);
    return result;
}

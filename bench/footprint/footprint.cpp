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

struct Programma
{
    std::string nome;
    std::vector<std::string> argv;
    // Windows mapped before the idle measurement starts: Trillora's splash, then its main window.
    int finestre = 2;
};

struct Lancio
{
    double primaFinestraMs = 0;
    Memoria memoria;
    double cpuTickPct = 0;
    double cpuNsPct = 0;
    double risvegliAlSecondo = 0;
};

struct Opzioni
{
    int runs = 5;
    int warmup = 1;
    int idleS = 30;
    bool lanci = true;
    bool soak = true;
    bool patterns = true;
    std::vector<Programma> confronti;
};

template <typename F>
double medianaDi(const std::vector<Lancio> &lanci, F campo)
{
    std::vector<double> v;
    for (const Lancio &l : lanci)
        v.push_back(campo(l));
    return Banco::mediana(v);
}

std::string cartellaDiQuesto()
{
    return fs::canonical("/proc/self/exe").parent_path().string();
}

std::map<std::string, std::string> ambienteGrafico(const XServer &x, const std::string &runtime)
{
    return {{"DISPLAY", x.name()}, {"QT_QPA_PLATFORM", "xcb"}, {"XDG_RUNTIME_DIR", runtime}};
}

bool lancia(XServer &x, const Programma &p, const Opzioni &o, const std::string &runtime, Lancio &out)
{
    x.scarta();
    const auto t0 = Orologio::now();
    const pid_t pid = avvia(p.argv, ambienteGrafico(x, runtime));
    if (pid < 0) {
        std::fprintf(stderr, "cannot start %s\n", p.argv.front().c_str());
        return false;
    }
    Orologio::time_point mappa;
    if (!x.attendiMappa(t0 + seconds(20), mappa)) {
        std::fprintf(stderr, "%s: no window within 20 s\n", p.nome.c_str());
        termina(pid);
        return false;
    }
    out.primaFinestraMs = duration<double, std::milli>(mappa - t0).count();
    std::this_thread::sleep_until(mappa + seconds(3));
    out.memoria = leggiMemoria(pid);

    if (o.idleS == 0) {
        termina(pid);
        return true;
    }
    for (int w = 1; w < p.finestre; ++w) {
        if (!x.attendiMappa(Orologio::now() + seconds(20), mappa)) {
            std::fprintf(stderr, "%s: window %d never came\n", p.nome.c_str(), w + 1);
            termina(pid);
            return false;
        }
    }
    // Idle as a user leaves it: the last window's first paint settled and the caret's ten seconds
    // after its last input over (the references' caret never rests).
    std::this_thread::sleep_until(mappa + seconds(12));
    const Cpu prima = leggiCpu(pid);
    const auto t1 = Orologio::now();
    std::this_thread::sleep_for(seconds(o.idleS));
    const Cpu dopo = leggiCpu(pid);
    const double secondi = duration<double>(Orologio::now() - t1).count();
    termina(pid);

    out.cpuTickPct = 100.0 * (dopo.ticks - prima.ticks) / ticksPerSecond() / secondi;
    out.cpuNsPct = 100.0 * (dopo.ns - prima.ns) / 1e9 / secondi;
    out.risvegliAlSecondo = (dopo.wakeUps - prima.wakeUps) / secondi;
    return true;
}

void stampaLancio(const Programma &p, const Lancio &l)
{
    std::printf("  %-14s first window %6.1f ms  RSS %6.1f MiB (anon %5.1f, file %5.1f, shm %4.1f)  "
                "idle CPU %.3f %% (ticks) %.4f %% (schedstat)  %.1f wake-ups/s\n",
                p.nome.c_str(), l.primaFinestraMs, l.memoria.rssKiB / 1024.0, l.memoria.anonKiB / 1024.0,
                l.memoria.fileKiB / 1024.0, l.memoria.shmemKiB / 1024.0, l.cpuTickPct, l.cpuNsPct,
                l.risvegliAlSecondo);
    std::fflush(stdout);
}

void stampaTabella(const std::vector<Programma> &programmi, const std::vector<std::vector<Lancio>> &lanci,
                   const Opzioni &o)
{
    const auto &bare = lanci[0];
    const auto &trillora = lanci[1];
    const auto riga = [&](const char *figura, const char *unita, auto campo, const char *obiettivo, double limite,
                          bool rapporto) {
        const double b = medianaDi(bare, campo);
        const double t = medianaDi(trillora, campo);
        std::printf("| %s (%s) | %.4g | %.4g", figura, unita, b, t);
        if (rapporto)
            std::printf(" (%.2f×)", b > 0 ? t / b : 0.0);
        for (std::size_t i = 2; i < programmi.size(); ++i) {
            const double c = medianaDi(lanci[i], campo);
            std::printf(" | %.4g", c);
            if (rapporto)
                std::printf(" (%.2f×)", b > 0 ? c / b : 0.0);
        }
        const double misura = rapporto ? (b > 0 ? t / b : 0.0) : t;
        std::printf(" | %s | %s |\n", obiettivo, misura <= limite ? "met" : "NOT met");
    };

    std::printf("\nMedians of %d launches each (after %d warm-up), alternating on one Xvfb; idle over %d s from 12 s after the last window.\n\n",
                o.runs, o.warmup, o.idleS);
    std::printf("| figure | %s | %s", programmi[0].nome.c_str(), programmi[1].nome.c_str());
    for (std::size_t i = 2; i < programmi.size(); ++i)
        std::printf(" | %s", programmi[i].nome.c_str());
    std::printf(" | target | |\n|---|---|---");
    for (std::size_t i = 2; i < programmi.size(); ++i)
        std::printf("|---");
    std::printf("|---|---|\n");
    riga("launch → first window", "ms", [](const Lancio &l) { return l.primaFinestraMs; }, "≤ 1.3×", 1.3, true);
    riga("resident memory 3 s after the first window", "MiB",
         [](const Lancio &l) { return l.memoria.rssKiB / 1024.0; }, "≤ 1.15×", 1.15, true);
    riga("CPU while idle, /proc stat ticks", "% of a core", [](const Lancio &l) { return l.cpuTickPct; },
         "≤ 0.08 %", 0.08, false);
    riga("CPU while idle, schedstat", "% of a core", [](const Lancio &l) { return l.cpuNsPct; }, "≤ 0.08 %", 0.08,
         false);
    riga("wake-ups while idle", "per s", [](const Lancio &l) { return l.risvegliAlSecondo; }, "—", 1e9, false);
}

void misuraLanci(XServer &x, const std::vector<Programma> &programmi, const Opzioni &o, const std::string &runtime)
{
    std::vector<std::vector<Lancio>> lanci(programmi.size());
    for (int round = 0; round < o.warmup + o.runs; ++round) {
        const bool riscaldamento = round < o.warmup;
        std::printf("%s %d\n", riscaldamento ? "warm-up" : "run", riscaldamento ? round + 1 : round - o.warmup + 1);
        // Alternating order, so neither program always follows the other.
        std::vector<std::size_t> ordine(programmi.size());
        for (std::size_t i = 0; i < ordine.size(); ++i)
            ordine[i] = i;
        if (round % 2)
            std::reverse(ordine.begin(), ordine.end());
        for (std::size_t i : ordine) {
            Lancio l;
            if (!lancia(x, programmi[i], o, runtime, l))
                std::exit(1);
            stampaLancio(programmi[i], l);
            if (!riscaldamento)
                lanci[i].push_back(l);
        }
    }
    stampaTabella(programmi, lanci, o);
}

// A helper benchmark beside this one, with its output passed through.
int esegui(const std::vector<std::string> &argv, const std::map<std::string, std::string> &env)
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
int misuraSchemi(const std::string &qui, const std::string &runtime, int runs)
{
    const std::string carta = qui + "/libasound_module_pcm_trillora_bench_card.so";
    const std::pair<std::string, std::string> dispositivi[] = {
        {"no sound card", "pcm.!default { type hw card 99 }\n"},
        {"ALSA null device", "pcm.!default { type null }\n"},
        {"ALSA file device", "pcm.!default { type file slave.pcm \"null\" file \"@/out.wav\" format \"wav\" }\n"},
        {"clocked card", "pcm_type.trillora_bench_card { lib \"" + carta + "\" }\npcm.!default { type trillora_bench_card }\n"},
    };
    std::printf("Tone patterns, wall-clock length through the sound module (median of %d, each after a second "
                "without tones):\n\n| device | pattern | nominal (ms) | first run (ms) | median (ms) | deviation | "
                "within 3 %% |\n|---|---|---|---|---|---|---|\n",
                runs);
    int esito = 0;
    for (const auto &[nome, asoundrc] : dispositivi) {
        const std::string home = runtime + "/home-" + std::to_string(&nome - &dispositivi[0].first);
        fs::create_directories(home);
        std::string testo = asoundrc;
        if (const auto at = testo.find('@'); at != std::string::npos)
            testo.replace(at, 1, home);
        std::ofstream(home + "/.asoundrc") << testo;
        esito |= esegui({qui + "/bench_patterns", nome, std::to_string(runs)},
                        {{"HOME", home}, {"XDG_RUNTIME_DIR", runtime}, {"QT_QPA_PLATFORM", "offscreen"}});
    }
    return esito;
}

Opzioni leggiOpzioni(int argc, char **argv)
{
    Opzioni o;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool valore = i + 1 < argc;
        if (a == "--runs" && valore)
            o.runs = std::max(1, std::atoi(argv[++i]));
        else if (a == "--warmup" && valore)
            o.warmup = std::max(0, std::atoi(argv[++i]));
        else if (a == "--idle" && valore)
            o.idleS = std::max(0, std::atoi(argv[++i]));
        else if (a == "--only" && valore) {
            const std::string parte = argv[++i];
            o.lanci = parte == "launch";
            o.soak = parte == "soak";
            o.patterns = parte == "patterns";
        } else if (a == "--compare" && valore) {
            // LABEL=PATH, with arguments after blanks; a program whose name has "bare" in it
            // shows one window, any other a splash and then its main window.
            const std::string voce = argv[++i];
            const auto eq = voce.find('=');
            std::istringstream parts(voce.substr(eq + 1));
            std::vector<std::string> args;
            for (std::string part; parts >> part;)
                args.push_back(args.empty() ? fs::absolute(part).string() : part);
            const bool unaFinestra = args.front().find("bare") != std::string::npos;
            o.confronti.push_back({voce.substr(0, eq), args, unaFinestra ? 1 : 2});
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
    const Opzioni o = leggiOpzioni(argc, argv);
    const std::string qui = cartellaDiQuesto();
    // build/bench/footprint/ -> build/
    const std::string build = fs::path(qui).parent_path().parent_path().string();

    std::printf("Machine: %s\n", descriviMacchina().c_str());
    XServer x;
    if (!x.ok()) {
        std::fprintf(stderr, "cannot start Xvfb (package xvfb)\n");
        return 1;
    }
    char runtime[] = "/tmp/trillora-footprint-XXXXXX";
    if (!mkdtemp(runtime))
        return 1;

    int esito = 0;
    if (o.lanci) {
        std::vector<Programma> programmi {
            {"bare Qt window", {qui + "/bench_bare_window"}, 1},
            {"Trillora", {build + "/trillora"}, 2},
            {"Qt window with clock and entry", {qui + "/bench_bare_window", "--clock-and-entry"}, 1}};
        programmi.insert(programmi.end(), o.confronti.begin(), o.confronti.end());
        misuraLanci(x, programmi, o, runtime);
    }
    if (o.soak) {
        std::printf("\nSoak on the same Xvfb: resident memory and heap in use (glibc mallinfo2) before and after, with Qt's pixmap cache (bounded) emptied before each reading.\n\n");
        auto env = ambienteGrafico(x, runtime);
        esito |= esegui({qui + "/bench_soak"}, env);
    }
    if (o.patterns) {
        std::printf("\n");
        esito |= misuraSchemi(qui, runtime, 3);
    }
    fs::remove_all(runtime);
    return esito;
}

// Readings of /proc for the footprint benchmark.
#include "ProcessProbe.h"

#include <dirent.h>
#include <fstream>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace {

std::string procFolder(pid_t pid)
{
    return "/proc/" + std::to_string(pid);
}

long campoStatus(const std::string &file, const std::string &key)
{
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        if (line.compare(0, key.size(), key) == 0 && line.size() > key.size() && line[key.size()] == ':')
            return std::stol(line.substr(key.size() + 1));
    }
    return 0;
}

} // namespace

Memory readMemory(pid_t pid)
{
    const std::string status = procFolder(pid) + "/status";
    Memory m;
    m.rssKiB = campoStatus(status, "VmRSS");
    m.anonKiB = campoStatus(status, "RssAnon");
    m.fileKiB = campoStatus(status, "RssFile");
    m.shmemKiB = campoStatus(status, "RssShmem");
    return m;
}

Cpu readCpu(pid_t pid)
{
    Cpu c;
    {
        std::ifstream in(procFolder(pid) + "/stat");
        std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        // The command name may hold blanks; the fields after it are counted from its closing ")".
        const auto close = all.rfind(')');
        if (close != std::string::npos) {
            std::istringstream fields(all.substr(close + 2));
            std::string field;
            for (int n = 3; fields >> field; ++n) {
                if (n == 14 || n == 15)
                    c.ticks += std::stol(field);
                if (n == 15)
                    break;
            }
        }
    }
    const std::string tasks = procFolder(pid) + "/task";
    if (DIR *dir = opendir(tasks.c_str())) {
        while (dirent *entry = readdir(dir)) {
            if (entry->d_name[0] == '.')
                continue;
            const std::string task = tasks + "/" + entry->d_name;
            std::ifstream sched(task + "/schedstat");
            long long onCpu = 0;
            if (sched >> onCpu)
                c.ns += onCpu;
            c.wakeUps += campoStatus(task + "/status", "voluntary_ctxt_switches")
                + campoStatus(task + "/status", "nonvoluntary_ctxt_switches");
        }
        closedir(dir);
    }
    return c;
}

long ticksPerSecond()
{
    return sysconf(_SC_CLK_TCK);
}

std::string describeMachine()
{
    std::ifstream cpuinfo("/proc/cpuinfo");
    std::string line;
    std::string model = "unknown CPU";
    while (std::getline(cpuinfo, line)) {
        if (line.rfind("model name", 0) == 0) {
            model = line.substr(line.find(':') + 2);
            break;
        }
    }
    std::ifstream loadavg("/proc/loadavg");
    double one = 0;
    loadavg >> one;
    std::ostringstream out;
    out << model << ", " << std::thread::hardware_concurrency() << " cores, load " << one;
    return out.str();
}

// What /proc tells about a running process: resident memory, CPU time and wake-ups, all threads included.
#pragma once

#include <string>
#include <sys/types.h>

struct Memory
{
    long rssKiB = 0;   // VmRSS
    long anonKiB = 0;  // RssAnon: heap, stacks, relocated data
    long fileKiB = 0;  // RssFile: pages of the program and its libraries, fonts
    long shmemKiB = 0; // RssShmem: the X shared-memory back buffers
};

struct Cpu
{
    long ticks = 0;      // utime + stime of /proc/<pid>/stat, in clock ticks
    long long ns = 0;    // time on a CPU summed over /proc/<pid>/task/*/schedstat
    long wakeUps = 0;    // voluntary + involuntary context switches of every thread
};

Memory readMemory(pid_t pid);
Cpu readCpu(pid_t pid);
long ticksPerSecond();

// "Intel(R) Xeon(R) ... , 2 cores" and the load, for the table's heading.
std::string describeMachine();

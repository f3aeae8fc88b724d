// Keeps a benchmark's main thread on one CPU.
//
// Moved between CPUs, a step finds its pixels in neither CPU's own cache and costs three to
// four times as much, which on a busy machine is more noise than anything measured. Qt's
// helper threads (the raster engine spreads larger blits over them) may run on any CPU.
#pragma once

#include <QDir>
#include <QStringList>

#include <sched.h>
#include <unistd.h>

// Keeps the calling thread on `cpu` and lets every other thread of the process run anywhere.
inline bool hauptFadenFest(int cpu)
{
    cpu_set_t nur{}, alle{};
    CPU_ZERO(&nur);
    CPU_SET(cpu, &nur);
    CPU_ZERO(&alle);
    for (int c = 0; c < CPU_SETSIZE; ++c)
        CPU_SET(c, &alle);
    const pid_t ich = gettid();
    for (const QString &faden :
         QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const pid_t tid = faden.toInt();
        if (tid != ich)
            sched_setaffinity(tid, sizeof alle, &alle);
    }
    return sched_setaffinity(0, sizeof nur, &nur) == 0;
}

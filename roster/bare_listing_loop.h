// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The floor every roster figure is measured against: a loop that lists a
// folder and reads each file's first line, and does nothing else.

#include <QDir>
#include <QDirIterator>
#include <QFile>

#include <sys/resource.h>

namespace dexlan::benchmarks {

// Lists folder and reads each file's first line; the number of files read.
inline int bareListingLoop(const QString& folder) {
    int lines = 0;
    QDirIterator it(folder, QDir::Files | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        QFile file(it.next());
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = file.readLine();
        lines += line.isEmpty() ? 0 : 1;
    }
    return lines;
}

// The CPU time of the whole process so far, every thread counted, in seconds.
inline double processCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

} // namespace dexlan::benchmarks

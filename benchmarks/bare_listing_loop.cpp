// SPDX-License-Identifier: GPL-3.0-or-later
// The bare loop on its own, for measurements from outside the program:
//   build/bench/benchmarks/bare_listing_loop FOLDER [RUNS]
// prints the median of RUNS runs: "wall_ms W cpu_ms C files N".

#include "benchmarks/bare_listing_loop.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include <algorithm>
#include <vector>

int main(int argc, char** argv) {
    using namespace dexlan::benchmarks;
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 2) {
        QTextStream(stderr) << "usage: bare_listing_loop FOLDER [RUNS]\n";
        return 2;
    }
    const int runs = args.size() > 2 ? std::max(1, args[2].toInt()) : 5;
    std::vector<double> walls, cpus;
    int files = 0;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer clock;
        const double cpuBefore = processCpuSeconds();
        clock.start();
        files = bareListingLoop(args[1]);
        walls.push_back(double(clock.nsecsElapsed()) / 1e6);
        cpus.push_back((processCpuSeconds() - cpuBefore) * 1000.0);
    }
    std::sort(walls.begin(), walls.end());
    std::sort(cpus.begin(), cpus.end());
    QTextStream(stdout) << "wall_ms " << walls[walls.size() / 2] << " cpu_ms "
                        << cpus[cpus.size() / 2] << " files " << files << "\n";
    return 0;
}

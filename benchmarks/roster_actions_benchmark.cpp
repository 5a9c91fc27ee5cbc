// SPDX-License-Identifier: GPL-3.0-or-later
// What a user waits for on the History Files page with 10,000 and 100,000
// users, each figure beside a bare loop that lists the same folder and reads
// each file's first line, measured in the same run:
//   cmake --preset bench && cmake --build --preset bench
//   build/bench/benchmarks/roster_actions_benchmark
// The options window is the program's own, shown (offscreen unless a display
// is named); an action ends when the window has painted its outcome. The run
// ends with the table of ratios and their goals.
// With DEXLAN_BENCH_SHARE naming a folder on the school's share that holds
// u2000/ and u5000/ (tools/benchmark lays them out and mounts the share), the
// listing, adding and deleting are measured there instead, beside the bare
// loop and a bare read of one first line on the same share.

#include "benchmarks/bare_listing_loop.h"
#include "benchmarks/roster_benchmarks.h"
#include "options_window/options_window.h"
#include "platform/dialogs.h"
#include "roster/core/history_file.h"
#include "roster/core/user_list_model.h"
#include "roster/widgets/user_list_panel.h"
#include "roster/widgets/user_roster.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTabBar>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <unistd.h>
#include <vector>

namespace dexlan {
namespace {

using benchmarks::folderOfUsers;
using benchmarks::SilentDialogs;

// The options window of a network installation with an open user list in folder.
struct Window {
    explicit Window(const QString& folder) {
        OptionLines& lines = state.optionLines;
        lines[EntryHeader] = "Options File";
        lines[EntryTitle] = "Corvantis Dexlan Training System 4";
        lines[EntryInstallation] = "network";
        lines[EntryHistoryMode] = values::kHistRosterOpen;
        lines[EntryHistoryLocation] = QFile::encodeName(folder);
        lines[EntryManualAdvance] = "f2 on";
        lines[EntrySounds] = "sfx all";
        lines[EntryDocuments] = "documents on";
        state.fileOptionLines = lines;
        state.programFolder = folder;
        state.historyFolder = folder;
        state.docsInstalled = true;
        state.screenScale = 1.0;
        state.pathPolicy = PathPolicy::posix();
        state.startupDone = true;
        window = std::make_unique<OptionsWindow>(state, dialogs);
        window->resize(640, 440);
        window->setLocationText(folder);
        window->show();
        tabs = window->findChild<QTabBar*>(QStringLiteral("tbsOptions"));
        list = window->findChild<QListView*>(QStringLiteral("List1"));
        tabs->setCurrentIndex(1);
        settle();
    }
    static void settle() { QApplication::processEvents(); }
    int rows() const { return list->model()->rowCount(); }
    int reads() const { return window->roster().folderReads(); }

    SharedState state;
    SilentDialogs dialogs;
    std::unique_ptr<OptionsWindow> window;
    QTabBar* tabs = nullptr;
    QListView* list = nullptr;
};

void countReads(benchmark::State& state, const Window& window, int readsBefore) {
    state.counters["reads"] = benchmark::Counter(double(window.reads() - readsBefore),
                                                 benchmark::Counter::kAvgIterations);
}

void BM_BareLoop(benchmark::State& state, const QString& folder) {
    for (auto _ : state)
        benchmark::DoNotOptimize(benchmarks::bareListingLoop(folder));
}

// One user's first line, read with nothing but open, read and close.
void BM_BareRead(benchmark::State& state, const QString& folder) {
    const QString file = folder + newHistoryFileName(1);
    for (auto _ : state)
        if (!benchmarks::bareFirstLineRead(file))
            state.SkipWithError("the first user's file cannot be read");
}

// The History Files tab chosen from the Current Options tab.
void BM_HistoryFilesTab(benchmark::State& state, const QString& folder) {
    Window window(folder);
    const int readsBefore = window.reads();
    for (auto _ : state) {
        state.PauseTiming();
        window.tabs->setCurrentIndex(0);
        Window::settle();
        state.ResumeTiming();
        window.tabs->setCurrentIndex(1);
        Window::settle();
    }
    countReads(state, window, readsBefore);
    if (window.rows() != state.range(0))
        state.SkipWithError("not every user was listed");
}

// Enter in the location box.
void BM_EnterInLocationBox(benchmark::State& state, const QString& folder) {
    Window window(folder);
    QLineEdit* box = window.window->locationEdit();
    const int readsBefore = window.reads();
    for (auto _ : state) {
        state.PauseTiming();
        box->setFocus();
        Window::settle();
        state.ResumeTiming();
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(box, &enter);
        Window::settle();
    }
    countReads(state, window, readsBefore);
    if (window.rows() != state.range(0))
        state.SkipWithError("not every user was listed");
}

// Deletes the row showing name, as the user does with "Delete name".
void deleteRow(Window& window, const QString& name) {
    const UserListModel& rows = window.window->roster().model();
    window.list->setCurrentIndex(rows.index(rows.rowOf(name)));
    window.window->userListPanel().deleteSelectedName();
}

// A name added: from OK in AddNamesDialog to the list redrawn. Deleting it
// again, untimed, keeps the folder as it was.
void BM_AddName(benchmark::State& state, const QString& folder) {
    Window window(folder);
    window.state.confirmDelete = false;
    int added = 0;
    double seconds = 0;
    window.dialogs.onModal = [&](QDialog& dialog) {
        auto* text = dialog.findChild<QLineEdit*>(QStringLiteral("Text1"));
        auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("Command1"));
        text->setText(QStringLiteral("New user %1").arg(++added));
        QElapsedTimer clock;
        clock.start();
        ok->click();
        Window::settle();
        seconds = double(clock.nsecsElapsed()) / 1e9;
    };
    const int readsBefore = window.reads();
    for (auto _ : state) {
        window.window->userListPanel().addNames();
        state.SetIterationTime(seconds);
        deleteRow(window, QStringLiteral("New user %1").arg(added));
        Window::settle();
    }
    countReads(state, window, readsBefore);
    if (window.rows() != state.range(0))
        state.SkipWithError("a name was not added and deleted again");
}

// A name deleted: from "Delete name" to the list redrawn. Adding it first,
// untimed, keeps the folder as it was.
void BM_DeleteName(benchmark::State& state, const QString& folder) {
    Window window(folder);
    window.state.confirmDelete = false;
    window.dialogs.onModal = [](QDialog& dialog) {
        dialog.findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(QStringLiteral("Doomed"));
        dialog.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    };
    const int readsBefore = window.reads();
    for (auto _ : state) {
        state.PauseTiming();
        window.window->userListPanel().addNames();
        Window::settle();
        const UserListModel& rows = window.window->roster().model();
        window.list->setCurrentIndex(rows.index(rows.rowOf(QStringLiteral("Doomed"))));
        state.ResumeTiming();
        window.window->userListPanel().deleteSelectedName();
        Window::settle();
    }
    countReads(state, window, readsBefore);
    if (window.rows() != state.range(0))
        state.SkipWithError("a name was not added and deleted again");
}

// The console's report, kept for the table of ratios at the end.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    RatioReporter() : ConsoleReporter(isatty(fileno(stdout)) ? OO_ColorTabular : OO_Tabular) {}

    struct Figure {
        double realMs = 0;
        double cpuMs = 0;
        double reads = -1;
    };
    std::map<std::string, Figure> figures;

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred)
                continue;
            Figure figure;
            const double toMs = 1000.0 / double(run.iterations);
            figure.realMs = run.real_accumulated_time * toMs;
            figure.cpuMs = run.cpu_accumulated_time * toMs;
            if (const auto reads = run.counters.find("reads"); reads != run.counters.end())
                figure.reads = reads->second.value;
            figures[run.benchmark_name()] = figure;
        }
        ConsoleReporter::ReportRuns(runs);
    }

    // One table row: a figure's name, what it measures, and its goal (none: 0).
    struct Row {
        const char* name;
        const char* what;
        double goal;
    };

    // The figures named prefix + row for each number of users, as ratios to
    // the figure named prefix + floorName of the same run and users.
    void printRatios(const std::string& prefix, std::initializer_list<int> userCounts,
                     const char* floorName, const char* floorWhat,
                     std::initializer_list<Row> rows) const {
        std::printf("%-8s %-50s %10s %8s %8s %7s\n", "users", "what", "wall ms", "ratio", "goal",
                    "reads");
        for (const int users : userCounts) {
            const std::string arg = "/" + std::to_string(users);
            const Figure* floor = find(prefix + floorName + arg + "/");
            if (!floor)
                continue;
            std::printf("%-8d %-50s %10.3f %8s %8s %7s   (CPU %.3f ms)\n", users, floorWhat,
                        floor->realMs, "1.00x", "", "", floor->cpuMs);
            for (const Row& row : rows) {
                const Figure* f = find(prefix + row.name + arg + "/");
                if (!f)
                    continue;
                const double ratio = f->realMs / floor->realMs;
                const QByteArray goal =
                    row.goal > 0 ? "<= " + QByteArray::number(row.goal) + "x" : QByteArray("-");
                std::printf("%-8d %-50s %10.1f %7.2fx %7s %7.1f   %s\n", users, row.what, f->realMs,
                            ratio, goal.constData(), f->reads,
                            row.goal <= 0       ? ""
                            : ratio <= row.goal ? "met"
                                                : "NOT MET");
            }
        }
    }

  private:
    const Figure* find(const std::string& start) const {
        for (const auto& [name, figure] : figures)
            if (name.rfind(start, 0) == 0)
                return &figure;
        return nullptr;
    }
};

// Registers each figure for a folder of each number of users, named prefix +
// the figure's name; folderFor gives the folder.
void registerFor(const std::string& prefix, std::initializer_list<int> userCounts,
                 const std::function<QString(int)>& folderFor, int changes) {
    using Measure = void (*)(benchmark::State&, const QString&);
    for (const int users : userCounts) {
        const QString folder = folderFor(users);
        const auto add = [&](const char* name, Measure measure) {
            return benchmark::RegisterBenchmark(
                       (prefix + name).c_str(),
                       [measure, folder](benchmark::State& state) { measure(state, folder); })
                ->Arg(users)
                ->Unit(benchmark::kMillisecond);
        };
        add("BareLoop", BM_BareLoop)->UseRealTime()->MeasureProcessCPUTime();
        add("BareRead", BM_BareRead)->UseRealTime()->MeasureProcessCPUTime();
        add("HistoryFilesTab", BM_HistoryFilesTab)->UseRealTime()->MeasureProcessCPUTime();
        add("EnterInLocationBox", BM_EnterInLocationBox)->UseRealTime()->MeasureProcessCPUTime();
        const int iterations = users > 10000 ? changes / 5 : changes;
        add("AddName", BM_AddName)->UseManualTime()->Iterations(iterations);
        add("DeleteName", BM_DeleteName)
            ->UseRealTime()
            ->MeasureProcessCPUTime()
            ->Iterations(iterations);
    }
}

void runAll() {
    RatioReporter reporter;
    const QString share = qEnvironmentVariable("DEXLAN_BENCH_SHARE");
    if (share.isEmpty()) {
        registerFor("BM_", {10000, 100000}, folderOfUsers, 100);
        benchmark::RunSpecifiedBenchmarks(&reporter);
        std::printf("\n== Ratios to the bare loop of this run (wall time; CPU of every thread)\n");
        reporter.printRatios("BM_", {10000, 100000}, "BareLoop",
                             "bare loop: list, read each first line",
                             {{"HistoryFilesTab", "rebuilding: History Files tab", 1.2},
                              {"EnterInLocationBox", "rebuilding: Enter in the location box", 1.2},
                              {"DeleteName", "deleting a name, to the list redrawn", 1.2},
                              {"AddName", "adding a name, OK to the list redrawn", 1.3}});
        return;
    }
    // Fewer changes: each is a few round trips to the server.
    registerFor(
        "Share_", {2000, 5000},
        [&](int users) { return share + QStringLiteral("/u%1/").arg(users); }, 20);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n== On the school's share: listings to the bare loop on the same share\n");
    reporter.printRatios("Share_", {2000, 5000}, "BareLoop",
                         "bare loop on the share: list, read each first line",
                         {{"HistoryFilesTab", "listing: History Files tab", 0.2},
                          {"EnterInLocationBox", "listing: Enter in the location box", 0.2}});
    std::printf(
        "\n== On the school's share: adding and deleting to one bare first-line read there\n");
    reporter.printRatios("Share_", {2000, 5000}, "BareRead",
                         "bare read of one first line (open, read, close)",
                         {{"AddName", "adding a name, OK to the list redrawn", 0},
                          {"DeleteName", "deleting a name, to the list redrawn", 0}});
}

} // namespace
} // namespace dexlan

int main(int argc, char** argv) {
    return dexlan::benchmarks::benchmarkMain(argc, argv, [] { dexlan::runAll(); });
}

// SPDX-License-Identifier: GPL-3.0-or-later
// What a user waits for on the History Files page with 10,000 and 100,000
// users, each figure beside a bare loop that lists the same folder and reads
// each file's first line, measured in the same run:
//   cmake --preset bench && cmake --build --preset bench
//   build/bench/options_window/roster_actions_benchmark
// The options window is the program's own, shown (offscreen unless a display
// is named); an action ends when the window has painted its outcome. The run
// ends with the table of ratios and their goals.

#include "options_window/options_window.h"
#include "platform/dialogs.h"
#include "roster/bare_listing_loop.h"
#include "roster/history_file.h"
#include "roster/roster_benchmarks.h"
#include "roster/user_list_model.h"
#include "roster/user_roster.h"

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

void BM_BareLoop(benchmark::State& state) {
    const QString folder = folderOfUsers(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(benchmarks::bareListingLoop(folder));
}

// The History Files tab chosen from the Current Options tab.
void BM_HistoryFilesTab(benchmark::State& state) {
    Window window(folderOfUsers(int(state.range(0))));
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
void BM_EnterInLocationBox(benchmark::State& state) {
    Window window(folderOfUsers(int(state.range(0))));
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
    window.window->roster().deleteSelectedName();
}

// A name added: from OK in AddNamesDialog to the list redrawn. Deleting it
// again, untimed, keeps the folder as it was.
void BM_AddName(benchmark::State& state) {
    Window window(folderOfUsers(int(state.range(0))));
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
        window.window->roster().addNames();
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
void BM_DeleteName(benchmark::State& state) {
    Window window(folderOfUsers(int(state.range(0))));
    window.state.confirmDelete = false;
    window.dialogs.onModal = [](QDialog& dialog) {
        dialog.findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(QStringLiteral("Doomed"));
        dialog.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    };
    const int readsBefore = window.reads();
    for (auto _ : state) {
        state.PauseTiming();
        window.window->roster().addNames();
        Window::settle();
        const UserListModel& rows = window.window->roster().model();
        window.list->setCurrentIndex(rows.index(rows.rowOf(QStringLiteral("Doomed"))));
        state.ResumeTiming();
        window.window->roster().deleteSelectedName();
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

    void printRatios() const {
        std::printf("\n== Ratios to the bare loop of this run (wall time; CPU of every thread)\n");
        std::printf("%-8s %-44s %10s %8s %8s %7s\n", "users", "what", "wall ms", "ratio", "goal",
                    "reads");
        for (const int users : {10000, 100000}) {
            const std::string arg = "/" + std::to_string(users);
            const auto bare = figures.find("BM_BareLoop" + arg + "/process_time/real_time");
            if (bare == figures.end())
                continue;
            const Figure& floor = bare->second;
            std::printf("%-8d %-44s %10.1f %8s %8s %7s   (CPU %.1f ms)\n", users,
                        "bare loop: list, read each first line", floor.realMs, "1.00x", "", "",
                        floor.cpuMs);
            const struct {
                const char* name;
                const char* what;
                double goal;
            } rows[] = {
                {"BM_HistoryFilesTab", "rebuilding: History Files tab", 1.2},
                {"BM_EnterInLocationBox", "rebuilding: Enter in the location box", 1.2},
                {"BM_DeleteName", "deleting a name, to the list redrawn", 1.2},
                {"BM_AddName", "adding a name, OK to the list redrawn", 1.3},
            };
            for (const auto& row : rows) {
                auto found = figures.end();
                for (auto it = figures.begin(); it != figures.end(); ++it)
                    if (it->first.rfind(std::string(row.name) + arg + "/", 0) == 0)
                        found = it;
                if (found == figures.end())
                    continue;
                const Figure& f = found->second;
                const double ratio = f.realMs / floor.realMs;
                std::printf("%-8d %-44s %10.1f %7.2fx %7s %7.1f   %s\n", users, row.what, f.realMs,
                            ratio,
                            (QByteArray("<= ") + QByteArray::number(row.goal) + "x").constData(),
                            f.reads, ratio <= row.goal ? "met" : "NOT MET");
            }
        }
    }
};

void registerAll() {
    for (const int users : {10000, 100000}) {
        benchmark::RegisterBenchmark("BM_BareLoop", BM_BareLoop)
            ->Arg(users)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->MeasureProcessCPUTime();
        benchmark::RegisterBenchmark("BM_HistoryFilesTab", BM_HistoryFilesTab)
            ->Arg(users)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->MeasureProcessCPUTime();
        benchmark::RegisterBenchmark("BM_EnterInLocationBox", BM_EnterInLocationBox)
            ->Arg(users)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->MeasureProcessCPUTime();
        benchmark::RegisterBenchmark("BM_AddName", BM_AddName)
            ->Arg(users)
            ->Unit(benchmark::kMillisecond)
            ->UseManualTime()
            ->Iterations(users > 10000 ? 20 : 100);
        benchmark::RegisterBenchmark("BM_DeleteName", BM_DeleteName)
            ->Arg(users)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->MeasureProcessCPUTime()
            ->Iterations(users > 10000 ? 20 : 100);
    }
}

} // namespace
} // namespace dexlan

int main(int argc, char** argv) {
    return dexlan::benchmarks::benchmarkMain(argc, argv, [] {
        dexlan::registerAll();
        dexlan::RatioReporter reporter;
        benchmark::RunSpecifiedBenchmarks(&reporter);
        reporter.printRatios();
    });
}

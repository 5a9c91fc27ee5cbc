// SPDX-License-Identifier: GPL-3.0-or-later
// How the roster keeps up with a large history folder:
//   cmake --preset bench && cmake --build --preset bench
//   build/bench/benchmarks/user_roster_benchmark
// fillUserList is compared with a bare loop, in the same run, that only lists
// the folder and reads each file's first line; addName with a roster of
// 100,000 users, which includes reading the folder's names to see whether
// another copy changed it; and a class list of 1,000 names added at once.

#include "benchmarks/bare_listing_loop.h"
#include "benchmarks/roster_benchmarks.h"
#include "platform/dialogs.h"
#include "roster/core/bulk_add.h"
#include "roster/core/history_file.h"
#include "roster/core/history_folder.h"
#include "roster/widgets/user_list_panel.h"
#include "roster/widgets/user_roster.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <functional>
#include <map>
#include <memory>

namespace dexlan {
namespace {

using benchmarks::folderOfUsers;
using benchmarks::SilentDialogs;

struct Page {
    explicit Page(const QString& folder) {
        state.programFolder = folder;
        state.historyFolder = folder;
        state.pathPolicy = PathPolicy::posix();
        state.startupDone = true;
        state.optionLines[EntryHistoryMode] = values::kHistRosterOpen;
        box.setText(folder);
        dialogs.showsWindows = true;
        roster = std::make_unique<UserRoster>(state, dialogs);
        panel = new UserListPanel(*roster, &page);
        roster->watchLocation(&box, &page);
    }
    SharedState state;
    SilentDialogs dialogs;
    QWidget page;
    QLineEdit box;
    UserListPanel* panel = nullptr; // the page's
    std::unique_ptr<UserRoster> roster;
};

void BM_BareListingLoop(benchmark::State& state) {
    const QString folder = folderOfUsers(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(benchmarks::bareListingLoop(folder));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_BareListingLoop)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

// The reading part of a fill alone, without the list: file by file, and on
// every core (the second argument: threads, 0 for one a core).
void BM_ListUsers(benchmark::State& state) {
    const QString folder = folderOfUsers(int(state.range(0)));
    for (auto _ : state) {
        const UserListing listing = listUsers(folder, {int(state.range(1)), 256, {}});
        benchmark::DoNotOptimize(listing.users.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ListUsers)
    ->ArgsProduct({{10000, 100000}, {1, 0}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

// What adding a name costs to tell whether the folder changed since the list
// was read: its names alone, no file opened.
void BM_HistoryFilesDigest(benchmark::State& state) {
    const QString folder = folderOfUsers(int(state.range(0)));
    for (auto _ : state) {
        const std::optional<quint64> digest = historyFilesDigest(folder);
        benchmark::DoNotOptimize(digest);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_HistoryFilesDigest)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_FillUserList(benchmark::State& state) {
    Page page(folderOfUsers(int(state.range(0))));
    for (auto _ : state)
        page.roster->fillUserList();
    if (page.panel->userList()->model()->rowCount() != state.range(0))
        state.SkipWithError("not every user was listed");
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_FillUserList)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

void BM_AddNameTo100000Users(benchmark::State& state) {
    // A copy of the folder would take longer than the run; the names added
    // here are removed again at the end.
    const QString folder = folderOfUsers(100000);
    Page page(folder);
    page.roster->fillUserList();
    int added = 0;
    page.dialogs.onModal = [&added](QDialog& dialog) {
        auto* text = dialog.findChild<QLineEdit*>(QStringLiteral("Text1"));
        auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("Command1"));
        text->setText(QStringLiteral("New user %1").arg(++added));
        ok->click();
    };
    for (auto _ : state)
        page.panel->addNames();
    if (page.panel->userList()->model()->rowCount() != 100000 + added)
        state.SkipWithError("a name was not added");
    for (int n = 100001; n <= 100000 + added; ++n)
        QFile::remove(folder + newHistoryFileName(n));
}
BENCHMARK(BM_AddNameTo100000Users)->Unit(benchmark::kMillisecond)->Iterations(200);

// A class list of 1,000 names added to a roster of 100,000, as File, Add
// names from a file and --add-users do it: the folder read once, every name
// checked, then 1,000 history files made one by one.
void BM_AddClassListOf1000To100000Users(benchmark::State& state) {
    const QString folder = folderOfUsers(100000);
    QStringList names;
    for (int i = 1; i <= 1000; ++i)
        names.append(QStringLiteral("Pupil %1").arg(i));
    const std::array<int, kRandomsPerFile> randoms{201, 302, 403, 504, 605, 706, 807, 908};
    for (auto _ : state) {
        const UserListing listing = listUsers(folder);
        QStringList namesOnList;
        std::vector<int> numbers;
        for (const ListedUser& user : listing.users) {
            namesOnList.append(shownName(user.name));
            numbers.push_back(user.number);
        }
        const BulkAddResult result = carryOutBulkAdd(folder, planBulkAdd(names, namesOnList),
                                                     numbers, [&randoms] { return randoms; }, {});
        state.PauseTiming();
        if (result.added.size() != 1000)
            state.SkipWithError("a name was not added");
        for (const AddedName& added : result.added)
            QFile::remove(added.path);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_AddClassListOf1000To100000Users)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
} // namespace dexlan

int main(int argc, char** argv) {
    return dexlan::benchmarks::benchmarkMain(argc, argv,
                                             [] { benchmark::RunSpecifiedBenchmarks(); });
}

// SPDX-License-Identifier: GPL-3.0-or-later
// Peak memory of the program holding a roster of 100,000 users: fills a user
// list from a folder of that many history files, shows it, and reports the
// process's maximum resident set size.
//   build/bench/benchmarks/user_list_memory [users [background]]

#include "benchmarks/roster_benchmarks.h"
#include "roster/core/history_file.h"
#include "roster/widgets/user_list_panel.h"
#include "roster/widgets/user_roster.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextStream>

#include <sys/resource.h>

namespace {

double maxRssMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0; // kilobytes on Linux
}

} // namespace

int main(int argc, char** argv) {
    using namespace dexlan;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int users = argc > 1 ? QByteArray(argv[1]).toInt() : 100000;
    QTextStream out(stdout);

    QTemporaryDir dir;
    const std::array<int, kRandomsPerFile> randoms{201, 302, 403, 504, 605, 706, 807, 908};
    for (int n = 1; n <= users; ++n) {
        QFile file(dir.filePath(newHistoryFileName(n)));
        file.open(QIODevice::WriteOnly);
        file.write(newHistoryFileBytes("User number " + QByteArray::number(n), randoms));
    }
    out << "before filling: max RSS " << maxRssMegabytes() << " MB" << Qt::endl;

    SharedState state;
    state.programFolder = dir.path() + QLatin1Char('/');
    state.pathPolicy = PathPolicy::posix();
    state.startupDone = true;
    state.optionLines[EntryHistoryMode] = values::kHistRosterOpen;
    benchmarks::SilentDialogs dialogs;
    QWidget page;
    auto* box = new QLineEdit(&page);
    UserRoster roster(state, dialogs);
    auto* panel = new UserListPanel(roster, &page);
    panel->place({QRect(0, 40, 300, 400), QRect(310, 40, 90, 24), QRect(310, 70, 90, 24),
                  QRect(310, 100, 90, 24)});
    roster.watchLocation(box, &page);
    QListView* list = panel->userList();
    page.show();
    // "background": read as start-up reads, on a thread of its own.
    if (argc > 2 && QByteArray(argv[2]) == "background") {
        roster.fillUserListInBackground();
        roster.finishReading();
    } else {
        roster.fillUserList();
    }
    QApplication::processEvents();
    list->scrollToBottom();
    QApplication::processEvents();

    const int listed = list->model()->rowCount();
    out << "users listed: " << listed << Qt::endl;
    out << "holding them: max RSS " << maxRssMegabytes() << " MB (goal: at most 70 MB)" << Qt::endl;
    return listed == users ? 0 : 1;
}

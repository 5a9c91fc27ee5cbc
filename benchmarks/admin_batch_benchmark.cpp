// SPDX-License-Identifier: GPL-3.0-or-later
// A batch of deletions from the command line against one listing of the
// same folder:
//   cmake --preset bench && cmake --build --preset bench
//   build/bench/benchmarks/admin_batch_benchmark [USERS [DELETIONS]]
// Both are timed as a script runs them: --list-users, and --delete-users
// with a list of names, each on a trainer of USERS users (100,000 unless
// given). The goal: the batch costs at most 1.5 times the listing. Each is
// run three times and the middle time kept; before each batch the deleted
// users' files are put back as they were.

#include "app/admin_command_line.h"
#include "roster/core/history_file.h"
#include "roster/core/history_folder.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <array>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

using namespace dexlan;

QByteArray userName(int number, int users) {
    return "User " + QByteArray::number(qint64(number) * 7919 % users);
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

// Runs the command line's administration on trainer; answers the seconds taken.
double timed(const QString& trainer, const std::function<void(AdminRequest&)>& ask) {
    AdminRequest request;
    request.trainer = trainer;
    request.quiet = true;
    ask(request);
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    QBuffer input;
    input.open(QIODevice::ReadOnly);
    QElapsedTimer timer;
    timer.start();
    const int status =
        runAdministration(request, outStream, errStream, input, QDateTime::currentDateTimeUtc());
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    if (status != kAdminDone)
        qFatal("status %d: %s", status, qPrintable(err));
    return seconds;
}

double middle(std::array<double, 3> times) {
    std::sort(times.begin(), times.end());
    return times[1];
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    const int users = arguments.size() > 1 ? arguments[1].toInt() : 100000;
    const int deletions = arguments.size() > 2 ? arguments[2].toInt() : 1000;

    QTemporaryDir dir;
    const QString trainer = dir.path() + QLatin1Char('/');
    writeFile(trainer + QStringLiteral("Corvantis Dexlan Trainer 4.exe"), "stand-in");
    writeFile(trainer + QStringLiteral("Dexlan4.ini"),
              "Options File\r\nCorvantis Dexlan Training System 4\r\nnetwork\r\n"
              "hist roster open\r\nhist home\r\n0\r\n0\r\n0\r\n0\r\nf2 on\r\nsfx all\r\n"
              "documents off\r\n");
    const std::array<int, kRandomsPerFile> randoms{201, 302, 403, 504, 605, 706, 807, 908};
    for (int n = 1; n <= users; ++n)
        writeFile(trainer + newHistoryFileName(n),
                  newHistoryFileBytes(userName(n, users), randoms));

    // Every users/deletions-th user, named as the list shows them.
    QByteArray list;
    std::vector<int> numbers;
    for (int i = 0; i < deletions; ++i) {
        const int number = 1 + int(qint64(i) * users / deletions);
        numbers.push_back(number);
        list += userName(number, users) + '\n';
    }
    const QString listPath = trainer + QStringLiteral("leavers.txt");
    writeFile(listPath, list);

    std::array<double, 3> listing{}, batch{};
    for (size_t run = 0; run < 3; ++run) {
        listing[run] = timed(trainer, [](AdminRequest& request) { request.listUsers = true; });
        batch[run] =
            timed(trainer, [&](AdminRequest& request) { request.deleteUserLists = {listPath}; });
        // The deleted users back, and nothing held, for the next run.
        QDir(trainer + QStringLiteral(".deleted")).removeRecursively();
        for (const int number : numbers)
            writeFile(trainer + newHistoryFileName(number),
                      newHistoryFileBytes(userName(number, users), randoms));
    }
    for (size_t run = 0; run < 3; ++run)
        std::printf("run %zu: listing %.0f ms, batch %.0f ms\n", run + 1, listing[run] * 1000,
                    batch[run] * 1000);
    const double listed = middle(listing);
    const double deleted = middle(batch);
    std::printf("%-52s %9.0f ms\n", qPrintable(QStringLiteral("--list-users, %1 users").arg(users)),
                listed * 1000);
    std::printf(
        "%-52s %9.0f ms   %.2f x the listing (goal: at most 1.50)\n",
        qPrintable(
            QStringLiteral("--delete-users, %1 names of %2 users").arg(deletions).arg(users)),
        deleted * 1000, deleted / listed);
    return 0;
}

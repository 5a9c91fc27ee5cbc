// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the roster's benchmarks and measurements share: dialogs that answer
// by themselves, the folder of users they read, and their main.

#include "platform/dialogs.h"
#include "roster/core/history_file.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <functional>
#include <map>
#include <memory>

namespace dexlan::benchmarks {

// Answers every question with its default; onModal drives a modal window
// (AddNamesDialog), shown around it when showsWindows.
class SilentDialogs final : public Dialogs {
  public:
    std::function<void(QDialog&)> onModal;
    bool showsWindows = false;

    MsgAnswer msgBox(const MsgBoxRequest& request) override { return request.defaultButton; }
    QString openFile(const FileOpenRequest&) override { return {}; }
    void showModal(QDialog& window) override {
        if (showsWindows)
            window.show();
        if (onModal)
            onModal(window);
        if (showsWindows)
            window.hide();
    }
};

// A folder of `users` history files in the trainer's layout, their names in
// an order unlike the files', made once per run; ends in a separator.
inline QString folderOfUsers(int users) {
    static std::map<int, std::unique_ptr<QTemporaryDir>> folders;
    auto& dir = folders[users];
    if (!dir) {
        dir = std::make_unique<QTemporaryDir>();
        const std::array<int, kRandomsPerFile> randoms{201, 302, 403, 504, 605, 706, 807, 908};
        for (int n = 1; n <= users; ++n) {
            QFile file(dir->filePath(newHistoryFileName(n)));
            file.open(QIODevice::WriteOnly);
            file.write(
                newHistoryFileBytes("User " + QByteArray::number(n * 7919 % users), randoms));
        }
    }
    return dir->path() + QLatin1Char('/');
}

// The main of a benchmark with windows, offscreen unless a display is named:
// run registers what it must and runs the benchmarks.
template <typename Run> int benchmarkMain(int argc, char** argv, Run run) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    run();
    benchmark::Shutdown();
    return 0;
}

} // namespace dexlan::benchmarks

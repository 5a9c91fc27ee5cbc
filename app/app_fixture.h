// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/main_window.h"
#include "app/startup.h"
#include "options_window/options_window.h"
#include "platform/environment.h"
#include "roster/core/history_file.h"
#include "roster/widgets/user_roster.h"
#include "testing/scripted_dialogs.h"
#include "testing/test_files.h"

#include <QAbstractItemModel>
#include <QByteArray>
#include <QListView>
#include <QStringList>

#include <gtest/gtest.h>

namespace dexlan::testing {

class FakeEnvironment final : public Environment {
  public:
    bool anotherRunning = false;
    QString folder;
    double widthTwips = 12000;
    QString rememberedFolder;
    QString machineFolder;

    bool anotherInstanceRunning() override { return anotherRunning; }
    QString programFolder() override { return folder; }
    double screenWidthTwips() override { return widthTwips; }
    QString rememberedTrainerFolder() override { return rememberedFolder; }
    void rememberTrainerFolder(const QString& folder) override { rememberedFolder = folder; }
    QString machineTrainerFolder() override { return machineFolder; }
};

inline QByteArray optionsFile(const QByteArray& installation, const QByteArray& mode,
                              const QByteArray& location = "hist home") {
    return "Options File\r\nCorvantis Dexlan Training System 4\r\n" + installation + "\r\n" + mode +
           "\r\n" + location + "\r\nsix\r\nseven\r\neight\r\nnine\r\nf2 on\r\nsfx all\r\n" +
           "documents on\r\n";
}

// The names the user list shows, from top to bottom.
inline QStringList shownNames(const QListView& list) {
    QStringList names;
    for (int row = 0; row < list.model()->rowCount(); ++row)
        names.append(list.model()->index(row, 0).data().toString());
    return names;
}

// A trainer folder with the program beside the trainer, ready to start.
class ProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // The folder as the platform gives it: without its final separator.
        environment.folder = trainer.path().chopped(1);
    }

    void layTrainer(const QByteArray& options) {
        trainer.write("Corvantis Dexlan Trainer 4.exe", "stand-in");
        trainer.write("defaultdx.html", "<html></html>");
        trainer.write("Dexlan4.ini", options);
    }

    // A new run of the program, not yet started.
    void newProgram() {
        program = std::make_unique<Program>(dialogs, environment);
        program->state().pathPolicy = policy;
    }

    // Start-up, and its reading of the users that goes on in the background:
    // the list as the program shows it once that reading is over.
    bool startUp(const QString& namedTrainer = {}) {
        newProgram();
        program->setNamedTrainer(namedTrainer);
        const bool started = program->start();
        if (started)
            program->mainWindow().options().roster().finishReading();
        return started;
    }

    // count users in the trainer's folder, "User 1001" and on.
    void writeUsers(int count) {
        for (int n = 1; n <= count; ++n)
            trainer.write(historyFileName(n), "\"User " + QByteArray::number(1000 + n) + "\"\r\n");
    }

    SharedState& state() { return program->state(); }
    MainWindow& mainWindow() { return program->mainWindow(); }

    // The platform's own rules: upper-case locations and backslashes on Windows.
    PathPolicy policy = PathPolicy::native();
    TestFolder trainer;
    FakeEnvironment environment;
    ScriptedDialogs dialogs;
    std::unique_ptr<Program> program;
};

} // namespace dexlan::testing

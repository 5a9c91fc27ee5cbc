// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "options_file/shared_state.h"

#include <QString>

#include <memory>
#include <optional>

namespace dexlan {

class Dialogs;
class Environment;
class MainWindow;

// One run of the program: the shared state, the windows, and the start-up
// sequence that finds the trainer and loads its options.
class Program {
  public:
    Program(Dialogs& dialogs, Environment& environment);
    ~Program();

    // The trainer's folder or program file named on the command line: the
    // first round of start-up looks there instead of in the program's own
    // folder, and asks nothing when the trainer is there.
    void setNamedTrainer(const QString& path) { m_namedTrainer = path; }

    // Runs start-up to its end (true: the windows now drive the program) or to
    // an end of the program (false: nothing was saved, quit at once).
    bool start(); // StartUp
    // The process's exit status after start-up ended the program: 0 when the
    // user chose to end it, 1 when an error did.
    int exitStatus() const { return m_exitStatus; }

    SharedState& state() { return m_state; }
    MainWindow& mainWindow();

  private:
    enum class Step { Continue, Retry, End };
    Step locateTrainer();
    Step useNamedTrainer(const QString& path);
    // The folder, ending in a separator, where this user found the trainer
    // last time, else the one the administrator set for the computer, while
    // the trainer is there.
    std::optional<QString> knownTrainerFolder();

    SharedState m_state;
    Dialogs& m_dialogs;
    Environment& m_environment;
    std::unique_ptr<MainWindow> m_mainWindow;
    QString m_commonDialogFileName; // kept between showings, as the dialog keeps it
    QString m_namedTrainer;
    int m_exitStatus = 0;
};

} // namespace dexlan

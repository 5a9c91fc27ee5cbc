// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace dexlan {

// Facts about the process and the screen that start-up needs and tests decide.
class Environment {
  public:
    virtual ~Environment() = default;
    // Whether another copy of the program is running now.
    virtual bool anotherInstanceRunning() = 0;
    // The folder the program was started from, in native form.
    virtual QString programFolder() = 0;
    // The screen's width in twips (1/1440 inch).
    virtual double screenWidthTwips() = 0;
    // The folder in which the user last located the trainer with the dialog,
    // kept between runs; empty when there is none.
    virtual QString rememberedTrainerFolder() = 0;
    virtual void rememberTrainerFolder(const QString& folder) = 0;
    // The trainer's folder an administrator set for every account of this
    // computer; empty when none is set.
    virtual QString machineTrainerFolder() = 0;
};

} // namespace dexlan

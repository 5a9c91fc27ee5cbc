// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/environment.h"

#include "platform/instance_lock.h"

namespace dexlan {

// The real process and screen: a lock in the user's runtime folder tells
// another running copy apart, and the primary screen gives the width.
class QtEnvironment final : public Environment {
  public:
    QtEnvironment();
    bool anotherInstanceRunning() override;
    QString programFolder() override;
    double screenWidthTwips() override;
    // Kept with QSettings, in ~/.config/Corvantis/dexlan-options.conf on Linux.
    QString rememberedTrainerFolder() override;
    QString machineTrainerFolder() override;
    void rememberTrainerFolder(const QString& folder) override;

  private:
    InstanceLock m_lock;
};

} // namespace dexlan

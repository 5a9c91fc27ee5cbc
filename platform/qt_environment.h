#pragma once

#include "platform/environment.h"

#include <QLockFile>

#include <memory>

namespace dexlan {

// The real process and screen: a lock file tells another running copy apart,
// and the primary screen gives the width.
class QtEnvironment final : public Environment {
  public:
    QtEnvironment();
    bool anotherInstanceRunning() override;
    QString programFolder() override;
    double screenWidthTwips() override;

  private:
    std::unique_ptr<QLockFile> m_lock;
};

} // namespace dexlan

#include "platform/qt_environment.h"

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QStandardPaths>

namespace dexlan {

QtEnvironment::QtEnvironment() = default;

bool QtEnvironment::anotherInstanceRunning() {
    if (m_lock && m_lock->isLocked())
        return false;
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    m_lock = std::make_unique<QLockFile>(folder + QLatin1String("/dexlan-options-4.lock"));
    m_lock->setStaleLockTime(0);
    return !m_lock->tryLock(0);
}

QString QtEnvironment::programFolder() {
    return QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
}

double QtEnvironment::screenWidthTwips() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return 9600.0;
    return screen->geometry().width() * 1440.0 / screen->logicalDotsPerInchX();
}

} // namespace dexlan

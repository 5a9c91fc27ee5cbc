#include "platform/qt_environment.h"

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QStandardPaths>

namespace dexlan {

QtEnvironment::QtEnvironment() = default;

bool QtEnvironment::anotherInstanceRunning() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    // A lock that cannot be made says nothing of other copies: no question then.
    return m_lock.join(folder + QLatin1String("/dexlan-options-4.lock")) ==
           InstanceLock::Result::OthersRunning;
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

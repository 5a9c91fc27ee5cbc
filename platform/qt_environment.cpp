// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt_environment.h"

#include "platform/file_names.h"

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
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
    return QDir::toNativeSeparators(runningProgramFolder());
}

double QtEnvironment::screenWidthTwips() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return 9600.0;
    return screen->geometry().width() * 1440.0 / screen->logicalDotsPerInchX();
}

namespace {
// The program's one setting of its own. The file is named here rather than
// after the application's name, which is the window's caption.
const QString kSettingsOwner = QStringLiteral("Corvantis");
const QString kSettingsName = QStringLiteral("dexlan-options");
const QString kTrainerFolderKey = QStringLiteral("LocateDialog/folder");
// Set by an administrator (or an installer) for the whole computer: in
// /etc/xdg/Corvantis/dexlan-options.conf, or on Windows under the key
// HKEY_LOCAL_MACHINE\Software\Corvantis\dexlan-options.
const QString kMachineTrainerFolderKey = QStringLiteral("TrainerFolder");
} // namespace

QString QtEnvironment::rememberedTrainerFolder() {
    const QSettings settings(kSettingsOwner, kSettingsName);
    return settings.value(kTrainerFolderKey).toString();
}

QString QtEnvironment::machineTrainerFolder() {
    const QSettings settings(QSettings::SystemScope, kSettingsOwner, kSettingsName);
    return settings.value(kMachineTrainerFolderKey).toString();
}

void QtEnvironment::rememberTrainerFolder(const QString& folder) {
    QSettings settings(kSettingsOwner, kSettingsName);
    settings.setValue(kTrainerFolderKey, folder);
}

} // namespace dexlan

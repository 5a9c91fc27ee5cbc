#include "app/main_window.h"
#include "app/startup.h"
#include "platform/qt_dialogs.h"
#include "platform/qt_environment.h"

#include <QApplication>
#include <QSessionManager>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Corvantis Dexlan Options 4"));

    dexlan::QtDialogs dialogs;
    dexlan::QtEnvironment environment;
    dexlan::Program program(dialogs, environment);
    dialogs.setParent(&program.mainWindow());
    QObject::connect(&application, &QGuiApplication::commitDataRequest, &program.mainWindow(),
                     &dexlan::MainWindow::commitData);

    if (!program.StartUp())
        return 0;
    return application.exec();
}

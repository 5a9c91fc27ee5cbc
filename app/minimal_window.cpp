// SPDX-License-Identifier: GPL-3.0-or-later
// The yardsticks for the program's start-up figures.
//   minimal_window          the least a Qt Widgets program does to show one
//                           empty window
//   minimal_window --frame  the same, but the window is the frame this program
//                           shows: maximised, with the same two menus (so the
//                           text machinery is started), and nothing in it
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QScreen>
#include <QWidget>

#include <cstring>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc > 1 && std::strcmp(argv[1], "--frame") == 0) {
        QMainWindow frame;
        frame.setWindowTitle(QStringLiteral("Minimal window"));
        QMenu* file = frame.menuBar()->addMenu(QStringLiteral("&File"));
        file->addAction(QStringLiteral("&Save"));
        file->addAction(QStringLiteral("E&xit"));
        QMenu* help = frame.menuBar()->addMenu(QStringLiteral("&Help"));
        help->addAction(QStringLiteral("&Options Help"));
        help->addAction(QStringLiteral("&About Corvantis"));
        frame.setGeometry(QGuiApplication::primaryScreen()->availableGeometry());
        frame.showMaximized();
        return application.exec();
    }
    QWidget window;
    window.setWindowTitle(QStringLiteral("Minimal window"));
    window.resize(640, 480);
    window.show();
    return application.exec();
}

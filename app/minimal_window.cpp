// The yardstick for the program's start-up figures: the least a Qt Widgets
// program does to show one empty window.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Minimal window"));
    window.resize(640, 480);
    window.show();
    return application.exec();
}

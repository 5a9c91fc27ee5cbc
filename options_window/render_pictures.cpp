// Renders the options window's five pages and the Help and About windows to
// PNG files, for the documentation:
//   QT_QPA_PLATFORM=offscreen dexlan_render_pictures docs
#include "info_windows/about_window.h"
#include "info_windows/help_window.h"
#include "options_window/frm_options.h"
#include "platform/dialogs.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTabBar>
#include <QTextStream>

namespace {

// Nothing here should ask anything; if something does, say so and decline.
class DecliningDialogs final : public dexlan::Dialogs {
  public:
    int msgBox(const dexlan::MsgBoxRequest& request) override {
        QTextStream(stderr) << "unexpected message box: " << request.title << '\n';
        return dexlan::AnswerCancel;
    }
    QString openFile(const dexlan::FileOpenRequest&) override { return {}; }
    void showModal(QDialog&) override {}
};

bool save(QWidget& widget, const QDir& folder, const QString& name) {
    const QString path = folder.filePath(name);
    if (!widget.grab().save(path)) {
        QTextStream(stderr) << "cannot write " << path << '\n';
        return false;
    }
    QTextStream(stdout) << path << '\n';
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs"));
    if (!folder.exists() && !QDir().mkpath(folder.path()))
        return 1;

    // A network installation with a protected user list on a 640 pixel screen.
    dexlan::SharedState state;
    state.optionLines = {{{},
                          "Options File",
                          "Corvantis Dexlan Training System 4",
                          "network",
                          "hist roster protected",
                          "F:\\DEXLAN\\HISTORY\\",
                          "",
                          "",
                          "",
                          "",
                          "f2 on",
                          "sfx beep",
                          "documents on"}};
    state.fileOptionLines = state.optionLines;
    state.programFolder = QStringLiteral("C:\\Program Files\\Corvantis\\Dexlan 4\\");
    state.docsInstalled = 1;
    state.startupDone = 0;
    state.screenScale = 1.0;
    state.pathPolicy = dexlan::PathPolicy::windows();

    DecliningDialogs dialogs;
    dexlan::FrmOptions window(state, dialogs);
    window.resize(640, 420);
    window.locationBox()->setText(QStringLiteral("F:\\DEXLAN\\HISTORY\\"));
    window.label1(0)->setText(QStringLiteral("Network Installation"));
    window.RefreshPage(2);
    window.RefreshPage(1);

    const QString pages[] = {
        QStringLiteral("page-1-current-options.png"), QStringLiteral("page-2-history-files.png"),
        QStringLiteral("page-3-lesson-advance.png"),  QStringLiteral("page-4-sounds.png"),
        QStringLiteral("page-5-documentation.png"),
    };
    auto* tabs = window.findChild<QTabBar*>(QStringLiteral("tbsOptions"));
    bool saved = true;
    for (int tab = 1; tab <= 5; ++tab) {
        tabs->setCurrentIndex(tab - 1);
        if (tab == 2) {
            // The location is not reachable here; show the list a teacher would see.
            auto* list = window.findChild<QListWidget*>(QStringLiteral("List1"));
            list->clear();
            list->addItems({QStringLiteral("Ann Baker"), QStringLiteral("Carlos Diaz"),
                            QStringLiteral("Mei Chen"), QStringLiteral("Tom Okafor")});
        }
        saved = save(window, folder, pages[tab - 1]) && saved;
    }

    dexlan::HelpWindow help;
    saved = save(help, folder, QStringLiteral("help.png")) && saved;
    dexlan::AboutWindow about;
    saved = save(about, folder, QStringLiteral("about.png")) && saved;
    return saved ? 0 : 1;
}

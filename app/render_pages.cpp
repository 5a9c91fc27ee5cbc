// SPDX-License-Identifier: GPL-3.0-or-later
// Starts the program on a trainer folder without a display and saves what a
// user would see, each page of the options window, Help and About, as PNG
// files, with the restore window and the summary after adding a class list:
//   dexlan-render-pages <trainer folder> <output folder>
// It runs the real start-up, so the pictures show that folder's settings.
#include "app/main_window.h"
#include "app/startup.h"
#include "info_windows/about_window.h"
#include "info_windows/help_window.h"
#include "options_window/options_window.h"
#include "platform/dialogs.h"
#include "platform/qt_environment.h"
#include "roster/core/bulk_add.h"
#include "roster/core/held_names.h"
#include "roster/core/history_file.h"
#include "roster/widgets/bulk_add_window.h"
#include "roster/widgets/restore_window.h"

#include <QApplication>
#include <QDateTime>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QRect>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

// Nothing is asked while the pictures are taken; a modal window is shown,
// photographed by the caller, and closed.
class RenderDialogs final : public dexlan::Dialogs {
  public:
    dexlan::MsgAnswer msgBox(const dexlan::MsgBoxRequest& request) override {
        QTextStream(stderr) << "message: " << request.title << ": " << request.prompt << '\n';
        return request.buttons == dexlan::MsgButtons::YesNo ? dexlan::MsgAnswer::No
                                                            : dexlan::MsgAnswer::Cancel;
    }
    QString openFile(const dexlan::FileOpenRequest&) override { return {}; }
    void showModal(QDialog& window) override {
        window.show();
        if (onModal)
            onModal(window);
        window.hide();
    }
    std::function<void(QDialog&)> onModal;
};

class FolderEnvironment final : public dexlan::Environment {
  public:
    explicit FolderEnvironment(QString folder) : m_folder(std::move(folder)) {}
    bool anotherInstanceRunning() override { return false; }
    QString programFolder() override { return m_folder; }
    double screenWidthTwips() override { return m_screen.screenWidthTwips(); }
    // The pictures are taken without the dialog and leave no trace.
    QString rememberedTrainerFolder() override { return {}; }
    QString machineTrainerFolder() override { return {}; }
    void rememberTrainerFolder(const QString&) override {}

  private:
    QString m_folder;
    dexlan::QtEnvironment m_screen;
};

bool save(QWidget& widget, const QDir& folder, const QString& name, QRect area = {}) {
    const QString path = folder.filePath(name);
    if (!widget.grab(area.isNull() ? QRect(QPoint(0, 0), QSize(-1, -1)) : area).save(path)) {
        QTextStream(stderr) << "cannot write " << path << '\n';
        return false;
    }
    QTextStream(stdout) << "  " << path << '\n';
    return true;
}

} // namespace

// The offscreen platform warns about window features it lacks; the pictures
// do not need them.
void quietOffscreen(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtWarningMsg && message.contains(QLatin1String("This plugin does not support")))
        return;
    QTextStream(stderr) << qFormatLogMessage(type, context, message) << '\n';
}

int main(int argc, char** argv) {
    qInstallMessageHandler(quietOffscreen);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (argc != 3) {
        QTextStream(stderr) << "usage: dexlan-render-pages <trainer folder> <output folder>\n";
        return 2;
    }
    const QString trainer = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    const QDir output(QString::fromLocal8Bit(argv[2]));
    if (!QDir().mkpath(output.absolutePath()))
        return 1;

    RenderDialogs dialogs;
    FolderEnvironment environment(QDir::toNativeSeparators(trainer));
    dexlan::Program program(dialogs, environment);
    bool ok = true;
    dialogs.onModal = [&](QDialog& help) { ok &= save(help, output, QStringLiteral("help.png")); };
    if (!program.start())
        return 1;
    dialogs.onModal = nullptr;

    dexlan::MainWindow& window = program.mainWindow();
    auto* tabs = window.findChild<QTabBar*>(QStringLiteral("tbsOptions"));
    const char* names[] = {"page-1-current-options.png", "page-2-history-files.png",
                           "page-3-lesson-advance.png", "page-4-sounds.png",
                           "page-5-documentation.png"};
    // From the last tab round to the first, so every page is refreshed by its
    // own tab click, as when a user chooses it.
    dexlan::OptionsWindow& options = window.options();
    for (int tab : {1, 2, 3, 4, 0}) {
        tabs->setCurrentIndex(tab);
        QApplication::processEvents();
        // The tab strip and the page on view, with a little of the window round them.
        const QRect area = options.findChild<QWidget*>(QStringLiteral("tabStripPane"))
                               ->geometry()
                               .united(tabs->geometry())
                               .united(options.page(tab)->geometry())
                               .adjusted(-12, -12, 12, 12)
                               .intersected(options.rect());
        ok &= save(options, output, QLatin1String(names[tab]), area);
    }
    dialogs.onModal = [&](QDialog& about) {
        ok &= save(about, output, QStringLiteral("about.png"));
    };
    window.showAbout();

    // The restore window and the summary after adding a class list, over a
    // scratch folder, so that the trainer's own roster is left as it is.
    QTemporaryDir scratch;
    const QString folder = scratch.path() + QLatin1Char('/');
    const std::array<int, dexlan::kRandomsPerFile> randoms{201, 302, 403, 504, 605, 706, 807, 908};
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const std::pair<const char*, int> deleted[] = {{"Chiara Rossi", 3}, {"David Okafor", 9}};
    for (const auto& [name, daysAgo] : deleted) {
        const QString path = folder + dexlan::newHistoryFileName(daysAgo);
        QFile file(path);
        ok &= file.open(QIODevice::WriteOnly) &&
              file.write(dexlan::newHistoryFileBytes(name, randoms)) > 0;
        file.close();
        ok &= dexlan::holdUserFile(path, daysAgo, QLatin1String(name), now.addDays(-daysAgo))
                  .outcome == dexlan::HoldResult::Held;
    }
    dexlan::RestoreWindow restore(folder, dialogs, &window);
    restore.show();
    QApplication::processEvents();
    ok &= save(restore, output, QStringLiteral("restore-deleted-names.png"));
    restore.hide();

    const QStringList classList = {
        QStringLiteral("Amira Haddad"), QStringLiteral("Ben Fischer"),
        QStringLiteral("Chiara Rossi"), QStringLiteral("Dylan O'Brien"),
        QStringLiteral("Elif Yilmaz"),  QStringLiteral("Finn Larsen"),
        QStringLiteral("Grace Mensah"), QStringLiteral("Hugo Martin"),
        QStringLiteral("Ben Fischer"),  QString::fromUtf8("Łucja Nowak"),
    };
    const dexlan::BulkAddResult added = dexlan::carryOutBulkAdd(
        folder, dexlan::planBulkAdd(classList, {}), {}, [&randoms] { return randoms; }, {});
    dexlan::AddSummaryWindow summary(added, &window);
    summary.show();
    QApplication::processEvents();
    ok &= save(summary, output, QStringLiteral("add-names-summary.png"));
    return ok ? 0 : 1;
}

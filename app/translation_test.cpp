// SPDX-License-Identifier: GPL-3.0-or-later
// The program's own texts go through Qt's translation machinery. The build
// gathers them with lupdate and makes a pseudo-translation that puts "XX"
// before every text; with it loaded, a text shown without "XX" was never
// marked for translation.
#include "app/admin_command_line.h"
#include "app/app_fixture.h"
#include "app/closing_rules.h"
#include "app/command_line.h"
#include "app/qt_translations.h"
#include "app/startup_messages.h"
#include "info_windows/about_window.h"
#include "info_windows/help_window.h"
#include "options_file/options_dialogue.h"
#include "options_window/history_explanation.h"
#include "options_window/option_buttons.h"
#include "options_window/options_window.h"
#include "options_window/summary_text.h"
#include "platform/line_break.h"
#include "roster/core/bulk_add.h"
#include "roster/core/held_names.h"
#include "roster/core/held_names_messages.h"
#include "roster/core/history_file.h"
#include "roster/core/roster_messages.h"
#include "roster/widgets/add_names_dialog.h"
#include "roster/widgets/bulk_add_window.h"
#include "roster/widgets/restore_window.h"

#include <QAbstractButton>
#include <QAction>
#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QSet>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTextStream>
#include <QToolButton>
#include <QTreeWidget>
#include <QXmlStreamReader>

#include <functional>

namespace dexlan {
namespace {

const QString kPseudoTs = QStringLiteral(DEXLAN_PSEUDO_TS);
const QString kPseudoQm = QStringLiteral(DEXLAN_PSEUDO_QM);

// A source text, whose control characters the catalogue writes as
// <byte value="xd"/>.
QString sourceText(QXmlStreamReader& xml) {
    QString text;
    while (xml.readNext() != QXmlStreamReader::EndElement ||
           xml.name() != QLatin1String("source")) {
        if (xml.isCharacters())
            text += xml.text();
        else if (xml.isStartElement() && xml.name() == QLatin1String("byte"))
            text +=
                QChar(xml.attributes().value(QLatin1String("value")).mid(1).toUInt(nullptr, 16));
        else if (xml.atEnd())
            break;
    }
    return text;
}

// Every context and source text of the catalogue lupdate made.
QSet<QString> catalogue() {
    QFile file(kPseudoTs);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << kPseudoTs.toStdString();
    QSet<QString> texts;
    QXmlStreamReader xml(&file);
    QString context;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("name"))
            context = xml.readElementText();
        else if (xml.name() == QLatin1String("source"))
            texts.insert(context + QLatin1Char('|') + sourceText(xml));
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return texts;
}

TEST(TranslationCatalogue, HoldsTheProgramsTextsAsTheyAreShown) {
    const QSet<QString> texts = catalogue();
    // One or two from each kind of text, with the blanks and spellings the
    // program shows.
    const char* const expected[] = {
        // a menu item
        "dexlan::MainWindow|&Options Help",
        // a start-up message
        "StartupMessages|The Corvantis Dexlan Options 4 program is already running. \r\n"
        "Do you wish to start ANOTHER copy of the program?",
        // a message box of the options file
        "OptionsDialogue|Do you wish to update the program ini file?",
        // explanation tables
        "HistoryExplanation|User list: Open ",
        "PageExplanations|The documents options are not included in the program menu.",
        // summary sentences
        "SummaryText|History files are automatically stored on the newtork server. ",
        "SummaryText|The documents are not selected.  ",
        // a roster message
        "RosterMessages|You already have a person namded  '%1'  in the list.  Two people with "
        "the same name would really be confusing!",
        // the closing warning, blanks first
        "ClosingRules|        Network server",
        // a tab's tooltip, a Help text, an accessible name
        "dexlan::OptionsWindow|These options are curretly selected",
        "dexlan::HelpWindow|When you have finished setting the program options, simply exit and "
        "your changes will be recorded.",
        "dexlan::OptionsWindow|Trainer options",
        // the restore window and its messages, the summary after adding many names
        "dexlan::RestoreWindow|&Erase now",
        "HeldNamesMessages|The name %1 cannot be kept for restoring, so this deletion cannot be "
        "undone.",
        "dexlan::AddSummaryWindow|Some names were not added.  The reason stands beside each of "
        "them.",
        "BulkAdd|given twice in the names to add",
        // the administrator's command line
        "CommandLine|Example: %1",
        "AdminCommandLine|Deleted %1 (number %2) for good.\n",
    };
    for (const char* text : expected)
        EXPECT_TRUE(texts.contains(QString::fromUtf8(text))) << text;
    // The options file's own lines are the trainer's, never a text to translate.
    for (const QString& text : texts) {
        for (const char* line : {values::kSfxNone, values::kHistRosterOpen, values::kNetwork})
            EXPECT_FALSE(text.endsWith(QLatin1Char('|') + QLatin1String(line))) << line;
    }
}

// Counts are translated with their number, so that each language chooses its
// own plural form: the catalogue holds them as numerus entries.
TEST(TranslationCatalogue, CountsAreNumerusEntries) {
    QFile file(kPseudoTs);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << kPseudoTs.toStdString();
    QSet<QString> numerus;
    QXmlStreamReader xml(&file);
    QString context;
    bool counted = false;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("name"))
            context = xml.readElementText();
        else if (xml.name() == QLatin1String("message"))
            counted = xml.attributes().value(QLatin1String("numerus")) == QLatin1String("yes");
        else if (xml.name() == QLatin1String("source") && counted)
            numerus.insert(context + QLatin1Char('|') + sourceText(xml));
    }
    for (const char* text : {"BulkAdd|%n name(s) added", "BulkAdd|%n name(s) refused:",
                             "BulkAdd|Add these %n name(s)?", "BulkAdd|%n name(s) will be added",
                             "AdminCommandLine|%n name(s) already there",
                             "AdminCommandLine|%n name(s) would be added"})
        EXPECT_TRUE(numerus.contains(QString::fromUtf8(text))) << text;
}

class PseudoTranslated : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(m_translator.load(kPseudoQm)) << kPseudoQm.toStdString();
        QCoreApplication::installTranslator(&m_translator);
    }
    void TearDown() override { QCoreApplication::removeTranslator(&m_translator); }

    void withoutTranslation(const std::function<void()>& action) {
        QCoreApplication::removeTranslator(&m_translator);
        action();
        QCoreApplication::installTranslator(&m_translator);
    }

  private:
    QTranslator m_translator;
};

// The texts a window shows or names for assistive technology, each with the
// object it belongs to. Qt's own parts (the tab bar's scroll buttons, the menu
// bar's extension) bring Qt's texts.
QList<std::pair<QString, QString>> shownTexts(QWidget& window) {
    QList<std::pair<QString, QString>> texts;
    const auto add = [&texts](const QObject& owner, const QString& text) {
        if (!text.isEmpty())
            texts.append({owner.objectName() + QLatin1Char('[') +
                              owner.property("index").toString() + QLatin1Char(']'),
                          text});
    };
    add(window, window.windowTitle());
    QList<QWidget*> widgets = window.findChildren<QWidget*>();
    widgets.prepend(&window);
    for (QWidget* widget : widgets) {
        if (qobject_cast<QToolButton*>(widget))
            continue;
        add(*widget, widget->accessibleName());
        add(*widget, widget->accessibleDescription());
        add(*widget, widget->toolTip());
        if (auto* label = qobject_cast<QLabel*>(widget))
            add(*widget, label->text());
        if (auto* button = qobject_cast<QAbstractButton*>(widget))
            add(*widget, button->text());
        if (auto* frame = qobject_cast<QGroupBox*>(widget))
            add(*widget, frame->title());
        if (auto* menu = qobject_cast<QMenu*>(widget))
            add(*widget, menu->title());
        if (auto* tree = qobject_cast<QTreeWidget*>(widget)) {
            for (int i = 0; i < tree->columnCount(); ++i)
                add(*widget, tree->headerItem()->text(i));
        }
        if (auto* tabs = qobject_cast<QTabBar*>(widget)) {
            for (int i = 0; i < tabs->count(); ++i) {
                add(*widget, tabs->tabText(i));
                add(*widget, tabs->tabToolTip(i));
            }
        }
    }
    for (QAction* action : window.findChildren<QAction*>())
        add(*action, action->text());
    return texts;
}

void expectAllTranslated(QWidget& window, const QStringList& dataShown = {}) {
    const QList<std::pair<QString, QString>> texts = shownTexts(window);
    EXPECT_GT(texts.size(), 3) << window.objectName().toStdString();
    for (const auto& [owner, text] : texts) {
        if (dataShown.contains(owner))
            continue;
        EXPECT_TRUE(text.startsWith(QLatin1String("XX")))
            << window.objectName().toStdString() << " " << owner.toStdString() << ": \""
            << text.toStdString() << "\" is not marked for translation";
    }
}

class PseudoTranslatedProgram : public testing::ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        ASSERT_TRUE(m_translator.load(kPseudoQm)) << kPseudoQm.toStdString();
        QCoreApplication::installTranslator(&m_translator);
    }
    void TearDown() override { QCoreApplication::removeTranslator(&m_translator); }

  private:
    QTranslator m_translator;
};

TEST_F(PseudoTranslatedProgram, EveryWindowShowsItsTextsTranslated) {
    layTrainer(testing::optionsFile("network", "hist roster open"));
    dialogs.onNextModal([](QDialog& help) {
        expectAllTranslated(help);
        help.close();
    });
    ASSERT_TRUE(startUp());
    // Each page once on view, as the user sees them.
    OptionsWindow& options = mainWindow().options();
    auto* tabs = options.findChild<QTabBar*>(QStringLiteral("tbsOptions"));
    ASSERT_NE(tabs, nullptr);
    for (int page = tabs->count() - 1; page >= 0; --page)
        tabs->setCurrentIndex(page);
    // The program's folder is shown as it is.
    expectAllTranslated(mainWindow(), {QStringLiteral("Label2[7]")});

    AboutWindow about;
    // The maker's address is no text to translate.
    expectAllTranslated(about, {QStringLiteral("Label3[]")});
    AddNamesDialog addNames;
    expectAllTranslated(addNames);

    // The restore window with a deleted name held, and with none.
    testing::TestFolder users;
    users.write("1HIST.DX", newHistoryFileBytes("Ann", {201, 302, 403, 504, 605, 706, 807, 908}));
    ASSERT_EQ(
        holdUserFile(users.file("1HIST.DX"), 1, "Ann", QDateTime::currentDateTimeUtc()).outcome,
        HoldResult::Held);
    RestoreWindow restore(users.path(), dialogs);
    ASSERT_EQ(restore.heldList()->topLevelItemCount(), 1);
    expectAllTranslated(restore);
    testing::TestFolder none;
    RestoreWindow restoreNone(none.path(), dialogs);
    expectAllTranslated(restoreNone);

    // The summary after adding many names: all added, and some refused.
    BulkAddResult added;
    added.added.push_back({QStringLiteral("Ann"), 1, users.file("1HIST.DX")});
    AddSummaryWindow allAdded(added);
    expectAllTranslated(allAdded);
    added.refused.push_back({QStringLiteral("Bob"), RefusalReason::AlreadyOnList, {}});
    AddSummaryWindow someRefused(added);
    expectAllTranslated(someRefused);
}

TEST_F(PseudoTranslatedProgram, TheAdministratorIsToldInTranslatedWords) {
    layTrainer(testing::optionsFile("network", "hist roster open"));
    AdminRequest request;
    request.trainer = trainer.path();
    request.show = true;
    request.deleteUsers = {QStringLiteral("Nobody")};
    request.restoreUsers = {QStringLiteral("Nobody")};
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    QBuffer input;
    input.open(QIODevice::ReadOnly);
    EXPECT_EQ(
        runAdministration(request, outStream, errStream, input, QDateTime::currentDateTimeUtc()),
        1);
    const QString prefix = QStringLiteral("dexlan-options: ");
    const QStringList told = err.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    EXPECT_EQ(told.size(), 2) << err.toStdString();
    for (const QString& line : told)
        EXPECT_TRUE(line.startsWith(prefix + QLatin1String("XX"))) << line.toStdString();
    // The summary's headings as the Current Options page words them.
    EXPECT_TRUE(out.startsWith(QLatin1String("XXHistory File Location\n"))) << out.toStdString();
    EXPECT_TRUE(out.contains(QLatin1String("\nXXCurrent program location\n")));
}

TEST_F(PseudoTranslated, MessagesKeepTheirEnglishShapeAroundTranslatedTexts) {
    OptionLines unlocated;
    unlocated[EntryInstallation] = values::kNetwork;
    unlocated[EntryHistoryMode] = values::kHistAuto;
    unlocated[EntryHistoryLocation] = values::kHistHome;
    const QString path = QStringLiteral("/srv/dexlan/1hist.dx");
    const std::function<MsgBoxRequest()> boxes[] = {
        anotherCopyQuestion,
        locateTrainerRefusal,
        [&] { return networkLocationWarning(unlocated).value(); },
        missingFileReport,
        [] { return lineTooLongReport(7); },
        [] {
            return checkReport("sfx loud", QStringLiteral("Is wrong."), CodePage::windows1252());
        },
        updateQuestion,
        changedOnDiskQuestion,
        [] { return saveErrorReport(QStringLiteral("Disk full")); },
        documentsNotInstalledMessage,
        [&] { return createFolderQuestion(QStringLiteral("No such folder"), path); },
        [&] { return cannotReadReport(QStringLiteral("Permission denied"), path); },
        [] { return duplicateNameReport(QStringLiteral("Ann")); },
        [] {
            return unstorableNameReport(QStringLiteral("Ann"), UnstorableReason::ControlCharacter,
                                        CodePage::windows1252());
        },
        [] {
            return unstorableNameReport(QStringLiteral("Ann"), UnstorableReason::OutsideCodePage,
                                        CodePage::windows1252());
        },
        [&] { return addFolderQuestion(path); },
        [&] { return cannotSaveReport(QStringLiteral("Disk full"), path); },
        [] { return deleteQuestion(QStringLiteral("Ann")); },
        [&] { return replacedFileReport(QStringLiteral("Ann"), QStringLiteral("Bob"), path); },
        [&] { return replacedFileReport(QStringLiteral("Ann"), QString(), path); },
        [&] { return cannotDeleteReport(QStringLiteral("Busy"), path); },
        [] { return noUserNumberReport(QStringLiteral("Ann")); },
        [] { return cannotHoldQuestion(QStringLiteral("Disk full"), QStringLiteral("Ann")); },
        [] { return restoredUnderOtherNumberReport(QStringLiteral("Ann"), 3, 7); },
        [] { return noLongerHeldReport(QStringLiteral("Ann")); },
        [&] { return cannotRestoreReport(QStringLiteral("Disk full"), path); },
        [] { return eraseHeldQuestion(QStringLiteral("Ann")); },
        [] { return bulkAddQuestion(1); },
        [] { return bulkAddQuestion(28); },
        [&] { return classListUnreadableReport(QStringLiteral("Permission denied"), path); },
        [] { return tooManyNamesReport(5001); },
    };
    // What the boxes are given to show, rather than texts of their own.
    const QStringList dataShown = {QStringLiteral("Disk full"),
                                   QStringLiteral("No such folder"),
                                   QStringLiteral("Permission denied"),
                                   QStringLiteral("Busy"),
                                   QStringLiteral("Is wrong."),
                                   QStringLiteral("sfx loud"),
                                   QStringLiteral("Ann"),
                                   path};
    for (const auto& box : boxes) {
        MsgBoxRequest english;
        withoutTranslation([&] { english = box(); });
        const MsgBoxRequest translated = box();
        SCOPED_TRACE(english.prompt.toStdString());
        EXPECT_TRUE(translated.title.startsWith(QLatin1String("XX")));
        EXPECT_TRUE(translated.prompt.contains(QLatin1String("XX")));
        // Every paragraph of the box's own begins translated; a text joined
        // on as a paragraph of its own would otherwise go unnoticed.
        for (const QString& paragraph : translated.prompt.split(kCrLf + kCrLf)) {
            if (!paragraph.isEmpty() && !dataShown.contains(paragraph))
                EXPECT_TRUE(paragraph.startsWith(QLatin1String("XX"))) << paragraph.toStdString();
        }
        // Only the prefix differs: names, paths and line breaks stay where they were.
        EXPECT_EQ(QString(translated.prompt).remove(QStringLiteral("XX")), english.prompt);
        EXPECT_EQ(QString(translated.title).remove(QStringLiteral("XX")), english.title);
    }
}

TEST_F(PseudoTranslated, AddedAndRefusedNamesAreSummedUpTranslated) {
    const QString tooLong(kMaxNameLength + 1, QLatin1Char('L'));
    const BulkAddPlan plan =
        planBulkAdd({QStringLiteral("Ann"), QStringLiteral("Cy"), QStringLiteral("Ann"), QString(),
                     tooLong, QString::fromUtf8("\u03a9"), QStringLiteral("Fay")},
                    {QStringLiteral("Cy")});
    // A missing folder the user would not have made: every planned name fails.
    testing::TestFolder parent;
    BulkAddResult result = carryOutBulkAdd(
        parent.file(QStringLiteral("missing/")), plan, {},
        [] { return std::array<int, kRandomsPerFile>{}; }, [] { return false; });
    result.added.push_back({QStringLiteral("Gus"), 9, parent.file(QStringLiteral("9HIST.DX"))});

    EXPECT_EQ(bulkAddSummaryText(result),
              QStringLiteral("XX1 name added:\n"
                             "    Gus\n"
                             "\n"
                             "XX%1 names refused:\n"
                             "    Cy: XXalready on the list\n"
                             "    Ann: XXgiven twice in the names to add\n"
                             "    XX(no name): XXempty\n"
                             "    %2: XXlonger than %3 characters\n"
                             "    %4: XXa character that cannot be stored in a history file "
                             "(code page Windows-1252)\n"
                             "    Ann: XXnot saved: XXThe history file location does not exist.\n"
                             "    Fay: XXnot saved: XXThe history file location does not exist.\n")
                  .arg(QString::number(7), tooLong, QString::number(kMaxNameLength),
                       QString::fromUtf8("\u03a9")));

    const FileOpenRequest classList = classListRequest();
    EXPECT_EQ(classList.title, QStringLiteral("XXAdd names from a file"));
    EXPECT_EQ(classList.filter, QStringLiteral("XXClass lists (*.txt *.csv)"));
}

TEST_F(PseudoTranslated, TheAdministratorsOptionsAndRefusalsAreTranslated) {
    const QString help =
        parseCommandLine({QStringLiteral("dexlan-options"), QStringLiteral("--help")}).message;
    for (const char* description :
         {"XXThe trainer's folder (or its program file)", "XXPrints the settings as",
          "XXChanges a setting,", "XXPrints the users as", "XXAdds the names in FILE",
          "XXDeletes the user NAME", "XXBrings back the user NAME",
          "XX(empty: the trainer's own folder)", "XXPrints the value of one setting",
          "XXChanges nothing:", "XXExit status with --trainer:",
          "XXDeletes the users named in FILE", "XXAdministers each trainer folder",
          "XXPrints the last N lines", "XXWith --add-users: the columns are separated by"})
        EXPECT_TRUE(help.contains(QLatin1String(description))) << description;
    // Every option's example but that of --trainers, which names no one trainer.
    EXPECT_EQ(help.count(QLatin1String("XXExample: dexlan-options --trainer /srv/trainer")), 22)
        << help.toStdString();

    const std::pair<QStringList, const char*> refusals[] = {
        {{QStringLiteral("--list-users")}, "XX--trainer DIR names the trainer to administer."},
        {{QStringLiteral("--trainer=/srv/t"), QStringLiteral("/srv/t")},
         "XXthe trainer is named twice: with --trainer and alone."},
        {{QStringLiteral("--trainer=/srv/t"), QStringLiteral("--set=sounds=loud")},
         "XX--set sounds=loud: not one of these settings:"},
    };
    for (const auto& [arguments, refusal] : refusals) {
        const CommandLine line =
            parseCommandLine(QStringList{QStringLiteral("dexlan-options")} + arguments);
        EXPECT_EQ(line.action, CommandLineAction::Refuse) << refusal;
        EXPECT_TRUE(line.message.contains(QLatin1String(refusal))) << line.message.toStdString();
    }
}

TEST_F(PseudoTranslated, TablesAreTranslatedWhereTheyAreLookedUp) {
    EXPECT_EQ(lookUp(advanceSummaryTexts(), "f2 off"),
              QStringLiteral("XXThe manual advance option is not active."));
    EXPECT_EQ(
        historySummary("network", "hist auto", "hist home"),
        QStringLiteral("XXHistory files are automatically stored on the newtork server. \r\n"
                       "XXThe location of the history files on the network server has not been "
                       "specified."));
    const std::optional<QString> twoParts = historyExplanation("NW2");
    ASSERT_TRUE(twoParts);
    EXPECT_TRUE(twoParts->startsWith(QLatin1String("XXA password is required")));
    EXPECT_TRUE(twoParts->contains(QLatin1String("\r\n\r\nXXIf the password files")));
    EXPECT_EQ(locationStatus("/srv/dexlan"), QStringLiteral("XXLocation selected: /srv/dexlan"));
}

TEST(ProgramTranslations, FoundBesideTheProgramOrInItsShareFolder) {
    QTemporaryDir beside;
    QTemporaryDir shared;
    ASSERT_TRUE(QFile::copy(kPseudoQm, shared.filePath(QStringLiteral("dexlan-options_de.qm"))));
    const QStringList folders = {beside.path(), shared.path()};

    const auto german = programTranslationsFor(QLocale(QLocale::German, QLocale::Austria), folders);
    ASSERT_NE(german, nullptr);
    EXPECT_EQ(german->translate("dexlan::MainWindow", "&File"), QStringLiteral("XX&File"));
    EXPECT_EQ(programTranslationsFor(QLocale(QLocale::French), folders), nullptr);

    // The one beside the program comes first.
    ASSERT_TRUE(QFile::copy(kPseudoQm, beside.filePath(QStringLiteral("dexlan-options_de.qm"))));
    const auto first = programTranslationsFor(QLocale(QLocale::German), folders);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->filePath(), beside.filePath(QStringLiteral("dexlan-options_de.qm")));
}

} // namespace
} // namespace dexlan

// SPDX-License-Identifier: GPL-3.0-or-later
#include "options_file/options_dialogue.h"
#include "options_file/options_file.h"
#include "testing/scripted_dialogs.h"
#include "testing/test_files.h"

#include <QBuffer>
#include <QFile>

#include <gtest/gtest.h>

#include <functional>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace dexlan {
namespace {

using testing::TestFolder;

// A valid options file of a network installation, line by line.
QList<QByteArray> validLines() {
    return {"Options File", "Corvantis Dexlan Training System 4",
            "network",      "hist roster open",
            "F:\\DEXLAN",   "six",
            "seven",        "eight",
            "nine",         "f2 on",
            "sfx beep",     "documents off"};
}

QByteArray join(const QList<QByteArray>& lines, const QByteArray& end = "\r\n") {
    QByteArray bytes;
    for (const QByteArray& line : lines)
        bytes += line + end;
    return bytes;
}

QList<QByteArray> with(int line, const QByteArray& value) {
    QList<QByteArray> lines = validLines();
    lines[line - 1] = value;
    return lines;
}

LoadResult parse(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return parseOptionsFile(buffer);
}

const char kBinaryBytes[] = "\x7f"
                            "ELF\x02\x01\x01\0\0\0\r\n\xff\xfe";
const QByteArray kBinary(kBinaryBytes, sizeof kBinaryBytes - 1);

struct LoadCase {
    const char* what;
    QByteArray bytes;
    LoadOutcome outcome;
    QByteArray offendingLine;
    const char* message;
};

TEST(ParseOptionsFile, ReportsEachFaultInItsOrder) {
    const char* title = "Is the wrong program title for Dexlan4.ini file.";
    const char* type = "Is the wrong computer type selection for Dexlan4.ini file.";
    const char* mode = "Is the wrong history file location selection for Dexlan4.ini file.";
    const char* f2 =
        "Is the wrong selection for the automatic advance option in the Dexlan4.ini file.";
    const char* sfx =
        "Is the wrong selection for the sound effects option in the Dexlan4.ini file.";
    QList<QByteArray> titleAndType = with(2, "Dexlan 3");
    titleAndType[2] = "Network";
    QList<QByteArray> tenLines = validLines().mid(0, 10);
    const LoadCase cases[] = {
        {"valid", join(validLines()), LoadOutcome::Loaded, {}, ""},
        {"eleven lines", join(validLines().mid(0, 11)), LoadOutcome::Loaded, {}, ""},
        {"eleventh line without its line end",
         join(validLines().mid(0, 10)) + "sfx beep",
         LoadOutcome::Loaded,
         {},
         ""},
        {"ten lines", join(tenLines), LoadOutcome::Missing, {}, ""},
        {"empty file", "", LoadOutcome::Missing, {}, ""},
        {"header in lower case", join(with(1, "options file")), LoadOutcome::Missing, {}, ""},
        {"header with a trailing blank",
         join(with(1, "Options File ")),
         LoadOutcome::Missing,
         {},
         ""},
        {"lines ended by LF alone", join(validLines(), "\n"), LoadOutcome::Missing, {}, ""},
        {"binary", kBinary, LoadOutcome::Missing, {}, ""},
        {"wrong title", join(with(2, "Corvantis Dexlan Training System 3")),
         LoadOutcome::CheckFailed, "Corvantis Dexlan Training System 3", title},
        {"title and type wrong: only the title reports", join(titleAndType),
         LoadOutcome::CheckFailed, "Dexlan 3", title},
        {"capital N", join(with(3, "Network")), LoadOutcome::CheckFailed, "Network", type},
        {"trailing blank", join(with(3, "network ")), LoadOutcome::CheckFailed, "network ", type},
        {"history mode", join(with(4, "hist roster")), LoadOutcome::CheckFailed, "hist roster",
         mode},
        {"advance", join(with(10, "f2 maybe")), LoadOutcome::CheckFailed, "f2 maybe", f2},
        {"sounds", join(with(11, "")), LoadOutcome::CheckFailed, "", sfx},
        {"sounds with a lone LF", join(with(11, "sfx all\n")), LoadOutcome::CheckFailed,
         "sfx all\n", sfx},
    };
    for (const LoadCase& c : cases) {
        SCOPED_TRACE(c.what);
        const LoadResult result = parse(c.bytes);
        EXPECT_EQ(result.outcome, c.outcome);
        if (c.outcome == LoadOutcome::CheckFailed) {
            EXPECT_EQ(result.offendingLine, c.offendingLine);
            EXPECT_EQ(result.checkMessage, QString::fromLatin1(c.message));
        }
    }
}

TEST(ParseOptionsFile, CorrectsLocationAndDocuments) {
    struct Case {
        const char* what;
        QList<QByteArray> lines;
        QByteArray entry5;
        QByteArray entry12;
    };
    QList<QByteArray> single = with(3, "single computer");
    single[4] = "D:\\HIST";
    QList<QByteArray> maybe = with(12, "documents maybe");
    const Case cases[] = {
        {"network keeps its location", validLines(), "F:\\DEXLAN", "documents off"},
        {"single computer keeps its files with the program", single, "hist home", "documents off"},
        {"eleven lines", validLines().mid(0, 11), "F:\\DEXLAN", "documents on"},
        {"other documents value", maybe, "F:\\DEXLAN", "documents on"},
        {"empty documents line", with(12, ""), "F:\\DEXLAN", "documents on"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const LoadResult result = parse(join(c.lines) + "line 13 is ignored\r\n");
        ASSERT_EQ(result.outcome, LoadOutcome::Loaded);
        EXPECT_EQ(result.lines[EntryHistoryLocation], c.entry5);
        EXPECT_EQ(result.lines[EntryDocuments], c.entry12);
        EXPECT_TRUE(result.lines[0].isEmpty());
    }
}

TEST(ParseOptionsFile, KeepsFreeLinesByteForByte) {
    QByteArray every;
    for (int b = 1; b < 256; ++b) {
        if (b != '\r')
            every.append(char(b));
    }
    QList<QByteArray> lines = validLines();
    for (int line = 6; line <= 9; ++line)
        lines[line - 1] = every.mid((line - 6) * 20) + every.left((line - 6) * 20);
    lines[4] = every; // the location is not validated either
    const LoadResult result = parse(join(lines));
    ASSERT_EQ(result.outcome, LoadOutcome::Loaded);
    for (int line = 5; line <= 9; ++line)
        EXPECT_EQ(result.lines[line], lines[line - 1]) << "line " << line;
    EXPECT_EQ(optionsFileBytes(result.lines), join(lines));
}

// A device of any length that holds no line break, made up as it is read.
class EndlessLine : public QIODevice {
  public:
    explicit EndlessLine(qint64 size) : m_size(size) { open(QIODevice::ReadOnly); }
    qint64 bytesRead() const { return m_read; }

  protected:
    qint64 readData(char* data, qint64 max) override {
        const qint64 n = std::min(max, m_size - m_read);
        memset(data, 'x', size_t(n));
        m_read += n;
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

  private:
    qint64 m_size;
    qint64 m_read = 0;
};

// Valid lines up to the given one, which then never ends.
class LinesThenEndless : public EndlessLine {
  public:
    LinesThenEndless(const QByteArray& head, qint64 size) : EndlessLine(size), m_head(head) {}

  protected:
    qint64 readData(char* data, qint64 max) override {
        if (m_given < m_head.size()) {
            const qint64 n = std::min(max, m_head.size() - m_given);
            memcpy(data, m_head.constData() + m_given, size_t(n));
            m_given += n;
            return n;
        }
        return EndlessLine::readData(data, max);
    }

  private:
    QByteArray m_head;
    qint64 m_given = 0;
};

TEST(ParseOptionsFile, OverlongLinesAreBoundedAndRefused) {
    // Reading stops soon after a line passes its bound, however long the input.
    const qint64 huge = 1000LL * 1000 * 1000;
    {
        EndlessLine body(huge);
        EXPECT_EQ(parseOptionsFile(body).outcome, LoadOutcome::Missing) << "no header";
        EXPECT_LT(body.bytesRead(), 2 * kMaxLineBytes);
    }
    for (int line : {3, 5, 7, 11}) {
        SCOPED_TRACE(line);
        LinesThenEndless body(join(validLines().mid(0, line - 1)), huge);
        const LoadResult result = parseOptionsFile(body);
        EXPECT_EQ(result.outcome, LoadOutcome::LineTooLong);
        EXPECT_EQ(result.longLine, line);
        EXPECT_LT(body.bytesRead(), 2 * kMaxTrainerLineBytes);
    }

    // The trainer's own lines hold a mebibyte each, kept whole and written back.
    QList<QByteArray> big = validLines();
    for (int line = 6; line <= 9; ++line)
        big[line - 1] = QByteArray(kMaxTrainerLineBytes, char('0' + line));
    const LoadResult kept = parse(join(big));
    ASSERT_EQ(kept.outcome, LoadOutcome::Loaded);
    EXPECT_EQ(optionsFileBytes(kept.lines), join(big));
    static_assert(kMaxTrainerLineBytes >= 1024 * 1024);

    // One byte more is too long, for them and for the program's own lines.
    struct Case {
        int line;
        qsizetype bound;
    } cases[] = {{2, kMaxLineBytes},
                 {5, kMaxLineBytes},
                 {6, kMaxTrainerLineBytes},
                 {9, kMaxTrainerLineBytes},
                 {10, kMaxLineBytes}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(parse(join(with(c.line, QByteArray(c.bound, 'y')))).outcome,
                  c.line == 5 || c.line == 6 || c.line == 9 ? LoadOutcome::Loaded
                                                            : LoadOutcome::CheckFailed);
        const LoadResult over = parse(join(with(c.line, QByteArray(c.bound + 1, 'y'))));
        EXPECT_EQ(over.outcome, LoadOutcome::LineTooLong);
        EXPECT_EQ(over.longLine, c.line);
    }
    // A first line that long is no header, and the optional last line counts as absent.
    EXPECT_EQ(parse(join(with(1, QByteArray(kMaxLineBytes + 1, 'y')))).outcome,
              LoadOutcome::Missing);
    const QByteArray longLine(kMaxLineBytes + 1, 'y');
    EXPECT_EQ(parse(join(with(12, longLine))).lines[EntryDocuments], "documents on");
}

TEST(ParseOptionsFile, SparseHundredMegabyteFile) {
    TestFolder folder;
    QFile file(folder.file("Dexlan4.ini"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(file.resize(100LL * 1024 * 1024)); // all NUL bytes, no line break
    file.close();
    EXPECT_EQ(parseOptionsFile(folder.file("Dexlan4.ini")).outcome, LoadOutcome::Missing);
    EXPECT_EQ(parseOptionsFile(folder.file("absent.ini")).outcome, LoadOutcome::Missing);
}

TEST(HistoryFolderFromEntry, FollowsThePolicy) {
    struct Case {
        QByteArray entry;
        PathPolicy policy;
        QString folder;
    } cases[] = {
        {"hist home", PathPolicy::windows(), ""},
        {"hist home", PathPolicy::posix(), ""},
        {"D:\\HIST", PathPolicy::windows(), "D:\\HIST\\"},
        {"D:\\HIST\\", PathPolicy::windows(), "D:\\HIST\\"},
        {"/srv/hist", PathPolicy::posix(), "/srv/hist/"},
        {"/srv/hist/", PathPolicy::posix(), "/srv/hist/"},
        {"", PathPolicy::posix(), ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(historyFolderFromEntry(c.entry, c.policy), c.folder) << c.entry.constData();
}

class ReadOptionsFileTest : public ::testing::Test {
  protected:
    void SetUp() override { state.programFolder = folder.path(); }
    TestFolder folder;
    SharedState state;
    ScriptedDialogs dialogs;
};

TEST_F(ReadOptionsFileTest, LoadsAndPutsFirstValuesOnTheWindow) {
    state.pathPolicy = PathPolicy::posix();
    folder.write("Dexlan4.ini", join(with(5, "/srv/dexlan")));
    const auto window = readOptionsFile(state, dialogs);
    ASSERT_TRUE(window);
    EXPECT_EQ(window->locationBoxText, "/srv/dexlan");
    EXPECT_EQ(window->installationCaption, "Network Installation");
    EXPECT_EQ(state.historyFolder, "/srv/dexlan/");
    EXPECT_EQ(state.fileOptionLines[3], "network");
    EXPECT_TRUE(state.optionLines[3].isEmpty()) << "the working copy is filled by copyOptionLines";
    copyOptionLines(state);
    EXPECT_EQ(state.optionLines, state.fileOptionLines);
}

TEST_F(ReadOptionsFileTest, HistHomeLeavesTheBoxAndFolderEmpty) {
    QList<QByteArray> lines = with(3, "single computer");
    lines[4] = "D:\\HIST";
    folder.write("Dexlan4.ini", join(lines));
    const auto window = readOptionsFile(state, dialogs);
    ASSERT_TRUE(window);
    EXPECT_EQ(window->locationBoxText, "");
    EXPECT_EQ(window->installationCaption, "Single-Computer Installation");
    EXPECT_EQ(state.historyFolder, "");
}

TEST_F(ReadOptionsFileTest, MissingFileIsReportedOnce) {
    dialogs.expectBox(missingFileReport(), MsgAnswer::Ok);
    EXPECT_FALSE(readOptionsFile(state, dialogs));
    EXPECT_EQ(missingFileReport().prompt,
              "There is no Corvantis Options 4.ini file at this location.  This file must be "
              "present for the Corvantis Dexlan Options 4 program to view or change ini settings.");
    EXPECT_EQ(missingFileReport().title, "Sorry...");
}

TEST_F(ReadOptionsFileTest, CheckReportOkLeadsToTheMissingFileReport) {
    folder.write("Dexlan4.ini", join(with(3, "Network")));
    const MsgBoxRequest expected{
        "Network\r\n\r\nIs the wrong computer type selection for Dexlan4.ini file.\r\n\r\n"
        "Do you wish to use default settings?",
        MsgButtons::OkCancel, MsgIcon::Critical, MsgAnswer::Ok, "Oops..."};
    dialogs.expectBox(expected, MsgAnswer::Ok);
    dialogs.expectBox(missingFileReport(), MsgAnswer::Ok);
    EXPECT_FALSE(readOptionsFile(state, dialogs));
    EXPECT_TRUE(dialogs.allAnswersUsed());
}

TEST_F(ReadOptionsFileTest, CheckReportCancelEndsWithoutAnotherMessage) {
    folder.write("Dexlan4.ini", join(with(11, "sfx loud")));
    dialogs.answerNextBox(MsgAnswer::Cancel);
    EXPECT_FALSE(readOptionsFile(state, dialogs));
    EXPECT_EQ(dialogs.boxesShown.size(), 1);
    EXPECT_EQ(dialogs.boxesShown.front().title, "Oops...");
}

TEST_F(ReadOptionsFileTest, TooLongALineIsNamedNotCalledMissing) {
    folder.write("Dexlan4.ini", join(with(8, QByteArray(kMaxTrainerLineBytes + 1, 'z'))));
    dialogs.expectBox(lineTooLongReport(8), MsgAnswer::Ok);
    EXPECT_FALSE(readOptionsFile(state, dialogs));
    EXPECT_TRUE(dialogs.allAnswersUsed());
    EXPECT_EQ(lineTooLongReport(8).title, "Sorry...");
    EXPECT_TRUE(
        lineTooLongReport(8).prompt.startsWith("Line 8 of the Dexlan4.ini file is too long"));
}

// Linux-only: FIFOs and device files, which Windows folders do not hold.
#ifdef Q_OS_UNIX
// Only a regular file is read: anything else is reported missing at once,
// without waiting for a writer or reading an endless device.
TEST_F(ReadOptionsFileTest, OnlyARegularFileIsRead) {
    const QByteArray path = QFile::encodeName(folder.file("Dexlan4.ini"));
    struct Case {
        const char* what;
        std::function<void()> make;
    } cases[] = {
        {"a FIFO", [&] { ASSERT_EQ(mkfifo(path.constData(), 0644), 0); }},
        {"a link to /dev/zero", [&] { ASSERT_EQ(symlink("/dev/zero", path.constData()), 0); }},
        {"a folder", [&] { ASSERT_EQ(mkdir(path.constData(), 0755), 0); }},
        {"a link to a folder", [&] { ASSERT_EQ(symlink("/", path.constData()), 0); }},
        {"a dangling link", [&] { ASSERT_EQ(symlink("nowhere", path.constData()), 0); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.make();
        ScriptedDialogs reports;
        reports.expectBox(missingFileReport(), MsgAnswer::Ok);
        EXPECT_FALSE(readOptionsFile(state, reports));
        EXPECT_TRUE(reports.allAnswersUsed());
        if (::remove(path.constData()) != 0)
            ::rmdir(path.constData());
    }
    // A link to a regular file is read through.
    folder.write("real.ini", join(validLines()));
    ASSERT_EQ(symlink("real.ini", path.constData()), 0);
    EXPECT_TRUE(readOptionsFile(state, dialogs));
}
#endif

} // namespace
} // namespace dexlan

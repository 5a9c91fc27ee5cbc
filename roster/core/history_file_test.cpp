// SPDX-License-Identifier: GPL-3.0-or-later
#include "roster/core/history_file.h"

#include "platform/file_names.h"
#include "roster/core/roster_test_files.h"

#include "testing/linux_only.h"
#include "testing/test_files.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QSet>

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>

#include <sys/stat.h>

namespace dexlan {
namespace {

QList<QByteArray> linesOf(const QByteArray& bytes) {
    QList<QByteArray> lines = bytes.split('\n');
    EXPECT_TRUE(lines.back().isEmpty()) << "the last line must end with CR LF";
    lines.removeLast();
    for (QByteArray& line : lines) {
        EXPECT_TRUE(line.endsWith('\r'));
        line.chop(1);
    }
    return lines;
}

TEST(NewHistoryFile, HoldsTheTrainersLayoutForAbc) {
    const std::array<int, kRandomsPerFile> randoms{201, 202, 203, 204, 205, 206, 207, 4999};
    const QByteArray bytes = newHistoryFileBytes("abc", randoms);

    // Built line by line from the layout, independently of the writer.
    QByteArray expected = "\"abc\"\r\n";
    for (int i = 0; i < 360; ++i)
        expected += " 0\r\n";
    expected += "xxxx1\r\n 94\r\n 0\r\n 201\r\n 3001\r\n 202\r\n 203\r\n 204\r\n 205\r\n"
                " 8046\r\n 206\r\n 207\r\n 4999\r\n";
    EXPECT_EQ(bytes, expected);

    const QList<QByteArray> lines = linesOf(bytes);
    ASSERT_EQ(lines.size(), 374);
    EXPECT_EQ(lines[0], "\"abc\"");
    EXPECT_EQ(lines[362], " 94");
    EXPECT_EQ(lines[365], " 3001");
    EXPECT_EQ(lines[370], " 8046");
}

TEST(NewHistoryFile, ChecksAndKeysFollowTheNamesBytes) {
    struct Case {
        QByteArray name;
        QByteArray checkLine;
        QByteArray keyLine;
    };
    const Case cases[] = {
        {"abc", " 94", " 3001"},  {"", " 0", " 2719"},
        {"\xe9", " 33", " 2818"}, // é is byte 233: counted unsigned
        {"Zz", " 12", " 2755"},   {"\xff\xff\xff\xff", " 20", " 2779"},
    };
    const std::array<int, kRandomsPerFile> randoms{200, 200, 200, 200, 200, 200, 200, 200};
    for (const Case& c : cases) {
        const QList<QByteArray> lines = linesOf(newHistoryFileBytes(c.name, randoms));
        ASSERT_EQ(lines.size(), kHistoryFileLines) << c.name.toHex().constData();
        EXPECT_EQ(lines[0], '"' + c.name + '"');
        EXPECT_EQ(lines[362], c.checkLine) << c.name.toHex().constData();
        EXPECT_EQ(lines[365], c.keyLine) << c.name.toHex().constData();
    }
}

TEST(HistoryNumberText, BlankInTheSignPlace) {
    EXPECT_EQ(historyNumberText(0), " 0");
    EXPECT_EQ(historyNumberText(94), " 94");
    EXPECT_EQ(historyNumberText(8046), " 8046");
    EXPECT_EQ(historyNumberText(-5), "-5");
}

TEST(UserNumberFromFileName, TableOfNames) {
    struct Case {
        const char16_t* fileName;
        std::optional<int> number;
    };
    const Case cases[] = {
        {u"1hist.dx", 1},
        {u"2HIST.DX", 2},
        {u"3Hist.Dx", 3},
        {u"10hist.dx", 10},
        {u"007hist.dx", 7},
        {u"000000000000000000012hist.dx", 12},
        {u"12 copyhist.dx", 12}, // the number at the start counts, as the trainer reads it
        {u"-5hist.dx", -5},
        {u"2147483647hist.dx", INT_MAX},
        {u"-2147483648hist.dx", INT_MIN},
        // No user.
        {u"hist.dx", std::nullopt},
        {u"0hist.dx", std::nullopt},
        {u"-0hist.dx", std::nullopt},
        {u"-hist.dx", std::nullopt},
        {u"--5hist.dx", std::nullopt},
        {u"+5hist.dx", std::nullopt},
        {u"x5hist.dx", std::nullopt},
        {u"2147483648hist.dx", std::nullopt},
        {u"-2147483649hist.dx", std::nullopt},
        {u"99999999999999999999999hist.dx", std::nullopt},
        {u"12hist.dx.bak", std::nullopt},
        {u"12hist.dxx", std::nullopt},
        {u"12hist_dx", std::nullopt},
        {u"12", std::nullopt},
        {u"", std::nullopt},
        {u"\u0661hist.dx", std::nullopt},  // a digit, but not one the trainer writes
        {u"12hi\u017Ft.dx", std::nullopt}, // long s folds to s in Unicode, not here
        {u"12\u0368ist.dx", std::nullopt}, // U+0368 is not 'h' (0x68), whatever its low byte
        {u"020000\u063F\u0368ist.dx", std::nullopt},
        {u"12HIS\u0154.DX", std::nullopt}, // nor U+0154 'T' (0x54)
    };
    for (const Case& c : cases) {
        const QString name = QString::fromUtf16(c.fileName);
        EXPECT_EQ(userNumberFromFileName(name), c.number) << name.toStdString();
        // A listing reads the number from the file system's bytes.
        EXPECT_EQ(userNumberFromNativeName(pathToSystem(name)), c.number) << name.toStdString();
    }
    // Bytes that are no UTF-8 give the number the name they show gives.
    for (const QByteArray bytes : {QByteArray("12\xe9hist.dx"), QByteArray("\xe9" "12hist.dx"),
                                   QByteArray("7hist.d\xe9x"), QByteArray("8\xffHIST.DX")})
        EXPECT_EQ(userNumberFromNativeName(bytes), userNumberFromFileName(pathFromSystem(bytes)))
            << bytes.toStdString();
}

TEST(HistoryFileSpellings, EveryLetterCaseOnce) {
    const QStringList spellings = historyFileSpellings(12);
    EXPECT_EQ(spellings.size(), 64);
    EXPECT_EQ(QSet<QString>(spellings.begin(), spellings.end()).size(), 64);
    for (const QString& s : spellings)
        EXPECT_EQ(s.toLower(), QStringLiteral("12hist.dx"));
    EXPECT_TRUE(spellings.contains(QStringLiteral("12HIST.DX")));
    EXPECT_TRUE(spellings.contains(QStringLiteral("12hist.dx")));
    EXPECT_EQ(newHistoryFileName(12), QStringLiteral("12HIST.DX"));
}

// A device that hands out some bytes and then fails.
class FailingReader : public QIODevice {
  public:
    explicit FailingReader(QByteArray head) : m_head(std::move(head)) { open(ReadOnly); }

  protected:
    qint64 readData(char* data, qint64 max) override {
        if (m_head.isEmpty()) {
            setErrorString(QStringLiteral("Input/output error"));
            return -1;
        }
        const qint64 n = std::min<qint64>(max, m_head.size());
        memcpy(data, m_head.constData(), size_t(n));
        m_head.remove(0, n);
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

  private:
    QByteArray m_head;
};

TEST(ReadFirstLine, TableOfFiles) {
    struct Case {
        const char* what;
        QByteArray bytes;
        FirstLine::Status status;
        QByteArray line;
    };
    const QByteArray longName(300, 'a'); // crosses a read of 256 bytes
    const QByteArray atLimit(kMaxFirstLineBytes, 'b');
    const Case cases[] = {
        {"CR LF", "\"Ann\"\r\n 0\r\n", FirstLine::Line, "\"Ann\""},
        {"last line without end", "\"Ann\"", FirstLine::Line, "\"Ann\""},
        {"CR alone ends the line", "\"Ann\"\r 0", FirstLine::Line, "\"Ann\""},
        {"a lone LF belongs to the line", "\"A\nB\"\r\n", FirstLine::Line, "\"A\nB\""},
        {"empty first line", "\r\n\"Ann\"\r\n", FirstLine::Line, ""},
        {"empty file", "", FirstLine::Empty, ""},
        {"long line across reads", longName + "\r\n", FirstLine::Line, longName},
        {"line at the limit", atLimit + "\r", FirstLine::Line, atLimit},
        {"line over the limit", atLimit + "b\r\n", FirstLine::TooLong, ""},
        {"no line break at all", QByteArray(100000, 'c'), FirstLine::TooLong, ""},
    };
    for (const Case& c : cases) {
        QByteArray bytes = c.bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        const FirstLine line = readFirstLine(buffer);
        EXPECT_EQ(line.status, c.status) << c.what;
        EXPECT_EQ(line.bytes, c.line) << c.what;
    }
}

TEST(ReadFirstLine, ReadErrorCarriesTheDevicesText) {
    FailingReader device("\"Ann");
    const FirstLine line = readFirstLine(device);
    EXPECT_EQ(line.status, FirstLine::ReadError);
    EXPECT_EQ(line.errorText, QStringLiteral("Input/output error"));
}

TEST(ReadFirstLineOfFile, OnlyRegularFilesAreRead) {
    testing::TestFolder folder;
    folder.write("1hist.dx", "\"Ann\"\r\n 0\r\n");
    QDir().mkdir(folder.file("2hist.dx"));
#ifdef Q_OS_UNIX // Linux-only: Windows folders hold no pipes
    ASSERT_EQ(mkfifo(QFile::encodeName(folder.file("3hist.dx")).constData(), 0600), 0);
#endif

    const FirstLine ann = readFirstLineOfFile(folder.file("1hist.dx"));
    EXPECT_EQ(ann.status, FirstLine::Line);
    EXPECT_EQ(ann.bytes, "\"Ann\"");

    struct Case {
        const char* fileName;
        QString errorText;
    };
    // Windows refuses to open a folder as a file (ERROR_ACCESS_DENIED).
    std::vector<Case> cases{{"missing", testing::systemErrorText(ENOENT, 2)},
                            {"2hist.dx", testing::systemErrorText(EISDIR, 5)}};
#ifdef Q_OS_UNIX
    cases.push_back({"3hist.dx", qt_error_string(EINVAL)}); // a pipe: never waited on
#endif
    for (const Case& c : cases) {
        const FirstLine line = readFirstLineOfFile(folder.file(QString::fromLatin1(c.fileName)));
        EXPECT_EQ(line.status, FirstLine::ReadError) << c.fileName;
        EXPECT_EQ(line.errorText, c.errorText) << c.fileName;
    }
}

TEST(ReadFirstLineIn, ReadsAsByPathAndNeverWaitsOnWhatIsNoFile) {
    testing::TestFolder folder;
    folder.write("1hist.dx", "\"Ann\"\r\n 0\r\n");
    QDir().mkdir(folder.file("2hist.dx"));
#ifdef Q_OS_UNIX // Linux-only: a pipe and a link
    ASSERT_EQ(mkfifo(QFile::encodeName(folder.file("3hist.dx")).constData(), 0600), 0);
    ASSERT_EQ(symlink("1hist.dx", QFile::encodeName(folder.file("4hist.dx")).constData()), 0);
#endif
    const OpenFolder opened(folder.path());
    const OpenFolder unopened(folder.file("nowhere/"));
    for (const OpenFolder* in : {&opened, &unopened}) {
        for (const bool withStamp : {true, false}) {
            SCOPED_TRACE(std::string(in == &opened ? "opened" : "by path") +
                         (withStamp ? ", stamped" : ", no stamp"));
            const QString inFolder = in == &opened ? folder.path() : folder.file("nowhere/");
            for (const char* name : {"1hist.dx", "2hist.dx", "missing"}) {
                const FirstLine byPath = readFirstLineOfFile(inFolder + QLatin1String(name));
                const FirstLine line = readFirstLineIn(*in, name, {true, withStamp});
                EXPECT_EQ(line.status, byPath.status) << name;
                EXPECT_EQ(line.bytes, byPath.bytes) << name;
                EXPECT_EQ(line.errorText, byPath.errorText) << name;
                EXPECT_EQ(line.stamp, withStamp ? byPath.stamp : 0) << name;
            }
        }
    }
#ifdef Q_OS_UNIX
    // A link where the listing saw a file (one made in its place since) is
    // followed and read; a pipe it took for a file is opened without waiting
    // and gives nothing; listed as something else, a pipe is refused unread.
    const FirstLine linked = readFirstLineIn(opened, "4hist.dx", {true, false});
    EXPECT_EQ(linked.status, FirstLine::Line);
    EXPECT_EQ(linked.bytes, "\"Ann\"");
    EXPECT_NE(readFirstLineIn(opened, "3hist.dx", {true, false}).status, FirstLine::Line);
    const FirstLine pipe = readFirstLineIn(opened, "3hist.dx", {false, false});
    EXPECT_EQ(pipe.status, FirstLine::ReadError);
    EXPECT_EQ(pipe.errorText, qt_error_string(EINVAL));
#endif
}

TEST(NameFromFirstLine, TableOfLines) {
    struct Case {
        QByteArray line;
        std::optional<QByteArray> name;
    };
    const Case cases[] = {
        {"\"Ann\"", QByteArray("Ann")},
        {"\"a \"b\" c\"", QByteArray("a \"b\" c")},
        {"\"\xe9mile\"", QByteArray("\xe9mile")},
        {"\"\"", std::nullopt}, // the empty name: not a user
        {"ab", std::nullopt},   // too short to hold a name
        {"\"", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(nameFromFirstLine(c.line), c.name) << c.line.constData();
}

TEST(StorableName, RefusesWhatLineOneCannotHold) {
    struct Case {
        QString name;
        StorableName::Problem problem;
        QByteArray bytes;
    };
    const Case cases[] = {
        {QStringLiteral("Ann"), StorableName::None, "Ann"},
        {QStringLiteral(" Ann "), StorableName::None, " Ann "},
        {QString::fromUtf8("Émile €"), StorableName::None, "\xc9mile \x80"},
        {QStringLiteral("a\r\nb"), StorableName::ControlCharacter, ""},
        {QStringLiteral("a\nb"), StorableName::ControlCharacter, ""},
        {QStringLiteral("a\tb"), StorableName::ControlCharacter, ""},
        {QString(QChar(0)), StorableName::ControlCharacter, ""},
        {QStringLiteral("a\x7f"), StorableName::ControlCharacter, ""},
        {QString(QChar(0x85)), StorableName::ControlCharacter, ""}, // next line (C1)
        {QString::fromUtf8("Ωmega"), StorableName::OutsideCodePage, ""},
        {QString::fromUtf8("a😀"), StorableName::OutsideCodePage, ""},
    };
    for (const Case& c : cases) {
        const StorableName result = storableName(c.name);
        EXPECT_EQ(result.problem, c.problem) << c.name.toStdString();
        EXPECT_EQ(result.bytes, c.bytes) << c.name.toStdString();
    }
}

TEST(NewHistoryFile, NameRoundTripsThroughTheFirstLine) {
    const std::array<int, kRandomsPerFile> randoms{300, 301, 302, 303, 304, 305, 306, 307};
    for (const QByteArray& name : {QByteArray("Ann"), QByteArray("\"quoted\""),
                                   QByteArray("\xc9mile \x80"), QByteArray(30, 'x')}) {
        QByteArray bytes = newHistoryFileBytes(name, randoms);
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        const FirstLine line = readFirstLine(buffer);
        ASSERT_EQ(line.status, FirstLine::Line);
        EXPECT_EQ(nameFromFirstLine(line.bytes), name);
    }
}

} // namespace
} // namespace dexlan

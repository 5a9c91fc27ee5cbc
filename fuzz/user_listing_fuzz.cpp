// SPDX-License-Identifier: GPL-3.0-or-later
// Lists a folder made from arbitrary bytes: file names and first lines of any
// kind. Whatever the folder holds, every listed user comes from a history file
// whose name carries a user number, with the name its first line holds.
#include "roster/core/background_listing.h"
#include "roster/core/history_file.h"
#include "roster/core/history_folder.h"
#include "roster/core/user_list_model.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdlib>

namespace {

void check(bool condition) {
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Records separated by NUL: a file name, a line feed, then the file's bytes.
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    QTemporaryDir dir(QDir::tempPath() + QLatin1String("/listing-fuzz-XXXXXX"));
    if (!dir.isValid())
        return 0;
    const QString folder = dir.path() + QLatin1Char('/');
    int files = 0;
    for (const QByteArray& record : input.split('\0')) {
        if (++files > 16)
            break;
        const qsizetype newline = record.indexOf('\n');
        if (newline <= 0)
            continue;
        QString name = QString::fromUtf8(record.left(newline));
        name.replace(QLatin1Char('/'), QLatin1Char('_'));
        if (name == QLatin1String(".") || name == QLatin1String(".."))
            continue;
        QFile file(folder + name);
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            file.write(record.mid(newline + 1));
    }

    const dexlan::UserListing listing = dexlan::listUsers(folder);
    // Read on several threads, a file at a time each, the listing is the one
    // read file by file: same users in the same order, same unreadable files.
    const dexlan::UserListing plain = dexlan::listUsers(folder, {1, 1, {}});
    const dexlan::UserListing threaded = dexlan::listUsers(folder, {3, 1, {}});
    check(threaded.users == plain.users && threaded.unreadable == plain.unreadable &&
          threaded.digest == plain.digest && threaded.error.kind == plain.error.kind &&
          threaded.error.text == plain.error.text);
    check(listing.users == plain.users && listing.unreadable == plain.unreadable);
    // Read in the background, as at start-up, and made into the list's rows
    // there: the rows the plain listing makes.
    dexlan::BackgroundListing background(folder, dexlan::BackgroundListing::Made::ListRows, {});
    dexlan::UserListModel fromThread;
    fromThread.show(background.takeRows());
    const dexlan::UserListing rest = background.take();
    check(rest.unreadable == plain.unreadable && rest.digest == plain.digest &&
          rest.error.text == plain.error.text);
    dexlan::UserListModel fromPlain;
    fromPlain.showListing(plain);
    check(fromThread.rowCount() == fromPlain.rowCount());
    for (int row = 0; row < fromPlain.rowCount(); ++row)
        check(fromThread.text(row) == fromPlain.text(row) &&
              fromThread.number(row) == fromPlain.number(row) &&
              fromThread.path(row) == fromPlain.path(row));
    // Adding a name tells a changed folder by its digest: the same folder
    // gives the same digest as the listing saw.
    check(listing.digest.has_value() && listing.digest == dexlan::historyFilesDigest(folder));
    for (const dexlan::UnreadableFile& file : listing.unreadable)
        check(dexlan::userNumberFromFileName(file.fileName).has_value());
    for (const dexlan::ListedUser& user : listing.users) {
        const QFileInfo info(user.path);
        check(info.absolutePath() + QLatin1Char('/') == folder);
        check(user.number != 0); // a minus sign is listed; no file is user 0
        check(dexlan::userNumberFromFileName(info.fileName()) == user.number);
        const dexlan::FirstLine line = dexlan::readFirstLineOfFile(user.path);
        check(line.status == dexlan::FirstLine::Line);
        check(dexlan::nameFromFirstLine(line.bytes) == user.name);
    }
    return 0;
}

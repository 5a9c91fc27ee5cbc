// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a history folder: its users from the files' first lines, and the
// digest that tells whether its history files changed since.

#include "roster/core/history_folder.h"

#include "options_file/options_file.h"
#include "platform/code_page.h"
#include "platform/file_names.h"
#include "platform/file_system.h"
#include "platform/folder_reading.h"
#include "roster/core/history_file.h"
#include "roster/core/history_folder_detail.h"

#include <QThreadPool>

#include <algorithm>
#include <atomic>
#include <cerrno>

namespace dexlan {

using namespace folder_detail;

namespace {

// One history file's part of a folder digest: its name (as the file system
// holds it), the identity of the file the name stands for and, for a regular
// file, its size and time of last change (its fileStamp, or 0), so that a file
// put in the place of another, or rewritten, changes the digest: a freed inode
// number is given to the next new file at once.
quint64 entryDigest(QByteArrayView name, quint64 identity, quint64 stamp) {
    // FNV-1a over the name, then a SplitMix64 finaliser over name and identity.
    quint64 hash = 0xcbf29ce484222325ULL;
    for (char c : name) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3ULL;
    }
    quint64 mixed = hash ^ (identity * 0x9e3779b97f4a7c15ULL) ^ (stamp * 0xd6e8feb86659fd93ULL);
    mixed = (mixed ^ (mixed >> 30)) * 0xbf58476d1ce4e5b9ULL;
    mixed = (mixed ^ (mixed >> 27)) * 0x94d049bb133111ebULL;
    return mixed ^ (mixed >> 31);
}

// Whether a name, in the file system's bytes, may be a user's history file:
// not hidden, a digit or minus sign first, "hist.dx" in any case last. A
// cheap test on every name of a large folder; userNumberFromFileName() has
// the last word.
bool mayBeHistoryFile(QByteArrayView name) {
    constexpr qsizetype kSuffix = sizeof kHistorySuffix - 1;
    if (name.size() <= kSuffix || !((name[0] >= '0' && name[0] <= '9') || name[0] == '-'))
        return false;
    const QByteArrayView tail = name.last(kSuffix);
    for (qsizetype i = 0; i < kSuffix; ++i) {
        const char c = tail[i];
        if ((c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c) != kHistorySuffix[i])
            return false;
    }
    return true;
}

// Calls visit(name, identity, kind, stamp) for every entry of folder that
// mayBeHistoryFile(); the stamp is its regularFileStamp with withStamps, else
// 0 (a listing takes it from the file it opens anyway). False with errno set
// when the folder cannot be read to its end.
template <bool withStamps, typename Visit>
bool forEachHistoryEntry(const QString& folder, Visit visit) {
    return forEachFolderEntry<withStamps>(folder, mayBeHistoryFile, visit);
}

} // namespace

namespace {

// What one history file brings to a listing.
struct FileOutcome {
    enum Kind : quint8 { Nothing, User, Unreadable };
    Kind kind = Nothing;
    QByteArray name;   // User: the name from its first line
    QString errorText; // Unreadable: the platform's description; empty for an empty file
    quint64 stamp = 0; // the file's part of the digest beside its name and identity
};

FileOutcome readHistoryFile(const OpenFolder& folder, const QByteArray& nativeName, EntryKind kind,
                            bool withStamp) {
    const auto path = [&] { return folder.path() + pathFromSystem(nativeName); };
    // Folders, devices, pipes and broken links are never users (and a pipe
    // would block the read).
    if (kind == EntryKind::Other || (kind == EntryKind::Unknown && !isRegularFile(path())))
        return {};
    const FirstLine line =
        readFirstLineIn(folder, nativeName, {kind == EntryKind::RegularFile, withStamp});
    // Stamped from the file as it was opened; one that could not be opened
    // is asked for separately, as the digest alone would.
    const quint64 stamp = !withStamp ? 0 : line.stamp ? line.stamp : regularFileStamp(path());
    switch (line.status) {
    case FirstLine::Empty:
        return {FileOutcome::Unreadable, {}, {}, stamp};
    case FirstLine::ReadError:
        // Deleted by another copy since the folder was listed: no user, and
        // nothing that cannot be read either.
        if (!existsAsAnything(path()))
            return {};
        return {FileOutcome::Unreadable, {}, line.errorText, stamp};
    case FirstLine::TooLong:
        return {FileOutcome::Nothing, {}, {}, stamp};
    case FirstLine::Line:
        break;
    }
    std::optional<QByteArray> name = nameFromFirstLine(line.bytes);
    if (!name)
        return {FileOutcome::Nothing, {}, {}, stamp};
    return {FileOutcome::User, std::move(*name), {}, stamp};
}

void addOutcome(UserListing& listing, FileOutcome&& outcome, const QString& folder,
                const QString& fileName, int number) {
    switch (outcome.kind) {
    case FileOutcome::Nothing:
        return;
    case FileOutcome::Unreadable:
        listing.unreadable.push_back({fileName, std::move(outcome.errorText)});
        return;
    case FileOutcome::User:
        listing.users.push_back({std::move(outcome.name), number, folder + fileName});
        return;
    }
}

// The listing's first part, on the calling thread: the folder's names.
// Its name sits in one store of all the names, each followed by a zero
// byte as the system takes it: no allocation per name.
struct Candidate {
    quint64 identity = 0;
    quint32 nameAt = 0;
    quint32 nameLength = 0;
    int number = 0;
    EntryKind kind = EntryKind::Unknown;
};

// The digest's part of an entry no listing reads (its name gives no number).
quint64 unreadEntryDigest(const QString& folder, QByteArrayView nativeName, quint64 identity,
                          EntryKind kind, bool withStamp) {
    const quint64 stamp = kind == EntryKind::Other || !withStamp
                              ? 0
                              : regularFileStamp(folder + pathFromSystem(nativeName));
    return entryDigest(nativeName, identity, stamp);
}

// One file after another, each read as its name comes: the plain way, which
// every other way of listing must equal.
bool listOneByOne(const QString& folder, bool withDigest, bool withStamps, UserListing& listing,
                  quint64& digest) {
    const bool identities = entryIdentitiesCount(folder);
    const OpenFolder opened(folder);
    return forEachHistoryEntry<false>(
        folder, [&](QByteArrayView nativeName, quint64 identity, EntryKind kind, quint64) {
            if (!identities)
                identity = 0;
            const std::optional<int> number = userNumberFromNativeName(nativeName);
            if (!number) {
                if (withDigest)
                    digest ^= unreadEntryDigest(folder, nativeName, identity, kind, withStamps);
                return;
            }
            // The entry's name ends in a zero byte: it is read in place.
            FileOutcome outcome =
                readHistoryFile(opened, QByteArray::fromRawData(nativeName.data(), nativeName.size()),
                                kind, withDigest && withStamps);
            if (withDigest)
                digest ^= entryDigest(nativeName, identity, outcome.stamp);
            if (outcome.kind != FileOutcome::Nothing)
                addOutcome(listing, std::move(outcome), folder, pathFromSystem(nativeName),
                           *number);
        });
}

// The names first, then their first lines on several threads, each taking
// the next batch of files; the outcomes keep the names' order, so the result
// is the one-by-one listing's.
bool listOnThreads(const QString& folder, const ListingOptions& options, bool withStamps,
                   int threads, UserListing& listing, quint64& digest) {
    std::vector<Candidate> candidates;
    QByteArray names;
    const bool identities = entryIdentitiesCount(folder);
    const bool complete = forEachHistoryEntry<false>(
        folder, [&](QByteArrayView nativeName, quint64 identity, EntryKind kind, quint64) {
            if (!identities)
                identity = 0;
            if (const std::optional<int> number = userNumberFromNativeName(nativeName)) {
                candidates.push_back({identity, quint32(names.size()),
                                      quint32(nativeName.size()), *number, kind});
                names.append(nativeName);
                names.append('\0');
            } else if (options.digest) {
                digest ^= unreadEntryDigest(folder, nativeName, identity, kind, withStamps);
            }
        });
    if (!complete)
        return false;
    const auto nameOf = [&names](const Candidate& candidate) {
        return QByteArray::fromRawData(names.constData() + candidate.nameAt,
                                       candidate.nameLength);
    };
    const OpenFolder opened(folder);

    const qsizetype total = qsizetype(candidates.size());
    const qsizetype batch = std::max(1, options.batch);
    std::vector<FileOutcome> outcomes(candidates.size());
    std::atomic<qsizetype> next{0};
    std::atomic<qsizetype> done{0};
    // Returns false when no batch was left.
    auto readBatch = [&] {
        if (options.stop && options.stop->load(std::memory_order_relaxed))
            return false;
        const qsizetype begin = next.fetch_add(batch, std::memory_order_relaxed);
        if (begin >= total)
            return false;
        const qsizetype end = std::min(total, begin + batch);
        for (qsizetype i = begin; i < end; ++i) {
            const Candidate& candidate = candidates[size_t(i)];
            outcomes[size_t(i)] =
                readHistoryFile(opened, nameOf(candidate), candidate.kind,
                                options.digest && withStamps);
        }
        done.fetch_add(end - begin, std::memory_order_relaxed);
        return true;
    };
    {
        // Threads of its own, started from here, read with this thread's
        // rights to the files.
        QThreadPool helpers;
        const int extra = int(std::min<qsizetype>(threads - 1, (total - 1) / batch));
        helpers.setMaxThreadCount(std::max(1, extra));
        for (int i = 0; i < extra; ++i)
            helpers.start([&readBatch] {
                while (readBatch()) {
                }
            });
        if (options.progress)
            options.progress(0, total);
        while (readBatch()) {
            if (options.progress)
                options.progress(done.load(std::memory_order_relaxed), total);
        }
        helpers.waitForDone();
    }
    if (options.progress)
        options.progress(total, total);

    // Each file's part is let go as soon as it is in the listing (or the
    // sink), so that the two never hold 100,000 users each at once; the
    // listing is made at its size at once.
    qsizetype users = 0;
    qsizetype nameBytes = 0;
    for (const FileOutcome& outcome : outcomes) {
        if (outcome.kind == FileOutcome::User) {
            ++users;
            nameBytes += outcome.name.size();
        }
    }
    if (options.sink)
        options.sink->expect(users, nameBytes);
    else
        listing.users.reserve(size_t(users));
    for (size_t i = 0; i < candidates.size(); ++i) {
        const QByteArray nativeName = nameOf(candidates[i]);
        if (options.digest)
            digest ^= entryDigest(nativeName, candidates[i].identity, outcomes[i].stamp);
        if (options.sink && outcomes[i].kind == FileOutcome::User)
            options.sink->take(std::move(outcomes[i].name), candidates[i].number, folder,
                               pathFromSystem(nativeName));
        else if (outcomes[i].kind != FileOutcome::Nothing)
            addOutcome(listing, std::move(outcomes[i]), folder, pathFromSystem(nativeName),
                       candidates[i].number);
        outcomes[i] = {};
    }
    return true;
}

bool sameListing(const UserListing& a, const UserListing& b) {
    return a.users == b.users && a.unreadable == b.unreadable && a.digest == b.digest &&
           a.unstampedSinceNs.has_value() == b.unstampedSinceNs.has_value() &&
           a.error.kind == b.error.kind && a.error.text == b.error.text;
}

// Hands a listing's users to sink, in the listing's order, and lets them go.
void handOver(UserListing& listing, ListedUserSink& sink) {
    qsizetype nameBytes = 0;
    for (const ListedUser& user : listing.users)
        nameBytes += user.name.size();
    sink.expect(qsizetype(listing.users.size()), nameBytes);
    for (ListedUser& user : listing.users) {
        const qsizetype at = fileNameAt(user.path);
        sink.take(std::move(user.name), user.number, QStringView(user.path).first(at),
                  user.path.mid(at));
    }
    listing.users = {};
}

UserListing listUsersOnce(const QString& folder, const ListingOptions& options) {
    UserListing listing;
    if (holdsControlCharacter(folder)) {
        listing.error = otherFailure(controlCharacterInLocationText());
        return listing;
    }
    const PathStatus info(withoutTrailingSeparator(folder));
    if (!info.exists()) {
        listing.error = {FileError::FolderMissing, posixErrorText(ENOENT)};
        return listing;
    }
    if (!info.isDir()) {
        listing.error = otherFailure(posixErrorText(ENOTDIR));
        return listing;
    }
    if (!info.isReadable() || !info.isExecutable()) {
        listing.error = otherFailure(posixErrorText(EACCES));
        return listing;
    }
    quint64 digest = 0;
    const int threads = options.threads > 0 ? options.threads : readersFor(folder);
    // Stamps left for later count any file changed since a moment before the
    // reading began: the file system's times may lag its clock.
    const bool withStamps = !options.stampsLater || !stampsCanWait(folder);
    const std::optional<qint64> unstampedSince =
        withStamps ? std::nullopt
                   : std::optional<qint64>(entryChangeClockNs() - kChangeClockSlackNs);
    const bool complete =
        threads == 1 && !options.progress
            ? listOneByOne(folder, options.digest, withStamps, listing, digest)
            : listOnThreads(folder, options, withStamps, threads, listing, digest);
    if (options.stop && options.stop->load(std::memory_order_relaxed)) {
        // Part of the files unread: nothing of it may pass for the folder's users.
        listing = {};
        listing.error = otherFailure(QStringLiteral("The reading was stopped."));
        return listing;
    }
    if (options.sink && (threads == 1 && !options.progress)) {
        // Read one by one into the listing: handed over as the threads would.
        handOver(listing, *options.sink);
    }
    if (complete) {
        if (options.digest) {
            listing.digest = digest;
            listing.unstampedSinceNs = unstampedSince;
        }
    } else {
        listing.error = otherFailure(lastSystemErrorText());
    }
    std::sort(
        listing.unreadable.begin(), listing.unreadable.end(),
        [](const UnreadableFile& a, const UnreadableFile& b) { return a.fileName < b.fileName; });
    return listing;
}

} // namespace

UserListing listUsers(const QString& folder, const ListingOptions& options) {
    if (!listingsCrossChecked() || (options.threads == 1 && !options.progress))
        return listUsersOnce(folder, options);
    // Only a folder that stood still proves anything: one that another copy
    // (or thread) changed meanwhile gives two file-by-file listings that differ.
    ListingOptions plain{1, 1, {}};
    plain.digest = options.digest;
    plain.stampsLater = options.stampsLater;
    const UserListing before = listUsersOnce(folder, plain);
    ListingOptions compared = options;
    compared.sink = nullptr; // its users are compared first, then handed over
    UserListing listing = listUsersOnce(folder, compared);
    const UserListing after = listUsersOnce(folder, plain);
    const bool stopped = options.stop && options.stop->load(std::memory_order_relaxed);
    if (!stopped && sameListing(before, after) && !sameListing(listing, before))
        qFatal("listUsers: the listing read on several threads differs from the one read file "
               "by file in %s",
               qPrintable(folder));
    if (options.sink && !stopped) {
        handOver(listing, *options.sink);
    }
    return listing;
}

std::optional<quint64> historyFilesDigest(const QString& folder) {
    if (holdsControlCharacter(folder))
        return std::nullopt;
    quint64 digest = 0;
    const bool identities = entryIdentitiesCount(folder);
    const bool complete = forEachHistoryEntry<true>(
        folder,
        [&digest, identities](QByteArrayView name, quint64 identity, EntryKind, quint64 stamp) {
            digest ^= entryDigest(name, identities ? identity : 0, stamp);
        });
    if (!complete)
        return std::nullopt;
    return digest;
}

bool historyFilesUnchanged(const QString& folder, quint64& listed,
                           std::optional<qint64>& unstampedSinceNs) {
    if (holdsControlCharacter(folder))
        return false;
    quint64 whole = 0;
    quint64 unstamped = 0;
    qint64 lastChangeNs = 0;
    const bool identities = entryIdentitiesCount(folder);
    const bool complete = forEachHistoryEntry<true>(
        folder, [&](QByteArrayView name, quint64 identity, EntryKind, quint64 stamp,
                    qint64 changedNs) {
            if (!identities)
                identity = 0;
            whole ^= entryDigest(name, identity, stamp);
            unstamped ^= entryDigest(name, identity, 0);
            lastChangeNs = std::max(lastChangeNs, changedNs);
        });
    if (!complete)
        return false;
    if (!unstampedSinceNs)
        return whole == listed;
    // The same names and files, none of them changed since the listing
    // began, and a clock that has not been put back since: then the stamps
    // taken now are those the listing would have taken.
    if (unstamped != listed || lastChangeNs >= *unstampedSinceNs ||
        entryChangeClockNs() < *unstampedSinceNs)
        return false;
    listed = whole;
    unstampedSinceNs.reset();
    return true;
}

quint64 historyFileDigest(const QString& path) {
    const QByteArray name = pathToSystem(path.mid(fileNameAt(path)));
    if (holdsControlCharacter(path) || !mayBeHistoryFile(name))
        return 0;
    const std::optional<EntryFacts> facts = entryFacts(path);
    if (!facts)
        return 0;
    return entryDigest(name, entryIdentitiesCount(path.left(fileNameAt(path))) ? facts->identity : 0,
                       facts->stamp);
}

} // namespace dexlan

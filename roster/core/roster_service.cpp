// SPDX-License-Identifier: GPL-3.0-or-later
// The roster's state and its reading of the folder.
#include "roster/core/roster_service.h"

#include "platform/file_names.h"
#include "roster/core/background_listing.h"
#include "roster/core/history_file.h"
#include "roster/core/history_folder.h"
#include "roster/core/roster_messages.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <utility>

namespace dexlan {

namespace {

// What the list shows for a location this computer cannot reach: no users,
// and why.
UserListing unreachableFolderListing() {
    UserListing listing;
    listing.error = {FileError::Other, windowsOnlyLocationText()};
    return listing;
}

// Tells its end to whoever waits for a reading, however the reading ends.
class ReadingSpan {
  public:
    explicit ReadingSpan(RosterService& service) : m_service(service) {
        emit m_service.readingBegins();
    }
    ~ReadingSpan() { emit m_service.readingEnds(); }
    ReadingSpan(const ReadingSpan&) = delete;
    ReadingSpan& operator=(const ReadingSpan&) = delete;

  private:
    RosterService& m_service;
};

} // namespace

RosterService::RosterService(SharedState& state, QObject* parent)
    : QObject(parent), m_state(state), m_model(new UserListModel(this)) {
    // The list is shown on this object's thread once the reading is whole,
    // unless someone waited for it first.
    connect(&m_backgroundWatcher, &QFutureWatcher<void>::finished, this, [this] {
        if (m_background && m_background->isFinished())
            emit backgroundReadingFinished();
    });
}

RosterService::~RosterService() {
    m_backgroundWatcher.setFuture({});
    m_background.reset();
}

QString RosterService::historyFolderPath() const {
    return reachableHistoryFolder(m_state);
}

QString RosterService::shownFolder() const {
    return shownHistoryFolder(m_state);
}

UserListing RosterService::readUsersOnce(const QString& folder) {
    ListingOptions options;
    options.digest = false;
    return listUsers(folder, options);
}

RosterOutcome RosterService::list(const QString& folder, bool report) {
    if (folder.isEmpty())
        return takeListing(unreachableFolderListing(), folder, report);
    const UserListing listing = readFolder(folder);
    return takeListing(listing, folder, report);
}

bool RosterService::listedAndUnchanged(const QString& folder) {
    return !folder.isEmpty() && folder == m_listedFolder && listedFilesUnchanged();
}

bool RosterService::listedFilesUnchanged() {
    return m_listedDigest &&
           historyFilesUnchanged(m_listedFolder, *m_listedDigest, m_listedUnstampedSinceNs);
}

UserListing RosterService::readFolder(const QString& folder) {
    ++m_folderReads;
    ReadingSpan span(*this);
    if (!hasEventLoop()) {
        ListingOptions options;
        options.progress = [this](qsizetype read, qsizetype total) { emit progress(read, total); };
        return listUsers(folder, options);
    }
    // Read on a thread of its own, so that the window paints while it waits.
    BackgroundListing reading(folder, BackgroundListing::Made::ListingWithStamps,
                              std::function<void()>(), m_state.codePage());
    waitFor(reading);
    return reading.take();
}

bool RosterService::hasEventLoop() const {
    const QCoreApplication* application = QCoreApplication::instance();
    return application && QThread::currentThread() == application->thread();
}

void RosterService::waitFor(BackgroundListing& reading) {
    reading.start();
    if (!hasEventLoop()) {
        reading.waitUntilFinished();
        return;
    }
    // The event loop runs meanwhile but for the user's input, which waits in
    // its queue for the list to be whole; the watcher ends the wait.
    QEventLoop loop;
    QFutureWatcher<void> watcher;
    connect(&watcher, &QFutureWatcher<void>::finished, &loop, &QEventLoop::quit);
    QTimer ticks;
    ticks.setInterval(kProgressTickMs);
    connect(&ticks, &QTimer::timeout, this,
            [this, &reading] { emit progress(reading.filesRead(), reading.filesInAll()); });
    watcher.setFuture(reading.future());
    emit progress(reading.filesRead(), reading.filesInAll());
    if (reading.future().isFinished())
        return;
    ticks.start();
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    emit progress(reading.filesRead(), reading.filesInAll());
}

RosterOutcome RosterService::takeListing(const UserListing& listing, const QString& folder,
                                         bool report, std::optional<UserListModel::Rows> rows) {
    QString errorText;
    if (listing.error.failed())
        errorText = listing.error.text;
    else if (!listing.unreadable.empty())
        errorText = unreadableFilesText(listing.unreadable);
    m_listedFolder = folder;
    m_listedDigest = listing.digest;
    m_listedUnstampedSinceNs = listing.unstampedSinceNs;
    m_model->show(rows ? std::move(*rows) : UserListModel::rowsOf(listing, m_state.codePage()));
    emit listChanged();
    if (errorText.isEmpty())
        return RosterOutcome::with(RosterOutcome::Done);
    return RosterOutcome::with(RosterOutcome::Failed,
                               report ? std::optional(cannotReadReport(errorText, shownFolder()))
                                      : std::nullopt);
}

void RosterService::refresh(const QString& folder) {
    settleReading();
    // Reading the folder's names tells whether any history file came, went or
    // was replaced since the list was read; only then are the files read.
    if (folder == m_listedFolder && listedFilesUnchanged())
        return;
    // Missing: adding asks about it. Only looked at, not read: the listing
    // below reads the folder once more when it is there.
    if (!PathStatus(folder).isDir())
        return;
    const UserListing listing = readFolder(folder);
    if (!listing.error.failed())
        takeListing(listing, folder, false); // quietly: adding tells only its own failures
}

void RosterService::listAddedUsers(std::vector<UserListModel::NewRow> users) {
    settleReading();
    // No file was there before, or one with the empty name that the new one
    // replaced; in that case the digest differs and the next check reads the
    // folder again, which is only slower.
    for (const UserListModel::NewRow& user : users)
        countChangeIn(user.path, 0);
    m_model->insertSorted(std::move(users));
}

void RosterService::countChangeIn(const QString& path, quint64 before) {
    // A change of the program's own is no change of another's only against
    // stamps; without them the next check reads the folder again.
    if (m_listedUnstampedSinceNs)
        m_listedDigest.reset();
    if (!m_listedDigest || !path.startsWith(m_listedFolder) ||
        path.indexOf(QLatin1Char('/'), m_listedFolder.size()) >= 0 ||
        path.indexOf(QLatin1Char('\\'), m_listedFolder.size()) >= 0)
        return;
    *m_listedDigest ^= before ^ historyFileDigest(path);
}

void RosterService::readInBackground(const QString& folder, bool reportErrors) {
    settleReading();
    ++m_folderReads;
    m_backgroundReportsErrors = reportErrors;
    m_background = std::make_unique<BackgroundListing>(folder, BackgroundListing::Made::ListRows,
                                                       std::function<void()>(), m_state.codePage());
    m_backgroundWatcher.setFuture(m_background->future());
    emit readingInBackground(true);
}

void RosterService::startReading() {
    if (m_background)
        m_background->start();
}

RosterOutcome RosterService::settleReading() {
    if (!m_background)
        return RosterOutcome::with(RosterOutcome::Unchanged);
    m_backgroundWatcher.setFuture({});
    const std::unique_ptr<BackgroundListing> reading = std::move(m_background);
    if (!reading->isFinished()) {
        ReadingSpan span(*this);
        waitFor(*reading);
    }
    emit readingInBackground(false);
    // A location changed meanwhile is read by whoever changed it.
    if (reading->folder() != historyFolderPath())
        return RosterOutcome::with(RosterOutcome::Unchanged);
    RosterOutcome shown = takeListing(reading->take(), reading->folder(), m_backgroundReportsErrors,
                                      reading->takeRows());
    // Taken: a failure to read is told, but the list is the folder's now.
    if (shown.status == RosterOutcome::Failed)
        shown.status = RosterOutcome::Done;
    return shown;
}

void RosterService::beginBatch(bool defers) {
    if (m_batchDepth++ == 0)
        m_readInBatch = false;
    if (defers)
        ++m_deferDepth;
}

bool RosterService::endDeferring() {
    return --m_deferDepth == 0 && std::exchange(m_deferredRequest, false);
}

void RosterService::endBatch() {
    if (--m_batchDepth == 0)
        m_readInBatch = false;
}

} // namespace dexlan

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "options_file/shared_state.h"
#include "roster/core/held_names.h"
#include "roster/core/random_numbers.h"
#include "roster/core/roster_decisions.h"
#include "roster/core/roster_outcome.h"
#include "roster/core/user_list_model.h"

#include <QFutureWatcher>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace dexlan {

class BackgroundListing;
struct UserListing;

// The roster as both the window and the command line use it: the folder the
// user list was read from, the list itself, the folder's digest then, the
// reading of the folder (at once or on a thread of its own), and the actions
// on users. Each action answers one RosterOutcome; a question it needs
// answered on its way is a RosterQuestion. QtCore only.
class RosterService : public QObject {
    Q_OBJECT
  public:
    explicit RosterService(SharedState& state, QObject* parent = nullptr);
    // A reading still running is stopped, and its list never shown.
    ~RosterService() override;

    UserListModel& model() const { return *m_model; }
    // How many times the folder's files were read for the list.
    int folderReads() const { return m_folderReads; }

    // The folder that history files are read from and written to now, ending
    // in a separator; empty for a location this computer cannot reach.
    QString historyFolderPath() const;
    // The folder as the messages show it.
    QString shownFolder() const;

    // --- Listing -------------------------------------------------------------

    // Reads the users of folder (empty: unreachable) into the list; report:
    // the failures come back as the outcome's message.
    RosterOutcome list(const QString& folder, bool report);
    // The users of folder read once, as a script asks for them: nothing is
    // kept to compare the folder with later, so each file is only opened,
    // read and closed.
    static UserListing readUsersOnce(const QString& folder);
    // The list was read from folder and its history files are as they were then.
    bool listedAndUnchanged(const QString& folder);
    // Reads the list again from folder when its history files have changed
    // since the list was read; the folder's names alone tell, no file is
    // opened otherwise. Whatever adds users reads the list after this.
    void refresh(const QString& folder);
    // Users that were added to the folder other than one by one: on the list
    // where its order puts them, and counted into the listed folder's digest.
    void listAddedUsers(std::vector<UserListModel::NewRow> users);

    // Prepares a reading of folder on a thread of its own, begun by
    // startReading() or by whatever waits for it; reportErrors: its failures
    // are told as it is shown.
    void readInBackground(const QString& folder, bool reportErrors);
    void startReading();
    // A reading in the background has not yet been shown.
    bool isReadingInBackground() const { return m_background != nullptr; }
    // Waits for a reading in the background (with its progress) and shows its
    // list, if the location is still the folder it read: status Done. Without
    // one, or for another folder, Unchanged.
    RosterOutcome settleReading();

    // --- Actions on users ------------------------------------------------------

    // Gives name a history file, unless the folder as it is now holds it.
    RosterOutcome addName(const QString& name, const RosterQuestion& ask);
    // Gives each of names (a class list) a history file, after one question;
    // bulkAdded tells what was added and refused.
    RosterOutcome addNames(const QStringList& names, const RosterQuestion& ask);
    // Deletes the user of the list's row, held first so that it can be restored.
    RosterOutcome deleteUser(int row, const RosterQuestion& ask);
    // Puts a user held for folder back into it. The list is not read again:
    // whoever restores reads it once done. shownFolder: the folder as a
    // message names it, when not folder itself.
    static RosterOutcome restore(const QString& folder, const HeldName& held,
                                 int waitMs = kRosterWaitInWindowMs,
                                 const QString& shownFolder = {},
                                 const CodePage& codePage = CodePage::windows1252());
    // Several held users put back at once, in turn, with one reading of the
    // folder; an outcome for each.
    static std::vector<RosterOutcome> restore(const QString& folder,
                                              const std::vector<HeldName>& held, int waitMs,
                                              const QString& shownFolder = {},
                                              const CodePage& codePage = CodePage::windows1252());
    // Gives each name a plan puts on the list a history file in folder, under
    // the roster's lock its caller holds; the window and the command line add
    // class lists this way.
    static BulkAddResult addPlanned(const QString& folder, const BulkAddPlan& plan,
                                    std::vector<int> listNumbers,
                                    const std::function<std::array<int, kRandomsPerFile>()>& drawRandoms,
                                    const std::function<bool()>& createMissingFolder);
    // Deletes users of one history folder at once, each held first so that
    // it can be restored; deleteForGood is asked about each that cannot be.
    // The window deletes one this way, the command line a batch.
    static std::vector<Deletion>
    deleteUsers(const std::vector<UserToHold>& users, const QDateTime& now,
                const std::function<bool(const UserToHold&, const QString& errorText)>& deleteForGood,
                const CodePage& codePage = CodePage::windows1252());
    // Erases a held user for good, after one question.
    static RosterOutcome erase(const HeldName& held, const RosterQuestion& ask);

    // Replaces the clock the random numbers of new files are mixed with.
    void setClock(RandomNumbers::Clock clock) { m_random = RandomNumbers(std::move(clock)); }

    // --- One reading an action -----------------------------------------------

    // While a batch lives, requests to read the folder coalesce. A deferring
    // batch notes them, and the last to end reads the folder in the background.
    void beginBatch(bool defers);
    // Ends a deferring batch; true when it was the last and a reading was asked for.
    bool endDeferring();
    void endBatch();
    bool inBatch() const { return m_batchDepth > 0; }
    bool isDeferring() const { return m_deferDepth > 0; }
    void noteDeferredRequest() { m_deferredRequest = true; }
    // The list was read from folder within the batch alive now.
    bool readInBatch(const QString& folder) const {
        return m_batchDepth > 0 && m_readInBatch && folder == m_listedFolder;
    }
    void markReadInBatch(bool read) { m_readInBatch = m_batchDepth > 0 && read; }

  signals:
    // A reading the user waits for begins and ends; progress comes between.
    void readingBegins();
    void progress(qsizetype read, qsizetype total);
    void readingEnds();
    // A reading in the background has ended and may be shown.
    void backgroundReadingFinished();
    // A reading in the background is prepared (true), or over and taken (false).
    void readingInBackground(bool running);
    // The list shows a new reading of the folder.
    void listChanged();

  private:
    // How often a reading waited for tells its progress.
    static constexpr int kProgressTickMs = 10;

    // Reads folder's users, telling the progress.
    UserListing readFolder(const QString& folder);
    // This thread runs the application's event loop, which a wait may run.
    bool hasEventLoop() const;
    // Waits for reading to be whole, telling its progress; the application's
    // events but the user's input are handled meanwhile.
    void waitFor(BackgroundListing& reading);
    // Shows a listing of folder (or the rows already made of it) on the list;
    // answers the message telling its failures, when report.
    RosterOutcome takeListing(const UserListing& listing, const QString& folder, bool report,
                              std::optional<UserListModel::Rows> rows = std::nullopt);
    // Whether the listed folder's history files are still as listed.
    bool listedFilesUnchanged();
    // Counts a change made here to the file at path (whose part of the digest
    // was before) into the digest of the listed folder.
    void countChangeIn(const QString& path, quint64 before);
    // Plans names against the folder as it is now.
    std::pair<BulkAddPlan, std::vector<int>> planAgainstFolder(const QString& folder,
                                                               const QStringList& names);

    SharedState& m_state;
    RandomNumbers m_random;
    UserListModel* m_model;
    int m_folderReads = 0;
    // The folder the list was read from and its history files' digest then.
    QString m_listedFolder;
    std::optional<quint64> m_listedDigest;
    std::optional<qint64> m_listedUnstampedSinceNs; // set while the digest waits for its stamps
    // The reading on a thread of its own, until its list is shown.
    std::unique_ptr<BackgroundListing> m_background;
    QFutureWatcher<void> m_backgroundWatcher;
    bool m_backgroundReportsErrors = false;
    int m_batchDepth = 0;
    bool m_readInBatch = false; // the list was read from m_listedFolder in this batch
    int m_deferDepth = 0;       // deferring batches alive
    bool m_deferredRequest = false;
};

} // namespace dexlan

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/message_box.h"
#include "roster/core/bulk_add.h"

#include <QString>

#include <functional>
#include <optional>

namespace dexlan {

// What one of the roster's operations did, and the message box that tells the
// user so. The window shows the message through Dialogs; the command line maps
// the status to its exit status and prints what it prints.
struct RosterOutcome {
    enum Status {
        Done,
        Unchanged, // nothing was done and nothing went wrong (no such entry, gone already)
        Declined,  // the user answered a question with no
        Duplicate, // a user of that name is on the list already: nothing was done
        Refused,   // the request cannot be carried out as asked (a name line 1 cannot hold)
        Stale,     // the list no longer matches the folder: nothing was done, read it again
        Busy,      // another copy kept the roster's lock all the while: nothing was done
        Failed,    // a file could not be read, made, moved or deleted
    };
    Status status = Done;
    std::optional<MsgBoxRequest> message; // to show, when there is something to tell
    int number = 0; // the user number given or restored, for adding and restoring
    QString path;   // the history file made, restored or deleted
    // The change made, as the record of changes names it ("added", "held",
    // "deleted", "restored"), and the name it was made to; empty when none.
    QString change;
    QString name;
    // Adding a class list: what was added and what was refused.
    std::optional<BulkAddResult> bulkAdded;

    bool succeeded() const { return status == Done; }

    static RosterOutcome with(Status status, std::optional<MsgBoxRequest> message = {}) {
        RosterOutcome outcome;
        outcome.status = status;
        outcome.message = std::move(message);
        return outcome;
    }
};

// A question an operation needs answered on its way (create the folder? delete
// for good?); the window asks it in a message box, the command line answers it
// from its options. Answers with the button chosen.
using RosterQuestion = std::function<MsgAnswer(const MsgBoxRequest& question)>;

} // namespace dexlan

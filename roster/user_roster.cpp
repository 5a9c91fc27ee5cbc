// Placeholder until the roster is built: keeps the options window linkable.
#include "roster/user_roster.h"

namespace dexlan {

UserRoster::UserRoster(SharedState& state, Dialogs& dialogs, const RosterControls& controls,
                       QObject* parent)
    : QObject(parent), m_state(state), m_dialogs(dialogs), m_controls(controls)
{
}

void UserRoster::CheckHistoryFolder() {}
void UserRoster::FillUserList() {}
void UserRoster::DeleteSelectedName() {}
void UserRoster::AddNames() {}
bool UserRoster::eventFilter(QObject* watched, QEvent* event)
{
    return QObject::eventFilter(watched, event);
}

} // namespace dexlan

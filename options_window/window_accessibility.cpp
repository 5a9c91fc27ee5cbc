// SPDX-License-Identifier: GPL-3.0-or-later
// What assistive technology reads out about the options window, and the order
// in which the Tab key walks its controls.
#include "options_window/history_explanation.h"
#include "options_window/history_page.h"
#include "options_window/option_buttons.h"
#include "options_window/options_window.h"
#include "options_window/summary_page.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>

#include <vector>

namespace dexlan {

// Labels, buttons, option buttons and frames are named by their captions,
// which Qt follows as they change. What shows no caption of its own is named
// here, a tooltip becomes its control's description, and a few controls whose
// use is not plain from the caption get a short one.
void OptionsWindow::describeForAssistiveTechnology() {
    setAccessibleName(tr("Trainer options"));
    m_tabStrip->setAccessibleName(tr("Option tabs"));
    m_tabStrip->setAccessibleDescription(tr("Ctrl+Tab shows the next page"));
    m_tabPane->setAccessibleName(tr("Option pages"));
    for (int element = 0; element < int(m_pages.size()); ++element) {
        m_pages[element]->setAccessibleName(
            tr("%1 page").arg(m_tabStrip->tabText(element).trimmed()));
        m_pages[element]->setAccessibleDescription(m_tabStrip->tabToolTip(element));
    }
    // It covers the whole Current Options page.
    m_summaryPage->area()->setAccessibleName(m_pages[0]->accessibleName());

    m_historyPage->historyModeFrame()->setAccessibleDescription(
        tr("How the trainer keeps the users' history files"));
    m_historyPage->addNamesButton()->setAccessibleDescription(
        tr("Adds users to the list, with a history file for each"));
    m_historyPage->deleteNameButton()->setAccessibleDescription(
        tr("Deletes the chosen user and the user's history file"));
    m_historyPage->userList()->setAccessibleName(tr("User list"));
    m_historyPage->userList()->setAccessibleDescription(
        tr("The users found in the history folder; Delete deletes the chosen one"));
    m_historyPage->locationEdit()->setAccessibleName(tr("History file location"));
    m_historyPage->locationEdit()->setAccessibleDescription(locationPrompt());

    for (QWidget* control : findChildren<QWidget*>()) {
        if (!control->toolTip().isEmpty())
            control->setAccessibleDescription(control->toolTip());
    }
}

// The Tab key follows each page's layout, top to bottom and left to right.
// Widgets join the focus chain in the order they are made, which puts the
// history choices after the user list; the chain is laid down here in full.
// The parked pages are disabled, so only the page on view takes part.
void OptionsWindow::orderTabStops() {
    std::vector<QWidget*> chain = {m_tabStrip, m_summaryPage->exitButton()};
    // The option buttons are made in layout order.
    const auto history = optionButtons().first(indexOf(OptionId::ManualAdvanceOn));
    const auto others = optionButtons().subspan(indexOf(OptionId::ManualAdvanceOn));
    for (const OptionButton& button : history)
        chain.push_back(radio(button.id));
    chain.insert(chain.end(), {m_historyPage->addNamesButton(), m_historyPage->deleteNameButton(),
                               m_historyPage->deleteAllButton(), m_historyPage->userList(),
                               m_historyPage->locationEdit()});
    for (const OptionButton& button : others)
        chain.push_back(radio(button.id));
    for (std::size_t stop = 1; stop < chain.size(); ++stop)
        setTabOrder(chain[stop - 1], chain[stop]);
}

} // namespace dexlan

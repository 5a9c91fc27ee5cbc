// SPDX-License-Identifier: GPL-3.0-or-later
// What the options window's pages show when chosen, the explanations and
// choices they open, and what its buttons and keys do.
#include "options_window/options_window.h"

#include "options_window/choice_page.h"
#include "options_window/history_explanation.h"
#include "options_window/history_page.h"
#include "options_window/location_entry.h"
#include "options_window/option_buttons.h"
#include "options_window/page_explanations.h"
#include "options_window/page_layout.h"
#include "options_window/path_label.h"
#include "options_window/summary_page.h"
#include "options_window/window_keys.h"
#include "platform/dialogs.h"
#include "resources/classic_look.h"
#include "roster/widgets/user_list_panel.h"
#include "roster/widgets/user_roster.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>

namespace dexlan {

void OptionsWindow::refreshPage(int page) {
    // Its routines may each ask for a fresh user list: one reading serves them.
    const UserRoster::RebuildBatch oneReading(*m_roster);
    m_state.optionLines[EntryHistoryLocation] =
        refreshedLocationEntry(locationText(), m_state.pathPolicy);
    switch (page) {
    case 1:
        showSummary();
        break;
    case 2:
        showHistoryExplanation();
        break;
    case 3:
        showAdvanceExplanation();
        break;
    case 4:
        showSoundExplanation();
        break;
    case 5:
        showDocumentsExplanation();
        break;
    default:
        qFatal("refreshPage: there is no page %d", page);
    }
}

void OptionsWindow::showSummary() {
    m_summaryPage->showSummary(m_state.optionLines, m_state.programFolder, m_state.codePage());
}

void OptionsWindow::showHistoryExplanation() {
    HistoryPage::Surroundings around;
    around.optionButton = [this](OptionId id) { return radio(id); };
    around.fillUserList = [this] { m_roster->fillUserList(); };
    around.copyStatusToSummary = [this](const QString& status) {
        m_summaryPage->historyValue()->setTextNamingPath({status, {}, {}});
    };
    around.onView = [this] { return selectedTab() == 2; };
    m_historyPage->showExplanation(m_state.optionLines, around, m_state.codePage());
}

void OptionsWindow::showChoice(ChoicePage* page) {
    const ChoiceText& choice = page->choiceInForce(m_state.optionLines);
    // Selecting the row's button clears the others of its frame.
    radio(choice.button)->setChecked(true);
    page->showExplanation(choice);
}

void OptionsWindow::showAdvanceExplanation() {
    showChoice(m_advancePage);
}

void OptionsWindow::showSoundExplanation() {
    showChoice(m_soundsPage);
}

void OptionsWindow::showDocumentsExplanation() {
    showChoice(m_documentationPage);
}

void OptionsWindow::runExplanation(ExplanationPage page) {
    switch (page) {
    case ExplanationPage::History:
        showHistoryExplanation();
        return;
    case ExplanationPage::Advance:
        showAdvanceExplanation();
        return;
    case ExplanationPage::Sounds:
        showSoundExplanation();
        return;
    case ExplanationPage::Documents:
        showDocumentsExplanation();
        return;
    }
}

void OptionsWindow::optionButtonSelected(const OptionButton& action) {
    if (action.needsDocumentation) {
        onIncludeDocumentsChosen();
        return;
    }
    // The explanation and the button itself may each ask for a fresh user
    // list: one reading serves them.
    const UserRoster::RebuildBatch oneReading(*m_roster);
    m_state.optionLines[action.entry] = action.value;
    runExplanation(action.refreshes);
    if (action.fillsUserList)
        m_roster->fillUserList();
}

void OptionsWindow::onIncludeDocumentsChosen() {
    if (!m_state.docsInstalled) {
        // Selecting "Do not include documents" clears this button and runs its
        // handler, so the page is already updated when the message appears.
        radio(OptionId::NoDocuments)->setChecked(true);
        m_dialogs.msgBox(documentsNotInstalledMessage());
        return;
    }
    m_state.optionLines[EntryDocuments] = values::kDocumentsOn;
    showDocumentsExplanation();
}

void OptionsWindow::onExitClicked() {
    if (m_closeMainWindow)
        m_closeMainWindow();
}

void OptionsWindow::onPageBackgroundPressed() {
    m_historyPage->clearUserChoice();
}

void OptionsWindow::onWindowKey(int key, Qt::KeyboardModifiers shift, const QObject* focused) {
    if (key == Qt::Key_Delete) {
        if (!editsText(focused))
            m_historyPage->userListPanel()->deleteSelectedName();
        return;
    }
    if (key == Qt::Key_Escape) {
        onExitClicked();
        return;
    }
    if (key == Qt::Key_F1 && m_showHelp)
        m_showHelp();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        if (m_state.optionLines[EntryHistoryMode] == values::kHistAuto) {
            m_state.optionLines[EntryHistoryLocation] =
                typedLocationEntry(locationText(), m_state.codePage());
            m_historyPage->locationStatus()->setText(
                locationStatus(m_state.optionLines[EntryHistoryLocation], m_state.codePage()));
        }
        return;
    }
    if (const int step = pageStep(key, shift)) {
        const int count = m_tabStrip->count();
        m_tabStrip->setCurrentIndex((m_tabStrip->currentIndex() + step + count) % count);
        return;
    }
}

} // namespace dexlan

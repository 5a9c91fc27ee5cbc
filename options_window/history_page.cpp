// SPDX-License-Identifier: GPL-3.0-or-later
#include "options_window/history_page.h"

#include "options_window/history_explanation.h"
#include "options_window/page_layout.h"
#include "resources/classic_look.h"
#include "roster/widgets/user_list_panel.h"
#include "roster/widgets/user_roster.h"

#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>

#include <limits>

namespace dexlan {

HistoryPage::HistoryPage(QWidget* parent) : QWidget(parent) {}

void HistoryPage::build(UserRoster& roster) {
    QWidget* page = this;
    // The Enter key in the location box moves the focus here.
    page->setFocusPolicy(Qt::ClickFocus);
    const QFont bold = classicFont(true);
    const QFont plain = classicFont();

    m_historyHeading = makeLabel(page, "Label19", tr("History file options"),
                                 twipsRect(*this, 210, 90, 3060, 330), bold);
    m_installationText = makeLabel(page, "Label21", tr("selection info..."),
                                   twipsRect(*this, 210, 555, 4425, 960), plain);
    m_modeHeading = makeLabel(page, "Label22", tr("Network or single..."),
                              twipsRect(*this, 216, 1572, 4260, 228), bold);
    m_modeExplanation = makeLabel(page, "Label3", tr("Which option..."),
                                  twipsRect(*this, 210, 1890, 3270, 2115), plain);
    m_locationPrompt = makeLabel(page, "Label23", tr("Which option..."),
                                 twipsRect(*this, 210, 4515, 3270, 645), plain);

    m_historyModeFrame = makeFrame(page, "Frame8", tr("History file location "),
                                   twipsRect(*this, 5040, 105, 4005, 1695));

    m_userListFrame =
        makeFrame(page, "Frame10", tr("User list"), twipsRect(*this, 4200, 1995, 4845, 2220));
    // The list, its buttons and the progress over it are the panel's; the page
    // places them and gives them its look.
    m_userListPanel = new UserListPanel(roster, m_userListFrame);
    m_userListPanel->place(
        {twipsRect(*this, 1470, 315, 3165, 1740), twipsRect(*this, 210, 315, 1065, 330),
         twipsRect(*this, 210, 840, 1065, 330), twipsRect(*this, 210, 1365, 1065, 330)});
    addNamesButton()->setText(tr("&Add names"));
    deleteNameButton()->setText(tr("&Delete name"));
    deleteAllButton()->setText(tr("D&elete all"));
    QListView* list = userList();
    list->setFont(systemFont());
    list->setPalette(withColours(list->palette(), QPalette::Base, Qt::white, Qt::black));
    // A long reading of the history folder covers the list with its progress:
    // what it shows meanwhile is about to change.
    QLabel* reading = readingStatus();
    reading->setFont(systemFont());
    reading->setAlignment(Qt::AlignCenter);
    reading->setWordWrap(true);
    reading->setFrameShape(QFrame::Box);
    reading->setAutoFillBackground(true);
    reading->setPalette(withColours(reading->palette(), QPalette::Window, Qt::white, Qt::black));

    m_locationFrame = makeFrame(page, "Frame9", QString(), twipsRect(*this, 4200, 4410, 4845, 855));
    m_locationEdit = new QLineEdit(m_locationFrame);
    m_locationEdit->setObjectName(QStringLiteral("Text1"));
    // No length of its own: every typed character reaches the box.
    m_locationEdit->setMaxLength(std::numeric_limits<int>::max());
    m_locationEdit->setFont(systemFont());
    m_locationEdit->setGeometry(twipsRect(*this, 210, 315, 4425, 360));
    roster.watchLocation(m_locationEdit, page);

    m_locationStatus = makeLabel(page, "Label20", tr("selection info..."),
                                 twipsRect(*this, 5355, 3885, 3060, 960), systemFont());
    m_locationStatus->setAutoFillBackground(true);
    m_locationStatus->setPalette(withColours(m_locationStatus->palette(), QPalette::Window,
                                             QColor(192, 192, 192), Qt::black));
    m_locationStatus->hide(); // its caption is kept up to date, but nothing ever shows it
}

void HistoryPage::showExplanation(const OptionLines& lines, const Surroundings& around,
                                  const CodePage& codePage) {
    const QByteArray entry3 = lines[EntryInstallation];
    const QByteArray entry4 = lines[EntryHistoryMode];
    const QByteArray entry5 = lines[EntryHistoryLocation];
    const std::optional<InstallationGroup> group = installationGroup(entry3);
    if (!group)
        internalError("showHistoryExplanation", EntryInstallation, entry3);
    const HistoryModeCase* mode = historyModeCase(*group, entry4);
    const std::optional<StatusLine> status = historyStatusLine(entry3, entry4, entry5, codePage);
    if (!mode || !status)
        internalError("showHistoryExplanation", EntryHistoryMode, entry4);

    // Reset.
    clearUserChoice();
    m_locationPrompt->hide();
    // A substitute font may need a line more; the page has room below it.
    showWholeText(m_locationPrompt, locationPrompt(), height());

    // The location status line.
    if (!status->unchanged)
        m_locationStatus->setText(status->caption);
    if (status->copyToSummary)
        around.copyStatusToSummary(m_locationStatus->text());

    // The installation's settings.
    const InstallationTexts& installation = installationTexts(*group);
    QRadioButton* automatic = around.optionButton(OptionId::AutomaticHistory);
    automatic->setText(
        QCoreApplication::translate(kHistoryExplanationContext, installation.automaticCaption));
    showWholeCaption(automatic);
    m_userListFrame->hide();
    m_locationFrame->hide();
    m_locationPrompt->hide();
    if (installation.pageHeading)
        m_historyHeading->setText(
            QCoreApplication::translate(kHistoryExplanationContext, installation.pageHeading));
    widenHeading(m_historyHeading);
    fitHeight(m_historyHeading, m_installationText->y());
    showWholeText(
        m_installationText,
        QCoreApplication::translate(kHistoryExplanationContext, installation.installationText),
        m_modeHeading->y());

    // The mode's settings. Selecting the button may run its handler, which
    // stores the same mode and runs this routine once more, nested.
    around.optionButton(mode->button)->setChecked(true);
    if (mode->userListCaption) {
        m_userListFrame->setTitle(
            QCoreApplication::translate(kHistoryExplanationContext, mode->userListCaption));
        showWholeTitle(m_userListFrame);
        m_userListFrame->show();
    } else {
        m_userListFrame->hide();
    }
    if (mode->fillUserList == FillUserListMoment::BeforeLocation)
        around.fillUserList();
    if (mode->locationShown) {
        m_locationFrame->show();
        m_locationFrame->setTitle(locationFrameCaption());
        showWholeTitle(m_locationFrame);
        m_locationPrompt->show();
    }
    if (mode->fillUserList == FillUserListMoment::AfterLocation)
        around.fillUserList();
    m_modeHeading->setText(QCoreApplication::translate(kHistoryExplanationContext, mode->heading));
    widenHeading(m_modeHeading);
    m_modeExplanation->resize(twipsToPixels(*this, mode->explanationWidthTwips),
                              m_modeExplanation->height());
    showWholeText(m_modeExplanation, historyExplanation(mode->explanationKey).value_or(QString()),
                  m_locationPrompt->y() - 2);

    // Only while the page is on view, so that no hidden control takes the focus.
    if (mode->focusRule && around.onView() && m_locationEdit->text().isEmpty())
        m_locationEdit->setFocus();
}

void HistoryPage::clearUserChoice() {
    m_userListPanel->clearUserChoice();
}

QListView* HistoryPage::userList() const {
    return m_userListPanel->userList();
}

QPushButton* HistoryPage::addNamesButton() const {
    return m_userListPanel->addNamesButton();
}

QPushButton* HistoryPage::deleteNameButton() const {
    return m_userListPanel->deleteNameButton();
}

QPushButton* HistoryPage::deleteAllButton() const {
    return m_userListPanel->deleteAllButton();
}

QLabel* HistoryPage::readingStatus() const {
    return m_userListPanel->readingStatus();
}

} // namespace dexlan

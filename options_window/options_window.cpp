#include "options_window/options_window.h"

#include "options_window/history_explanation.h"
#include "options_window/location_entry.h"
#include "options_window/option_buttons.h"
#include "options_window/page_explanations.h"
#include "options_window/page_layout.h"
#include "options_window/path_label.h"
#include "options_window/summary_text.h"
#include "options_window/window_keys.h"
#include "platform/dialogs.h"
#include "resources/classic_look.h"
#include "roster/user_roster.h"

#include <QApplication>
#include <QButtonGroup>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace dexlan {

namespace {

// The layout reference width: ScreenScale is the screen's width over it.
constexpr double kReferenceWidthTwips = 9600.0;
constexpr int kParkedLeftTwips = -20000;
constexpr int kTabStripTop = 105;
constexpr int kTabStripWidth = 9360;
constexpr int kTabStripHeight = 6000;
constexpr int kPageWidth = 9150;

struct TabDesign {
    const char* caption;
    const char* key; // nullptr: the tab has no key
    const char* toolTip;
};

constexpr std::array<TabDesign, 5> kTabs{{
    {"Current Options", "Group1", "These options are curretly selected"},
    {"History Files", nullptr, "History file settings"},
    {"Lesson Advance", "Group5", "Dexlan Lessons advance options"},
    {"Sounds", "Group6", "Quorrix! Game sound effects"},
    {"Documentation   ", nullptr, "Current documentation selections"},
}};

struct PageDesign {
    int top;
    int height;
};

constexpr std::array<PageDesign, 5> kPages{{
    {525, 5265},
    {630, 5265},
    {525, 4950},
    {525, 4950},
    {525, 4950},
}};

struct SummaryRow {
    int element;
    const char* heading;
    int headingTop;
    int valueTop;
    int valueWidth;
    int valueHeight;
    bool namesFolder; // the value may name a folder too long for its line
};

constexpr std::array<SummaryRow, 5> kSummaryRows{{
    {1, "History File Location", 690, 930, 8175, 495, true},
    {5, "Lesson Advance Option", 1755, 1995, 7095, 255, false},
    {6, "Sound Effects Option", 2460, 2700, 7215, 255, false},
    {10, "Documentation Option", 3165, 3405, 6855, 255, false},
    {7, "Current program location", 3975, 4215, 6735, 375, true},
}};

// The tab strip's body: the frame a tab widget draws around its pages.
class TabStripPane : public QWidget {
  public:
    using QWidget::QWidget;

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        QStyleOptionTabWidgetFrame option;
        option.initFrom(this);
        option.rect = rect();
        option.shape = QTabBar::RoundedNorth;
        style()->drawPrimitive(QStyle::PE_FrameTabWidget, &option, &painter, this);
    }
};

// Presses on the pages' backgrounds. A filter of its own, apart from the
// window's key preview, so that neither sees an event twice.
class PageBackgroundWatcher : public QObject {
  public:
    PageBackgroundWatcher(std::vector<QWidget*> pages, std::function<void()> pressed,
                          QObject* parent)
        : QObject(parent), m_pages(std::move(pages)), m_pressed(std::move(pressed)) {
        for (QWidget* page : m_pages)
            page->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::MouseButtonPress)
            return false;
        auto* page = static_cast<QWidget*>(watched);
        // A press that a control leaves unhandled reaches its page too; only a
        // press on the page itself is on its background.
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (page->childAt(mouse->position().toPoint()) == nullptr)
            m_pressed();
        return false;
    }

  private:
    std::vector<QWidget*> m_pages;
    std::function<void()> m_pressed;
};

} // namespace

OptionsWindow::OptionsWindow(SharedState& state, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent), m_state(state), m_dialogs(dialogs) {
    setObjectName(QStringLiteral("frmOptions"));
    setFont(classicFont());
    setAutoFillBackground(true);
    // Every background the window sets comes with its text colour, so that a
    // dark desktop theme never puts its light text on it.
    setPalette(withColours(palette(), QPalette::Window, QColor(0, 128, 128), Qt::white));

    buildTabStrip();
    // Only the window itself is dark cyan; the tab strip and the pages keep the
    // theme's face and text colours.
    const QPalette theme = QApplication::palette();
    QPalette face;
    face.setColor(QPalette::Window, theme.color(QPalette::Window));
    face.setColor(QPalette::WindowText, theme.color(QPalette::WindowText));
    for (QWidget* child : {m_tabPane, static_cast<QWidget*>(m_tabStrip)})
        child->setPalette(face);
    for (QWidget* page : m_pages)
        page->setPalette(face);
    buildSummaryPage();
    buildHistoryPage();
    buildChoicePages();
    // The captions that no page routine changes.
    for (QPushButton* button : findChildren<QPushButton*>())
        showWholeCaption(button);
    for (QGroupBox* frame : findChildren<QGroupBox*>())
        showWholeTitle(frame);
    connectOptionButtons();
    describeForAssistiveTechnology();
    orderTabStops();

    m_roster = new UserRoster(
        m_state, m_dialogs,
        RosterControls{m_locationEdit, m_userList, m_addNamesButton, m_deleteNameButton, m_deleteAllButton, m_pages[1]},
        this);

    m_keys = std::make_unique<WindowKeys>(*this, [this](const QKeyEvent& key, QObject* focused) {
        onWindowKey(key.key(), key.modifiers(), focused);
    });
    // The Current Options page is covered by its inner container.
    std::vector<QWidget*> backgrounds(m_pages.begin(), m_pages.end());
    backgrounds.push_back(m_summaryArea);
    new PageBackgroundWatcher(
        std::move(backgrounds), [this] { onPageBackgroundPressed(); }, this);

    load();
}

OptionsWindow::~OptionsWindow() {
    // Before the controls go: no key may reach a half-destroyed window.
    m_keys.reset();
}

void OptionsWindow::buildTabStrip() {
    m_tabPane = new TabStripPane(this);
    m_tabPane->setObjectName(QStringLiteral("tabStripPane"));

    m_tabStrip = new QTabBar(this);
    m_tabStrip->setObjectName(QStringLiteral("tbsOptions"));
    m_tabStrip->setDrawBase(false);
    m_tabStrip->setExpanding(false);
    for (const TabDesign& tab : kTabs) {
        const int index = m_tabStrip->addTab(QString::fromLatin1(tab.caption));
        m_tabStrip->setTabToolTip(index, QString::fromLatin1(tab.toolTip));
        if (tab.key)
            m_tabStrip->setTabData(index, QString::fromLatin1(tab.key));
    }
    m_tabStrip->setCurrentIndex(0);
    const int tabHeight = m_tabStrip->sizeHint().height();
    m_tabStrip->setGeometry(0, twipsToPixels(*this, kTabStripTop),
                              twipsToPixels(*this, kTabStripWidth), tabHeight);
    const int overlap = style()->pixelMetric(QStyle::PM_TabBarBaseOverlap, nullptr, m_tabStrip);
    const int paneTop = m_tabStrip->geometry().bottom() + 1 - overlap;
    m_tabPane->setGeometry(0, paneTop, m_tabStrip->width(),
                           twipsToPixels(*this, kTabStripTop + kTabStripHeight) - paneTop);
    connect(m_tabStrip, &QTabBar::currentChanged, this, &OptionsWindow::onTabChosen);

    for (int element = 0; element < int(m_pages.size()); ++element) {
        auto* page = new QWidget(this);
        page->setObjectName(QStringLiteral("picOptions%1").arg(element));
        page->setProperty("index", element);
        page->setAutoFillBackground(true);
        page->setGeometry(
            twipsRect(*this, 0, kPages[element].top, kPageWidth, kPages[element].height));
        m_pages[element] = page;
    }
}

void OptionsWindow::buildSummaryPage() {
    m_summaryArea = new QWidget(m_pages[0]);
    m_summaryArea->setObjectName(QStringLiteral("txt"));
    m_summaryArea->setAutoFillBackground(true);
    m_summaryArea->setGeometry(twipsRect(*this, -210, -315, 9150, 5385));

    auto addHeading = [this](int element, const char* caption, int left, int top) {
        QLabel* label = makeLabel(m_summaryArea, "Label1", QString::fromLatin1(caption),
                                  twipsRect(*this, left, top, 2895, 255), classicFont(true));
        label->setProperty("index", element);
        m_summaryHeadings[element] = label;
    };
    addHeading(0, "", 6000, 690);
    for (std::size_t r = 0; r < kSummaryRows.size(); ++r) {
        const SummaryRow& row = kSummaryRows[r];
        addHeading(row.element, row.heading, 360, row.headingTop);
        const QRect place = twipsRect(*this, 840, row.valueTop, row.valueWidth, row.valueHeight);
        QLabel* value = row.namesFolder
                            ? makeLabel<PathLabel>(m_summaryArea, "Label2", {}, place, classicFont())
                            : makeLabel(m_summaryArea, "Label2", {}, place, classicFont());
        value->setProperty("index", row.element);
        // A value may take more lines, down to the next row's heading.
        const bool last = r + 1 == kSummaryRows.size();
        const int bottomLimit = last ? m_summaryArea->height() - twipsToPixels(*this, kGapTwips)
                                     : twipsToPixels(*this, kSummaryRows[r + 1].headingTop);
        value->setProperty("bottomLimit", bottomLimit);
        m_summaryValues[row.element] = value;
    }

    m_exitButton = makeCommand(m_summaryArea, "Command4", QStringLiteral("E&xit"),
                             twipsRect(*this, 7875, 4935, 1065, 330));
    m_exitButton->setToolTip(QStringLiteral("Save settings as shown and exit"));
    m_exitButton->setPalette(
        withColours(m_exitButton->palette(), QPalette::Button, QColor(192, 192, 192), Qt::black));
    connect(m_exitButton, &QPushButton::clicked, this, &OptionsWindow::onExitClicked);
}

void OptionsWindow::buildHistoryPage() {
    QWidget* page = m_pages[1];
    // The Enter key in the location box moves the focus here.
    page->setFocusPolicy(Qt::ClickFocus);
    const QFont bold = classicFont(true);
    const QFont plain = classicFont();

    m_historyHeading = makeLabel(page, "Label19", QStringLiteral("History file options"),
                          twipsRect(*this, 210, 90, 3060, 330), bold);
    m_installationText = makeLabel(page, "Label21", QStringLiteral("selection info..."),
                          twipsRect(*this, 210, 555, 4425, 960), plain);
    m_modeHeading = makeLabel(page, "Label22", QStringLiteral("Network or single..."),
                          twipsRect(*this, 216, 1572, 4260, 228), bold);
    m_modeExplanation = makeLabel(page, "Label3", QStringLiteral("Which option..."),
                         twipsRect(*this, 210, 1890, 3270, 2115), plain);
    m_locationPrompt = makeLabel(page, "Label23", QStringLiteral("Which option..."),
                          twipsRect(*this, 210, 4515, 3270, 645), plain);

    m_historyModeFrame = makeFrame(page, "Frame8", QStringLiteral("History file location "),
                         twipsRect(*this, 5040, 105, 4005, 1695));

    m_userListFrame = makeFrame(page, "Frame10", QStringLiteral("User list"),
                          twipsRect(*this, 4200, 1995, 4845, 2220));
    m_addNamesButton = makeCommand(m_userListFrame, "Command1", QStringLiteral("&Add names"),
                             twipsRect(*this, 210, 315, 1065, 330));
    m_deleteNameButton = makeCommand(m_userListFrame, "Command2", QStringLiteral("&Delete name"),
                             twipsRect(*this, 210, 840, 1065, 330));
    m_deleteAllButton = makeCommand(m_userListFrame, "Command3", QStringLiteral("D&elete all"),
                             twipsRect(*this, 210, 1365, 1065, 330));
    m_deleteAllButton->hide(); // never shown, and it has no action
    m_userList = new QListWidget(m_userListFrame);
    m_userList->setObjectName(QStringLiteral("List1"));
    m_userList->setFont(systemFont());
    m_userList->setGeometry(twipsRect(*this, 1470, 315, 3165, 1740));
    m_userList->setPalette(withColours(m_userList->palette(), QPalette::Base, Qt::white, Qt::black));

    m_locationFrame = makeFrame(page, "Frame9", QString(), twipsRect(*this, 4200, 4410, 4845, 855));
    m_locationEdit = new QLineEdit(m_locationFrame);
    m_locationEdit->setObjectName(QStringLiteral("Text1"));
    // No length of its own: every typed character reaches the box.
    m_locationEdit->setMaxLength(std::numeric_limits<int>::max());
    m_locationEdit->setFont(systemFont());
    m_locationEdit->setGeometry(twipsRect(*this, 210, 315, 4425, 360));

    m_locationStatus = makeLabel(page, "Label20", QStringLiteral("selection info..."),
                          twipsRect(*this, 5355, 3885, 3060, 960), systemFont());
    m_locationStatus->setAutoFillBackground(true);
    m_locationStatus->setPalette(
        withColours(m_locationStatus->palette(), QPalette::Window, QColor(192, 192, 192), Qt::black));
    m_locationStatus->hide(); // its caption is kept up to date, but nothing ever shows it
}

void OptionsWindow::buildChoicePages() {
    struct ChoicePage {
        int element;
        const char* headingName;
        const char* heading;
        const char* explanationName;
        const char* explanation;
        QLabel** explanationLabel;
        const char* frameName;
        const char* frameCaption;
        int frameHeight;
    };
    const ChoicePage pages[] = {
        {2, "Label11", "Lesson Advance Option", "Label12", "Details about F2 button", &m_advanceExplanation,
         "Frame2", "Manual Lesson Advance Option ", 1260},
        {3, "Label13", "Sound Effects Options", "Label14", "About sound effects...", &m_soundExplanation,
         "Frame3", "Sound effects options ", 1575},
        {4, "Label27", "Documentation Option", "Label26", "Details about F2 button", &m_documentsExplanation,
         "Frame12", "Documentation Option ", 1260},
    };

    std::array<QGroupBox*, kOptionFrameCount> frames{m_historyModeFrame};
    for (const ChoicePage& design : pages) {
        QWidget* page = m_pages[design.element];
        makeLabel(page, design.headingName, QString::fromLatin1(design.heading),
                  twipsRect(*this, 210, 210, 2850, 330), classicFont(true));
        *design.explanationLabel =
            makeLabel(page, design.explanationName, QString::fromLatin1(design.explanation),
                      twipsRect(*this, 210, 630, 3480, 1590), classicFont());
        frames[design.element - 1] =
            makeFrame(page, design.frameName, QString::fromLatin1(design.frameCaption),
                      twipsRect(*this, 5145, 210, 3420, design.frameHeight));
    }

    for (int frame = 0; frame < int(frames.size()); ++frame) {
        QButtonGroup* group = new QButtonGroup(frames[frame]);
        group->setExclusive(true);
        // Tab reaches a frame at its selected button, whoever selected it, so
        // the choice a screen reader announces on arrival is the one in force.
        // Qt would otherwise keep the stop on the button focused last.
        connect(group, &QButtonGroup::buttonToggled, this,
                [group](QAbstractButton* selected, bool isSelected) {
                    if (!isSelected)
                        return;
                    for (QAbstractButton* button : group->buttons())
                        button->setFocusPolicy(button == selected ? Qt::StrongFocus
                                                                  : Qt::ClickFocus);
                });
        m_optionGroups[frame] = group;
    }
    for (const OptionButton& design : optionButtons()) {
        const std::size_t frame = static_cast<std::size_t>(design.frame);
        auto* button = new QRadioButton(QString::fromLatin1(design.caption), frames[frame]);
        button->setObjectName(QLatin1String(design.designName));
        m_optionButtons[indexOf(design.id)] = button;
        button->setGeometry(twipsRect(*this, design.left, design.top, design.width, design.height));
        showWholeCaption(button);
        showWholeIndicator(button);
        m_optionGroups[frame]->addButton(button);
        // Selected before the handlers are connected: creating runs nothing.
        if (design.selectedAtCreation)
            button->setChecked(true);
    }
}

void OptionsWindow::connectOptionButtons() {
    // A button's handler runs whenever it becomes selected, by the user or by
    // an explanation routine; selecting the selected button again runs nothing,
    // which is what ends the nested run a routine's own selection causes.
    for (const OptionButton& action : optionButtons()) {
        connect(radio(action.id), &QRadioButton::toggled, this,
                [this, &action](bool selected) {
                    if (selected)
                        optionButtonSelected(action);
                });
    }
}

void OptionsWindow::showLoadedValues(const QString& locationText,
                                     const QString& installationCaption) {
    m_locationEdit->setText(locationText);
    m_summaryHeadings[0]->setText(installationCaption);
}

void OptionsWindow::setDocumentationRowVisible(bool visible) {
    constexpr int kDocumentationRow = 10;
    m_summaryHeadings[kDocumentationRow]->setVisible(visible);
    m_summaryValues[kDocumentationRow]->setVisible(visible);
}

QString OptionsWindow::locationText() const {
    return m_locationEdit->text();
}

void OptionsWindow::setLocationText(const QString& text) {
    m_locationEdit->setText(text);
}

QLineEdit* OptionsWindow::locationEdit() {
    return m_locationEdit;
}

QLabel* OptionsWindow::summaryHeading(int row) {
    return row >= 0 && row < int(m_summaryHeadings.size()) ? m_summaryHeadings[row] : nullptr;
}

QLabel* OptionsWindow::summaryValue(int row) {
    return row >= 0 && row < int(m_summaryValues.size()) ? m_summaryValues[row] : nullptr;
}

UserRoster& OptionsWindow::roster() {
    return *m_roster;
}

QWidget* OptionsWindow::page(int element) const {
    return element >= 0 && element < int(m_pages.size()) ? m_pages[element] : nullptr;
}

int OptionsWindow::selectedTab() const {
    return m_tabStrip->currentIndex() + 1;
}

void OptionsWindow::setShowHelp(std::function<void()> showHelp) {
    m_showHelp = std::move(showHelp);
}

void OptionsWindow::setCloseMainWindow(std::function<void()> close) {
    m_closeMainWindow = std::move(close);
}

FileOpenRequest OptionsWindow::trainerLocationRequest() {
    FileOpenRequest request;
    request.title = QStringLiteral("Please locate the Corvantis Dexlan Trainer 4.exe program");
    request.defaultExtension = QStringLiteral(".exe");
    request.filter = QStringLiteral("Program files (*.exe)|*exe");
    return request;
}

QRadioButton* OptionsWindow::radio(OptionId id) const {
    return m_optionButtons[indexOf(id)];
}

int OptionsWindow::centredLeft(int widthTwips) const {
    // Centred on the screen's width rather than the window's: the window fills
    // a maximised main window.
    const double left = (kReferenceWidthTwips * m_state.screenScale - widthTwips) / 2.0;
    return int(std::lround(left));
}

void OptionsWindow::load() {
    m_tabStrip->move(twipsToPixels(*this, centredLeft(kTabStripWidth)), m_tabStrip->y());
    m_tabPane->move(m_tabStrip->x(), m_tabPane->y());
    m_deleteNameButton->setEnabled(false);
    m_state.confirmDelete = true;
    showSelectedPage();
}

void OptionsWindow::showSelectedPage() {
    for (int element = 0; element < int(m_pages.size()); ++element) {
        QWidget* page = m_pages[element];
        if (element == selectedTab() - 1) {
            page->move(twipsToPixels(*this, centredLeft(kPageWidth)), page->y());
            page->setEnabled(true);
        } else {
            page->move(twipsToPixels(*this, kParkedLeftTwips), page->y());
            page->setEnabled(false);
        }
    }
}

void OptionsWindow::onTabChosen() {
    clearUserListSelection();
    m_deleteNameButton->setEnabled(false);
    showSelectedPage();
    // Parking the old page took the focus from its control; without a focus in
    // this window its keys (Ctrl+Tab, F1, Escape) would go to the main window.
    m_tabStrip->setFocus();
    refreshPage(selectedTab());
}

void OptionsWindow::refreshPage(int page) {
    m_state.optionLines[EntryHistoryLocation] =
        refreshedLocationEntry(m_locationEdit->text(), m_state.pathPolicy);
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

void OptionsWindow::clearUserListSelection() {
    m_userList->setCurrentRow(-1);
    m_userList->clearSelection();
}

void OptionsWindow::showSummary() {
    const std::optional<SummaryTexts> texts =
        summaryTexts(m_state.optionLines, m_state.programFolder);
    if (!texts) {
        const OptionLines& lines = m_state.optionLines;
        qFatal("showSummary: an entry holds an impossible value (3 \"%s\", 4 \"%s\", 10 \"%s\", "
               "11 \"%s\", 12 \"%s\")",
               lines[EntryInstallation].constData(), lines[EntryHistoryMode].constData(),
               lines[EntryManualAdvance].constData(), lines[EntrySounds].constData(),
               lines[EntryDocuments].constData());
    }
    static_cast<PathLabel*>(m_summaryValues[7])->setTextNamingPath(texts->programLocation);
    static_cast<PathLabel*>(m_summaryValues[1])->setTextNamingPath(texts->history);
    m_summaryValues[6]->setText(texts->sounds);
    m_summaryValues[5]->setText(texts->advance);
    m_summaryValues[10]->setText(texts->documents);
    for (int element : {7, 1, 6, 5, 10})
        fitHeight(m_summaryValues[element], m_summaryValues[element]->property("bottomLimit").toInt());
}

void OptionsWindow::showHistoryExplanation() {
    const QByteArray entry3 = m_state.optionLines[EntryInstallation];
    const QByteArray entry4 = m_state.optionLines[EntryHistoryMode];
    const QByteArray entry5 = m_state.optionLines[EntryHistoryLocation];
    const std::optional<InstallationGroup> group = installationGroup(entry3);
    if (!group)
        internalError("showHistoryExplanation", EntryInstallation, entry3);
    const HistoryModeCase* mode = historyModeCase(*group, entry4);
    const std::optional<StatusLine> status = historyStatusLine(entry3, entry4, entry5);
    if (!mode || !status)
        internalError("showHistoryExplanation", EntryHistoryMode, entry4);

    // Reset.
    clearUserListSelection();
    m_deleteNameButton->setEnabled(false);
    m_locationPrompt->hide();
    // A substitute font may need a line more; the page has room below it.
    showWholeText(m_locationPrompt, locationPrompt(), m_pages[1]->height());

    // The location status line.
    if (!status->unchanged)
        m_locationStatus->setText(status->caption);
    if (status->copyToSummary)
        static_cast<PathLabel*>(m_summaryValues[1])->setTextNamingPath({m_locationStatus->text(), {}, {}});

    // The installation's settings.
    const InstallationTexts& installation = installationTexts(*group);
    QRadioButton* automatic = radio(OptionId::AutomaticHistory);
    automatic->setText(QString::fromLatin1(installation.automaticCaption));
    showWholeCaption(automatic);
    m_userListFrame->hide();
    m_locationFrame->hide();
    m_locationPrompt->hide();
    if (installation.pageHeading)
        m_historyHeading->setText(QString::fromLatin1(installation.pageHeading));
    widenHeading(m_historyHeading);
    fitHeight(m_historyHeading, m_installationText->y());
    showWholeText(m_installationText, QString::fromLatin1(installation.installationText), m_modeHeading->y());

    // The mode's settings. Selecting the button may run its handler, which
    // stores the same mode and runs this routine once more, nested.
    radio(mode->button)->setChecked(true);
    if (mode->userListCaption) {
        m_userListFrame->setTitle(QString::fromLatin1(mode->userListCaption));
        showWholeTitle(m_userListFrame);
        m_userListFrame->show();
    } else {
        m_userListFrame->hide();
    }
    if (mode->fillUserList == FillUserListMoment::BeforeLocation)
        m_roster->FillUserList();
    if (mode->locationShown) {
        m_locationFrame->show();
        m_locationFrame->setTitle(locationFrameCaption());
        showWholeTitle(m_locationFrame);
        m_locationPrompt->show();
    }
    if (mode->fillUserList == FillUserListMoment::AfterLocation)
        m_roster->FillUserList();
    m_modeHeading->setText(QString::fromLatin1(mode->heading));
    widenHeading(m_modeHeading);
    m_modeExplanation->resize(twipsToPixels(*this, mode->explanationWidthTwips), m_modeExplanation->height());
    showWholeText(m_modeExplanation, historyExplanation(mode->explanationKey).value_or(QString()),
                  m_locationPrompt->y() - 2);

    // Only while the page is on view, so that no hidden control takes the focus.
    if (mode->focusRule && selectedTab() == 2 && m_locationEdit->text().isEmpty())
        m_locationEdit->setFocus();
}

void OptionsWindow::showChoice(std::span<const ChoiceText> choices, int entry, QLabel* label,
                            const char* routine) {
    const ChoiceText* choice = choiceFor(choices, m_state.optionLines[entry]);
    if (!choice)
        internalError(routine, entry, m_state.optionLines[entry]);
    // Selecting the row's button clears the others of its frame.
    radio(choice->button)->setChecked(true);
    showWholeText(label, QString::fromLatin1(choice->text), label->parentWidget()->height() - 7);
}

void OptionsWindow::showAdvanceExplanation() {
    showChoice(advanceChoices(), EntryManualAdvance, m_advanceExplanation, "showAdvanceExplanation");
}

void OptionsWindow::showSoundExplanation() {
    showChoice(soundChoices(), EntrySounds, m_soundExplanation, "showSoundExplanation");
}

void OptionsWindow::showDocumentsExplanation() {
    showChoice(documentsChoices(), EntryDocuments, m_documentsExplanation, "showDocumentsExplanation");
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
    m_state.optionLines[action.entry] = action.value;
    runExplanation(action.refreshes);
    if (action.fillsUserList)
        m_roster->FillUserList();
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
    clearUserListSelection();
    m_deleteNameButton->setEnabled(false);
}

void OptionsWindow::onWindowKey(int key, Qt::KeyboardModifiers shift, const QObject* focused) {
    if (key == Qt::Key_Delete) {
        if (!editsText(focused))
            m_roster->DeleteSelectedName();
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
            m_state.optionLines[EntryHistoryLocation] = typedLocationEntry(m_locationEdit->text());
            m_locationStatus->setText(locationStatus(m_state.optionLines[EntryHistoryLocation]));
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

// SPDX-License-Identifier: GPL-3.0-or-later
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
#include "roster/widgets/user_roster.h"

#include <QApplication>
#include <QButtonGroup>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>

#include <algorithm>
#include <cmath>
#include <vector>

namespace dexlan {

namespace {

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
    {QT_TRANSLATE_NOOP("dexlan::OptionsWindow", "Current Options"), "Group1",
     QT_TRANSLATE_NOOP("dexlan::OptionsWindow", "These options are curretly selected")},
    {QT_TRANSLATE_NOOP("dexlan::OptionsWindow", "History Files"), nullptr,
     QT_TRANSLATE_NOOP("dexlan::OptionsWindow", "History file settings")},
    {QT_TRANSLATE_NOOP("dexlan::OptionsWindow", "Lesson Advance"), "Group5",
     QT_TRANSLATE_NOOP("dexlan::OptionsWindow", "Dexlan Lessons advance options")},
    {QT_TRANSLATE_NOOP("dexlan::OptionsWindow", "Sounds"), "Group6",
     QT_TRANSLATE_NOOP("dexlan::OptionsWindow", "Quorrix! Game sound effects")},
    {QT_TRANSLATE_NOOP("dexlan::OptionsWindow", "Documentation   "), nullptr,
     QT_TRANSLATE_NOOP("dexlan::OptionsWindow", "Current documentation selections")},
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
    // The first child, so that it goes before the page whose panel shows its list.
    m_roster = new UserRoster(m_state, m_dialogs, this);
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
    m_summaryPage->build();
    connect(m_summaryPage->exitButton(), &QPushButton::clicked, this,
            &OptionsWindow::onExitClicked);
    m_historyPage->build(*m_roster);
    m_advancePage->build();
    m_soundsPage->build();
    m_documentationPage->build();
    buildOptionButtons();
    // The captions that no page routine changes.
    for (QPushButton* button : findChildren<QPushButton*>())
        showWholeCaption(button);
    for (QGroupBox* frame : findChildren<QGroupBox*>())
        showWholeTitle(frame);
    connectOptionButtons();
    describeForAssistiveTechnology();
    orderTabStops();

    m_keys = std::make_unique<WindowKeys>(*this, [this](const QKeyEvent& key, QObject* focused) {
        onWindowKey(key.key(), key.modifiers(), focused);
    });
    // The Current Options page is covered by its inner container.
    std::vector<QWidget*> backgrounds(m_pages.begin(), m_pages.end());
    backgrounds.push_back(m_summaryPage->area());
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
        const int index = m_tabStrip->addTab(tr(tab.caption));
        m_tabStrip->setTabToolTip(index, tr(tab.toolTip));
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

    m_summaryPage = new SummaryPage(this);
    m_historyPage = new HistoryPage(this);
    m_advancePage = new ChoicePage(ChoicePageKind::LessonAdvance, this);
    m_soundsPage = new ChoicePage(ChoicePageKind::Sounds, this);
    m_documentationPage = new ChoicePage(ChoicePageKind::Documentation, this);
    m_pages = {m_summaryPage, m_historyPage, m_advancePage, m_soundsPage, m_documentationPage};
    for (int element = 0; element < int(m_pages.size()); ++element) {
        QWidget* page = m_pages[element];
        page->setObjectName(QStringLiteral("picOptions%1").arg(element));
        page->setProperty("index", element);
        page->setAutoFillBackground(true);
        page->setGeometry(
            twipsRect(*this, 0, kPages[element].top, kPageWidth, kPages[element].height));
    }
}

void OptionsWindow::buildOptionButtons() {
    const std::array<QGroupBox*, kOptionFrameCount> frames{
        m_historyPage->historyModeFrame(), m_advancePage->frame(), m_soundsPage->frame(),
        m_documentationPage->frame()};
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
        auto* button = new QRadioButton(
            QCoreApplication::translate(kOptionButtonsContext, design.caption), frames[frame]);
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
        connect(radio(action.id), &QRadioButton::toggled, this, [this, &action](bool selected) {
            if (selected)
                optionButtonSelected(action);
        });
    }
}

void OptionsWindow::showLoadedValues(const QString& locationText,
                                     const QString& installationCaption) {
    m_historyPage->locationEdit()->setText(locationText);
    m_summaryPage->heading(0)->setText(installationCaption);
}

void OptionsWindow::setDocumentationRowVisible(bool visible) {
    constexpr int kDocumentationRow = 10;
    m_summaryPage->heading(kDocumentationRow)->setVisible(visible);
    m_summaryPage->value(kDocumentationRow)->setVisible(visible);
}

QString OptionsWindow::locationText() const {
    return m_historyPage->locationEdit()->text();
}

void OptionsWindow::setLocationText(const QString& text) {
    m_historyPage->locationEdit()->setText(text);
}

QLineEdit* OptionsWindow::locationEdit() {
    return m_historyPage->locationEdit();
}

QLabel* OptionsWindow::summaryHeading(int row) {
    return m_summaryPage->heading(row);
}

QLabel* OptionsWindow::summaryValue(int row) {
    return m_summaryPage->value(row);
}

UserRoster& OptionsWindow::roster() {
    return *m_roster;
}

UserListPanel& OptionsWindow::userListPanel() {
    return *m_historyPage->userListPanel();
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
    request.title = tr("Please locate the Corvantis Dexlan Trainer 4.exe program");
    request.defaultExtension = QStringLiteral(".exe");
    // The pattern after the bar is no text for a translator.
    request.filter = tr("Program files (*.exe)") + QLatin1String("|*exe");
    return request;
}

QRadioButton* OptionsWindow::radio(OptionId id) const {
    return m_optionButtons[indexOf(id)];
}

int OptionsWindow::centredLeft(int widthTwips) const {
    // Centred on the screen's width rather than the window's: the window fills
    // a maximised main window.
    const double left = (kLayoutReferenceWidthTwips * m_state.screenScale - widthTwips) / 2.0;
    return int(std::lround(left));
}

void OptionsWindow::load() {
    m_tabStrip->move(twipsToPixels(*this, centredLeft(kTabStripWidth)), m_tabStrip->y());
    m_tabPane->move(m_tabStrip->x(), m_tabPane->y());
    m_historyPage->deleteNameButton()->setEnabled(false);
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
    // Leaving the location box and refreshing the new page may each ask for a
    // fresh user list: one reading serves them.
    const UserRoster::RebuildBatch oneReading(*m_roster);
    m_historyPage->clearUserChoice();
    showSelectedPage();
    // Parking the old page took the focus from its control; without a focus in
    // this window its keys (Ctrl+Tab, F1, Escape) would go to the main window.
    m_tabStrip->setFocus();
    refreshPage(selectedTab());
}

} // namespace dexlan

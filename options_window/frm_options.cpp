#include "options_window/frm_options.h"

#include "options_window/history_explanation.h"
#include "options_window/location_entry.h"
#include "options_window/option_buttons.h"
#include "options_window/page_explanations.h"
#include "options_window/path_label.h"
#include "options_window/summary_text.h"
#include "platform/dialogs.h"
#include "resources/classic_look.h"
#include "roster/user_roster.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>
#include <QTextEdit>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace dexlan {

namespace {

// Whether a key typed into this control edits text: Delete then belongs to the
// text, not to the user list.
bool editsText(const QObject* control) {
    if (const auto* line = qobject_cast<const QLineEdit*>(control))
        return !line->isReadOnly();
    if (const auto* text = qobject_cast<const QTextEdit*>(control))
        return !text->isReadOnly();
    if (const auto* plain = qobject_cast<const QPlainTextEdit*>(control))
        return !plain->isReadOnly();
    if (const auto* spin = qobject_cast<const QAbstractSpinBox*>(control))
        return !spin->isReadOnly();
    if (const auto* combo = qobject_cast<const QComboBox*>(control))
        return combo->isEditable();
    return false;
}

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

// The frames that hold option buttons, in the order of m_optionGroups.
enum OptionFrame { Frame8, Frame2, Frame3, Frame12 };

struct OptionDesign {
    const char* name;
    OptionFrame frame;
    const char* caption;
    int left, top, width, height;
    bool selectedAtCreation;
};

constexpr std::array<OptionDesign, 13> kOptionButtons{{
    {"Option10", Frame8, "ten", 210, 315, 3600, 195, false},
    {"Option1", Frame8, "Password required for each user", 210, 525, 3585, 195, false},
    {"Option23", Frame8, "Multi-user open list", 210, 735, 2640, 195, false},
    {"Option24", Frame8, "Multi-user protected list", 210, 945, 2640, 195, false},
    {"Option25", Frame8, "History files saved on disks in Drive A", 210, 1155, 3360, 195, false},
    {"Option4", Frame8, "No history files saved", 210, 1365, 3240, 195, false},
    {"Option18", Frame2, "Option included", 210, 315, 2955, 195, true},
    {"Option17", Frame2, "Option removed", 210, 735, 2955, 225, false},
    {"Option21", Frame3, "All sound effects available from menu", 210, 315, 2955, 195, true},
    {"Option20", Frame3, "\"Beep\" sounds only", 210, 735, 2955, 225, false},
    {"Option19", Frame3, "Silent operation only", 210, 1155, 2850, 225, false},
    {"Option13", Frame12, "Include documents in program menu", 210, 315, 2955, 195, true},
    {"Option14", Frame12, "Do not include documents", 210, 735, 2955, 225, false},
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

// The page keys of every tab widget: Ctrl+Tab and Ctrl+PgDn go forward,
// Ctrl+Shift+Tab (which arrives as Backtab) and Ctrl+PgUp go back.
int pageStep(int key, Qt::KeyboardModifiers modifiers) {
    modifiers &= ~Qt::KeypadModifier;
    if (modifiers == Qt::ControlModifier) {
        if (key == Qt::Key_Tab || key == Qt::Key_PageDown)
            return 1;
        if (key == Qt::Key_PageUp)
            return -1;
    }
    if (modifiers == (Qt::ControlModifier | Qt::ShiftModifier) &&
        (key == Qt::Key_Backtab || key == Qt::Key_Tab))
        return -1;
    return 0;
}

[[noreturn]] void internalError(const char* routine, int entry, const QByteArray& value) {
    // The loader and the option buttons store only the listed values; anything
    // else means the program itself is broken, and going on could write it out.
    qFatal("%s: entry %d holds the impossible value \"%s\"", routine, entry, value.constData());
}

template <class Label = QLabel>
Label* makeLabel(QWidget* parent, const char* name, const QString& caption, QRect place,
                 const QFont& font) {
    auto* label = new Label(caption, parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setFont(font);
    label->setGeometry(place);
    label->setProperty("designHeight", place.height());
    return label;
}

// A background colour and the text colour that goes with it.
QPalette withColours(QPalette palette, QPalette::ColorRole background, const QColor& colour,
                     const QColor& text) {
    static constexpr std::pair<QPalette::ColorRole, QPalette::ColorRole> kTextOn[] = {
        {QPalette::Window, QPalette::WindowText},
        {QPalette::Button, QPalette::ButtonText},
        {QPalette::Base, QPalette::Text},
    };
    palette.setColor(background, colour);
    for (const auto& [face, textRole] : kTextOn) {
        if (face == background)
            palette.setColor(textRole, text);
    }
    return palette;
}

QGroupBox* makeFrame(QWidget* parent, const char* name, const QString& caption, QRect place) {
    auto* frame = new QGroupBox(caption, parent);
    frame->setObjectName(QLatin1String(name));
    frame->setGeometry(place);
    return frame;
}

QPushButton* makeCommand(QWidget* parent, const char* name, const QString& caption, QRect place) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    button->setGeometry(place);
    return button;
}

// Where the classic font is missing the substitute sets the same text a little
// wider. A label then grows downwards, as far as the next control, rather than
// lose its last lines; with the classic font it keeps its designed height.
void fitHeight(QLabel* label, int bottomLimit) {
    const int designHeight = label->property("designHeight").toInt();
    const int needed = label->heightForWidth(label->width());
    label->resize(label->width(),
                  std::max(designHeight, std::min(needed, bottomLimit - label->y())));
}

void showWholeText(QLabel* label, const QString& text, int bottomLimit) {
    label->setText(text);
    fitHeight(label, bottomLimit);
}

// The room a grown control keeps from its neighbours and its container's edge.
// Four pixels at 96 dpi: enough to tell them apart, and DejaVu Sans, the widest
// common substitute, still fits.
constexpr int kGapTwips = 60;

bool sideBySide(const QRect& one, const QRect& other) {
    return one.top() <= other.bottom() && other.top() <= one.bottom();
}

// The right edge a control may grow to: its container's edge, or the nearest
// control to its right in the same rows, less the gap.
int rightLimit(const QWidget* control, int gap) {
    const QWidget* container = control->parentWidget();
    int limit = container->width() - gap;
    for (const QWidget* other : container->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (other != control && !other->isHidden() && other->x() > control->x() &&
            sideBySide(other->geometry(), control->geometry()))
            limit = std::min(limit, other->x() - gap);
    }
    return limit;
}

// A heading widens towards the next control before it takes a second line.
void widenHeading(QLabel* heading) {
    const int needed = heading->fontMetrics().horizontalAdvance(heading->text()) + 1;
    const int limit = rightLimit(heading, twipsToPixels(*heading, kGapTwips));
    if (needed > heading->width())
        heading->resize(std::max(heading->width(), std::min(needed, limit - heading->x())),
                        heading->height());
}

// A frame that is too narrow for what it holds grows to the right, as far as
// its page allows, and then to the left, as far as the controls beside it
// allow. What it holds keeps its place within it.
void widenFrame(QGroupBox* frame, int width) {
    if (width <= frame->width())
        return;
    const QWidget* page = frame->parentWidget();
    const int gap = twipsToPixels(*frame, kGapTwips);
    QRect place = frame->geometry();
    place.setWidth(std::max(place.width(), std::min(width, page->width() - gap - place.x())));
    if (place.width() < width) {
        int leftLimit = gap;
        for (const QWidget* other : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (other != frame && !other->isHidden() && other->x() < frame->x() &&
                sideBySide(other->geometry(), place))
                leftLimit = std::max(leftLimit, other->geometry().right() + 1 + gap);
        }
        place.setLeft(std::min(place.left(), std::max(leftLimit, place.right() + 1 - width)));
    }
    frame->setGeometry(place);
}

void showWholeTitle(QGroupBox* frame) {
    widenFrame(frame, frame->minimumSizeHint().width());
}

// An option button's caption widens the button within its frame, and the frame
// with it where the frame is too narrow.
void showWholeCaption(QRadioButton* button) {
    // The frame's own border on the right.
    constexpr int kBorder = 2;
    auto* frame = static_cast<QGroupBox*>(button->parentWidget());
    const int needed = button->sizeHint().width();
    widenFrame(frame, button->x() + needed + kBorder);
    const int room = frame->width() - button->x() - kBorder;
    if (needed > button->width())
        button->resize(std::min(needed, room), button->height());
}

// A command button's caption widens the button towards the next control.
void showWholeCaption(QPushButton* button) {
    QStyleOptionButton look;
    look.initFrom(button);
    look.text = button->text();
    const int room =
        button->style()->subElementRect(QStyle::SE_PushButtonContents, &look, button).width();
    const int needed = button->fontMetrics().horizontalAdvance(QString(button->text()).remove(QLatin1Char('&')));
    if (needed <= room)
        return;
    const int limit = rightLimit(button, twipsToPixels(*button, kGapTwips));
    button->resize(std::min(button->width() + needed - room, limit - button->x()),
                   button->height());
}

// 195 twips is a pixel short of some styles' option indicator, which then
// loses its lower edge (two device pixels at 200 %). The button grows about
// its centre instead; the buttons of a frame are at least 210 twips apart.
void showWholeIndicator(QRadioButton* button) {
    const int needed =
        button->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorHeight, nullptr, button);
    if (button->height() < needed) {
        const int grow = needed - button->height();
        button->setGeometry(button->x(), button->y() - grow / 2, button->width(), needed);
    }
}

} // namespace

FrmOptions::FrmOptions(SharedState& state, Dialogs& dialogs, QWidget* parent)
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
    for (QWidget* child : {m_tabPane, static_cast<QWidget*>(m_tbsOptions)})
        child->setPalette(face);
    for (QWidget* page : m_picOptions)
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
        RosterControls{m_text1, m_list1, m_command1, m_command2, m_command3, m_picOptions[1]},
        this);

    // Key preview: the window sees every key before the control with the focus.
    // An application filter runs before the controls' own filters.
    qApp->installEventFilter(this);
    // The Current Options page is covered by its inner container.
    std::vector<QWidget*> backgrounds(m_picOptions.begin(), m_picOptions.end());
    backgrounds.push_back(m_txt);
    new PageBackgroundWatcher(
        std::move(backgrounds), [this] { picOptions_MouseDown(); }, this);

    Form_Load();
}

FrmOptions::~FrmOptions() {
    qApp->removeEventFilter(this);
}

void FrmOptions::buildTabStrip() {
    m_tabPane = new TabStripPane(this);
    m_tabPane->setObjectName(QStringLiteral("tabStripPane"));

    m_tbsOptions = new QTabBar(this);
    m_tbsOptions->setObjectName(QStringLiteral("tbsOptions"));
    m_tbsOptions->setDrawBase(false);
    m_tbsOptions->setExpanding(false);
    for (const TabDesign& tab : kTabs) {
        const int index = m_tbsOptions->addTab(QString::fromLatin1(tab.caption));
        m_tbsOptions->setTabToolTip(index, QString::fromLatin1(tab.toolTip));
        if (tab.key)
            m_tbsOptions->setTabData(index, QString::fromLatin1(tab.key));
    }
    m_tbsOptions->setCurrentIndex(0);
    const int tabHeight = m_tbsOptions->sizeHint().height();
    m_tbsOptions->setGeometry(0, twipsToPixels(*this, kTabStripTop),
                              twipsToPixels(*this, kTabStripWidth), tabHeight);
    const int overlap = style()->pixelMetric(QStyle::PM_TabBarBaseOverlap, nullptr, m_tbsOptions);
    const int paneTop = m_tbsOptions->geometry().bottom() + 1 - overlap;
    m_tabPane->setGeometry(0, paneTop, m_tbsOptions->width(),
                           twipsToPixels(*this, kTabStripTop + kTabStripHeight) - paneTop);
    connect(m_tbsOptions, &QTabBar::currentChanged, this, &FrmOptions::tbsOptions_Click);

    for (int element = 0; element < int(m_picOptions.size()); ++element) {
        auto* page = new QWidget(this);
        page->setObjectName(QStringLiteral("picOptions%1").arg(element));
        page->setProperty("index", element);
        page->setAutoFillBackground(true);
        page->setGeometry(
            twipsRect(*this, 0, kPages[element].top, kPageWidth, kPages[element].height));
        m_picOptions[element] = page;
    }
}

void FrmOptions::buildSummaryPage() {
    m_txt = new QWidget(m_picOptions[0]);
    m_txt->setObjectName(QStringLiteral("txt"));
    m_txt->setAutoFillBackground(true);
    m_txt->setGeometry(twipsRect(*this, -210, -315, 9150, 5385));

    auto addHeading = [this](int element, const char* caption, int left, int top) {
        QLabel* label = makeLabel(m_txt, "Label1", QString::fromLatin1(caption),
                                  twipsRect(*this, left, top, 2895, 255), classicFont(true));
        label->setProperty("index", element);
        m_label1[element] = label;
    };
    addHeading(0, "", 6000, 690);
    for (std::size_t r = 0; r < kSummaryRows.size(); ++r) {
        const SummaryRow& row = kSummaryRows[r];
        addHeading(row.element, row.heading, 360, row.headingTop);
        const QRect place = twipsRect(*this, 840, row.valueTop, row.valueWidth, row.valueHeight);
        QLabel* value = row.namesFolder
                            ? makeLabel<PathLabel>(m_txt, "Label2", {}, place, classicFont())
                            : makeLabel(m_txt, "Label2", {}, place, classicFont());
        value->setProperty("index", row.element);
        // A value may take more lines, down to the next row's heading.
        const bool last = r + 1 == kSummaryRows.size();
        const int bottomLimit = last ? m_txt->height() - twipsToPixels(*this, kGapTwips)
                                     : twipsToPixels(*this, kSummaryRows[r + 1].headingTop);
        value->setProperty("bottomLimit", bottomLimit);
        m_label2[row.element] = value;
    }

    m_command4 = makeCommand(m_txt, "Command4", QStringLiteral("E&xit"),
                             twipsRect(*this, 7875, 4935, 1065, 330));
    m_command4->setToolTip(QStringLiteral("Save settings as shown and exit"));
    m_command4->setPalette(
        withColours(m_command4->palette(), QPalette::Button, QColor(192, 192, 192), Qt::black));
    connect(m_command4, &QPushButton::clicked, this, &FrmOptions::Command4_Click);
}

void FrmOptions::buildHistoryPage() {
    QWidget* page = m_picOptions[1];
    // The Enter key in the location box moves the focus here.
    page->setFocusPolicy(Qt::ClickFocus);
    const QFont bold = classicFont(true);
    const QFont plain = classicFont();

    m_label19 = makeLabel(page, "Label19", QStringLiteral("History file options"),
                          twipsRect(*this, 210, 90, 3060, 330), bold);
    m_label21 = makeLabel(page, "Label21", QStringLiteral("selection info..."),
                          twipsRect(*this, 210, 555, 4425, 960), plain);
    m_label22 = makeLabel(page, "Label22", QStringLiteral("Network or single..."),
                          twipsRect(*this, 216, 1572, 4260, 228), bold);
    m_label3 = makeLabel(page, "Label3", QStringLiteral("Which option..."),
                         twipsRect(*this, 210, 1890, 3270, 2115), plain);
    m_label23 = makeLabel(page, "Label23", QStringLiteral("Which option..."),
                          twipsRect(*this, 210, 4515, 3270, 645), plain);

    m_frame8 = makeFrame(page, "Frame8", QStringLiteral("History file location "),
                         twipsRect(*this, 5040, 105, 4005, 1695));

    m_frame10 = makeFrame(page, "Frame10", QStringLiteral("User list"),
                          twipsRect(*this, 4200, 1995, 4845, 2220));
    m_command1 = makeCommand(m_frame10, "Command1", QStringLiteral("&Add names"),
                             twipsRect(*this, 210, 315, 1065, 330));
    m_command2 = makeCommand(m_frame10, "Command2", QStringLiteral("&Delete name"),
                             twipsRect(*this, 210, 840, 1065, 330));
    m_command3 = makeCommand(m_frame10, "Command3", QStringLiteral("D&elete all"),
                             twipsRect(*this, 210, 1365, 1065, 330));
    m_command3->hide(); // never shown, and it has no action
    m_list1 = new QListWidget(m_frame10);
    m_list1->setObjectName(QStringLiteral("List1"));
    m_list1->setFont(systemFont());
    m_list1->setGeometry(twipsRect(*this, 1470, 315, 3165, 1740));
    m_list1->setPalette(withColours(m_list1->palette(), QPalette::Base, Qt::white, Qt::black));

    m_frame9 = makeFrame(page, "Frame9", QString(), twipsRect(*this, 4200, 4410, 4845, 855));
    m_text1 = new QLineEdit(m_frame9);
    m_text1->setObjectName(QStringLiteral("Text1"));
    // No length of its own: every typed character reaches the box.
    m_text1->setMaxLength(std::numeric_limits<int>::max());
    m_text1->setFont(systemFont());
    m_text1->setGeometry(twipsRect(*this, 210, 315, 4425, 360));

    m_label20 = makeLabel(page, "Label20", QStringLiteral("selection info..."),
                          twipsRect(*this, 5355, 3885, 3060, 960), systemFont());
    m_label20->setAutoFillBackground(true);
    m_label20->setPalette(
        withColours(m_label20->palette(), QPalette::Window, QColor(192, 192, 192), Qt::black));
    m_label20->hide(); // its caption is kept up to date, but nothing ever shows it
}

void FrmOptions::buildChoicePages() {
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
        {2, "Label11", "Lesson Advance Option", "Label12", "Details about F2 button", &m_label12,
         "Frame2", "Manual Lesson Advance Option ", 1260},
        {3, "Label13", "Sound Effects Options", "Label14", "About sound effects...", &m_label14,
         "Frame3", "Sound effects options ", 1575},
        {4, "Label27", "Documentation Option", "Label26", "Details about F2 button", &m_label26,
         "Frame12", "Documentation Option ", 1260},
    };

    std::array<QGroupBox*, 4> frames{m_frame8};
    for (const ChoicePage& design : pages) {
        QWidget* page = m_picOptions[design.element];
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
    for (const OptionDesign& design : kOptionButtons) {
        auto* button = new QRadioButton(QString::fromLatin1(design.caption), frames[design.frame]);
        button->setObjectName(QLatin1String(design.name));
        button->setGeometry(twipsRect(*this, design.left, design.top, design.width, design.height));
        showWholeCaption(button);
        showWholeIndicator(button);
        m_optionGroups[design.frame]->addButton(button);
        // Selected before the handlers are connected: creating runs nothing.
        if (design.selectedAtCreation)
            button->setChecked(true);
    }
}

void FrmOptions::connectOptionButtons() {
    // A button's handler runs whenever it becomes selected, by the user or by
    // an explanation routine; selecting the selected button again runs nothing,
    // which is what ends the nested run a routine's own selection causes.
    for (const OptionButtonAction& action : optionButtonActions()) {
        connect(optionButton(action.button), &QRadioButton::toggled, this,
                [this, &action](bool selected) {
                    if (selected)
                        optionButtonSelected(action);
                });
    }
}

QLineEdit* FrmOptions::locationBox() {
    return m_text1;
}

QLabel* FrmOptions::label1(int element) {
    return element >= 0 && element < int(m_label1.size()) ? m_label1[element] : nullptr;
}

QLabel* FrmOptions::label2(int element) {
    return element >= 0 && element < int(m_label2.size()) ? m_label2[element] : nullptr;
}

UserRoster& FrmOptions::roster() {
    return *m_roster;
}

QWidget* FrmOptions::picOptions(int element) const {
    return element >= 0 && element < int(m_picOptions.size()) ? m_picOptions[element] : nullptr;
}

int FrmOptions::selectedTab() const {
    return m_tbsOptions->currentIndex() + 1;
}

void FrmOptions::setShowHelp(std::function<void()> showHelp) {
    m_showHelp = std::move(showHelp);
}

void FrmOptions::setCloseMainWindow(std::function<void()> close) {
    m_closeMainWindow = std::move(close);
}

FileOpenRequest FrmOptions::commonDialog1() {
    FileOpenRequest request;
    request.title = QStringLiteral("Please locate the Corvantis Dexlan Trainer 4.exe program");
    request.defaultExtension = QStringLiteral(".exe");
    request.filter = QStringLiteral("Program files (*.exe)|*exe");
    return request;
}

QRadioButton* FrmOptions::optionButton(const char* name) const {
    return findChild<QRadioButton*>(QLatin1String(name));
}

int FrmOptions::centredLeft(int widthTwips) const {
    // Centred on the screen's width rather than the window's: the window fills
    // a maximised main window.
    const double left = (kReferenceWidthTwips * m_state.screenScale - widthTwips) / 2.0;
    return int(std::lround(left));
}

// Labels, buttons, option buttons and frames are named by their captions,
// which Qt follows as they change. What shows no caption of its own is named
// here, a tooltip becomes its control's description, and a few controls whose
// use is not plain from the caption get a short one.
void FrmOptions::describeForAssistiveTechnology() {
    setAccessibleName(QStringLiteral("Trainer options"));
    m_tbsOptions->setAccessibleName(QStringLiteral("Option tabs"));
    m_tbsOptions->setAccessibleDescription(QStringLiteral("Ctrl+Tab shows the next page"));
    m_tabPane->setAccessibleName(QStringLiteral("Option pages"));
    for (int element = 0; element < int(m_picOptions.size()); ++element) {
        m_picOptions[element]->setAccessibleName(m_tbsOptions->tabText(element).trimmed() +
                                                 QStringLiteral(" page"));
        m_picOptions[element]->setAccessibleDescription(m_tbsOptions->tabToolTip(element));
    }
    // It covers the whole Current Options page.
    m_txt->setAccessibleName(m_picOptions[0]->accessibleName());

    m_frame8->setAccessibleDescription(
        QStringLiteral("How the trainer keeps the users' history files"));
    m_command1->setAccessibleDescription(
        QStringLiteral("Adds users to the list, with a history file for each"));
    m_command2->setAccessibleDescription(
        QStringLiteral("Deletes the chosen user and the user's history file"));
    m_list1->setAccessibleName(QStringLiteral("User list"));
    m_list1->setAccessibleDescription(
        QStringLiteral("The users found in the history folder; Delete deletes the chosen one"));
    m_text1->setAccessibleName(QStringLiteral("History file location"));
    m_text1->setAccessibleDescription(locationPrompt());

    for (QWidget* control : findChildren<QWidget*>()) {
        if (!control->toolTip().isEmpty())
            control->setAccessibleDescription(control->toolTip());
    }
}

// The Tab key follows each page's layout, top to bottom and left to right.
// Widgets join the focus chain in the order they are made, which puts the
// history choices after the user list; the chain is laid down here in full.
// The parked pages are disabled, so only the page on view takes part.
void FrmOptions::orderTabStops() {
    std::vector<QWidget*> chain = {m_tbsOptions, m_command4};
    for (const char* name : {"Option10", "Option1", "Option23", "Option24", "Option25", "Option4"})
        chain.push_back(optionButton(name));
    chain.insert(chain.end(), {m_command1, m_command2, m_command3, m_list1, m_text1});
    for (const char* name :
         {"Option18", "Option17", "Option21", "Option20", "Option19", "Option13", "Option14"})
        chain.push_back(optionButton(name));
    for (std::size_t stop = 1; stop < chain.size(); ++stop)
        setTabOrder(chain[stop - 1], chain[stop]);
}

void FrmOptions::Form_Load() {
    m_tbsOptions->move(twipsToPixels(*this, centredLeft(kTabStripWidth)), m_tbsOptions->y());
    m_tabPane->move(m_tbsOptions->x(), m_tabPane->y());
    m_command2->setEnabled(false);
    m_state.confirmDelete = true;
    showSelectedPage();
}

void FrmOptions::showSelectedPage() {
    for (int element = 0; element < int(m_picOptions.size()); ++element) {
        QWidget* page = m_picOptions[element];
        if (element == selectedTab() - 1) {
            page->move(twipsToPixels(*this, centredLeft(kPageWidth)), page->y());
            page->setEnabled(true);
        } else {
            page->move(twipsToPixels(*this, kParkedLeftTwips), page->y());
            page->setEnabled(false);
        }
    }
}

void FrmOptions::tbsOptions_Click() {
    clearUserListSelection();
    m_command2->setEnabled(false);
    showSelectedPage();
    // Parking the old page took the focus from its control; without a focus in
    // this window its keys (Ctrl+Tab, F1, Escape) would go to the main window.
    m_tbsOptions->setFocus();
    RefreshPage(selectedTab());
}

void FrmOptions::RefreshPage(int page) {
    m_state.optionLines[EntryHistoryLocation] =
        refreshedLocationEntry(m_text1->text(), m_state.pathPolicy);
    switch (page) {
    case 1:
        ShowSummary();
        break;
    case 2:
        ShowHistoryExplanation();
        break;
    case 3:
        ShowAdvanceExplanation();
        break;
    case 4:
        ShowSoundExplanation();
        break;
    case 5:
        ShowDocumentsExplanation();
        break;
    default:
        qFatal("RefreshPage: there is no page %d", page);
    }
}

void FrmOptions::clearUserListSelection() {
    m_list1->setCurrentRow(-1);
    m_list1->clearSelection();
}

void FrmOptions::ShowSummary() {
    const std::optional<SummaryTexts> texts =
        summaryTexts(m_state.optionLines, m_state.programFolder);
    if (!texts) {
        const OptionLines& lines = m_state.optionLines;
        qFatal("ShowSummary: an entry holds an impossible value (3 \"%s\", 4 \"%s\", 10 \"%s\", "
               "11 \"%s\", 12 \"%s\")",
               lines[EntryInstallation].constData(), lines[EntryHistoryMode].constData(),
               lines[EntryManualAdvance].constData(), lines[EntrySounds].constData(),
               lines[EntryDocuments].constData());
    }
    static_cast<PathLabel*>(m_label2[7])->setTextNamingPath(texts->programLocation);
    static_cast<PathLabel*>(m_label2[1])->setTextNamingPath(texts->history);
    m_label2[6]->setText(texts->sounds);
    m_label2[5]->setText(texts->advance);
    m_label2[10]->setText(texts->documents);
    for (int element : {7, 1, 6, 5, 10})
        fitHeight(m_label2[element], m_label2[element]->property("bottomLimit").toInt());
}

void FrmOptions::ShowHistoryExplanation() {
    const QByteArray entry3 = m_state.optionLines[EntryInstallation];
    const QByteArray entry4 = m_state.optionLines[EntryHistoryMode];
    const QByteArray entry5 = m_state.optionLines[EntryHistoryLocation];
    const std::optional<InstallationGroup> group = installationGroup(entry3);
    if (!group)
        internalError("ShowHistoryExplanation", EntryInstallation, entry3);
    const HistoryModeCase* mode = historyModeCase(*group, entry4);
    const std::optional<StatusLine> status = historyStatusLine(entry3, entry4, entry5);
    if (!mode || !status)
        internalError("ShowHistoryExplanation", EntryHistoryMode, entry4);

    // Reset.
    clearUserListSelection();
    m_command2->setEnabled(false);
    m_label23->hide();
    // A substitute font may need a line more; the page has room below it.
    showWholeText(m_label23, locationPrompt(), m_picOptions[1]->height());

    // The location status line.
    if (!status->unchanged)
        m_label20->setText(status->caption);
    if (status->copyToSummary)
        static_cast<PathLabel*>(m_label2[1])->setTextNamingPath({m_label20->text(), {}, {}});

    // The installation's settings.
    const InstallationTexts& installation = installationTexts(*group);
    QRadioButton* option10 = optionButton("Option10");
    option10->setText(QString::fromLatin1(installation.option10Caption));
    showWholeCaption(option10);
    m_frame10->hide();
    m_frame9->hide();
    m_label23->hide();
    if (installation.label19)
        m_label19->setText(QString::fromLatin1(installation.label19));
    widenHeading(m_label19);
    fitHeight(m_label19, m_label21->y());
    showWholeText(m_label21, QString::fromLatin1(installation.label21), m_label22->y());

    // The mode's settings. Selecting the button may run its handler, which
    // stores the same mode and runs this routine once more, nested.
    optionButton(mode->selectedButton)->setChecked(true);
    if (mode->userListCaption) {
        m_frame10->setTitle(QString::fromLatin1(mode->userListCaption));
        showWholeTitle(m_frame10);
        m_frame10->show();
    } else {
        m_frame10->hide();
    }
    if (mode->fillUserList == FillUserListMoment::BeforeLocation)
        m_roster->FillUserList();
    if (mode->locationShown) {
        m_frame9->show();
        m_frame9->setTitle(locationFrameCaption());
        showWholeTitle(m_frame9);
        m_label23->show();
    }
    if (mode->fillUserList == FillUserListMoment::AfterLocation)
        m_roster->FillUserList();
    m_label22->setText(QString::fromLatin1(mode->heading));
    widenHeading(m_label22);
    m_label3->resize(twipsToPixels(*this, mode->explanationWidthTwips), m_label3->height());
    showWholeText(m_label3, historyExplanation(mode->explanationKey).value_or(QString()),
                  m_label23->y() - 2);

    // Only while the page is on view, so that no hidden control takes the focus.
    if (mode->focusRule && selectedTab() == 2 && m_text1->text().isEmpty())
        m_text1->setFocus();
}

void FrmOptions::showChoice(std::span<const ChoiceText> choices, int entry, QLabel* label,
                            const char* routine) {
    const ChoiceText* choice = choiceFor(choices, m_state.optionLines[entry]);
    if (!choice)
        internalError(routine, entry, m_state.optionLines[entry]);
    // Selecting the row's button clears the others of its frame.
    optionButton(choice->button)->setChecked(true);
    showWholeText(label, QString::fromLatin1(choice->text), label->parentWidget()->height() - 7);
}

void FrmOptions::ShowAdvanceExplanation() {
    showChoice(advanceChoices(), EntryManualAdvance, m_label12, "ShowAdvanceExplanation");
}

void FrmOptions::ShowSoundExplanation() {
    showChoice(soundChoices(), EntrySounds, m_label14, "ShowSoundExplanation");
}

void FrmOptions::ShowDocumentsExplanation() {
    showChoice(documentsChoices(), EntryDocuments, m_label26, "ShowDocumentsExplanation");
}

void FrmOptions::runExplanation(ExplanationPage page) {
    switch (page) {
    case ExplanationPage::History:
        ShowHistoryExplanation();
        return;
    case ExplanationPage::Advance:
        ShowAdvanceExplanation();
        return;
    case ExplanationPage::Sounds:
        ShowSoundExplanation();
        return;
    case ExplanationPage::Documents:
        ShowDocumentsExplanation();
        return;
    }
}

void FrmOptions::optionButtonSelected(const OptionButtonAction& action) {
    if (action.needsDocumentation) {
        Option13_Click();
        return;
    }
    m_state.optionLines[action.entry] = action.value;
    runExplanation(action.refreshes);
    if (action.fillsUserList)
        m_roster->FillUserList();
}

void FrmOptions::Option13_Click() {
    if (!m_state.docsInstalled) {
        // Selecting "Do not include documents" clears this button and runs its
        // handler, so the page is already updated when the message appears.
        optionButton("Option14")->setChecked(true);
        m_dialogs.msgBox(documentsNotInstalledMessage());
        return;
    }
    m_state.optionLines[EntryDocuments] = values::kDocumentsOn;
    ShowDocumentsExplanation();
}

void FrmOptions::Command4_Click() {
    if (m_closeMainWindow)
        m_closeMainWindow();
}

void FrmOptions::picOptions_MouseDown() {
    clearUserListSelection();
    m_command2->setEnabled(false);
}

void FrmOptions::Form_KeyDown(int key, Qt::KeyboardModifiers shift, const QObject* focused) {
    if (key == Qt::Key_Delete) {
        if (!editsText(focused))
            m_roster->DeleteSelectedName();
        return;
    }
    if (key == Qt::Key_Escape) {
        Command4_Click();
        return;
    }
    if (key == Qt::Key_F1 && m_showHelp)
        m_showHelp();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        if (m_state.optionLines[EntryHistoryMode] == values::kHistAuto) {
            m_state.optionLines[EntryHistoryLocation] = typedLocationEntry(m_text1->text());
            m_label20->setText(locationStatus(m_state.optionLines[EntryHistoryLocation]));
        }
        return;
    }
    if (const int step = pageStep(key, shift)) {
        const int count = m_tbsOptions->count();
        m_tbsOptions->setCurrentIndex((m_tbsOptions->currentIndex() + step + count) % count);
        return;
    }
}

bool FrmOptions::isKeyPreviewTarget(QObject* receiver) const {
    if (!receiver->isWidgetType())
        return false;
    auto* widget = static_cast<QWidget*>(receiver);
    // Other windows (Help, the add-names dialog, message boxes) keep their keys.
    return widget == this || isAncestorOf(widget);
}

bool FrmOptions::isPropagationOfHandledKey(QObject* receiver, const QEvent* event) const {
    // A key the focused control leaves unhandled goes on to each of its parents
    // in turn, through this filter again. The same event on its way up is the
    // one already handled, even when the handler moved the focus meanwhile.
    if (event != m_handledKey || !m_handledKeyReceiver)
        return false;
    const auto* first = static_cast<QWidget*>(m_handledKeyReceiver.data());
    return static_cast<QWidget*>(receiver)->isAncestorOf(first);
}

bool FrmOptions::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::ShortcutOverride:
    case QEvent::KeyRelease:
        // Every key press starts with its shortcut check and ends with its
        // release: a later press is a new key, wherever its event is stored.
        m_handledKey = nullptr;
        m_handledKeyReceiver = nullptr;
        break;
    case QEvent::KeyPress:
        if (isKeyPreviewTarget(watched) && !isPropagationOfHandledKey(watched, event)) {
            const auto* key = static_cast<QKeyEvent*>(event);
            Form_KeyDown(key->key(), key->modifiers(), watched);
            // Marked afterwards: keys typed in a window the handler opened
            // (Help, a message box) clear the mark as they pass.
            m_handledKey = event;
            m_handledKeyReceiver = watched;
        }
        break;
    default:
        break;
    }
    // Never consumed: the focused control then handles the key as usual.
    return false;
}

} // namespace dexlan

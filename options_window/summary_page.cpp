// SPDX-License-Identifier: GPL-3.0-or-later
#include "options_window/summary_page.h"

#include "options_window/page_layout.h"
#include "options_window/path_label.h"
#include "options_window/summary_text.h"
#include "resources/classic_look.h"

#include <QLabel>
#include <QPushButton>

namespace dexlan {

namespace {

struct SummaryRow {
    int row;
    const char* heading;
    int headingTop;
    int valueTop;
    int valueWidth;
    int valueHeight;
    bool namesFolder; // the value may name a folder too long for its line
};

constexpr std::array<SummaryRow, 5> kSummaryRows{{
    {1, QT_TRANSLATE_NOOP("dexlan::SummaryPage", "History File Location"), 690, 930, 8175, 495,
     true},
    {5, QT_TRANSLATE_NOOP("dexlan::SummaryPage", "Lesson Advance Option"), 1755, 1995, 7095, 255,
     false},
    {6, QT_TRANSLATE_NOOP("dexlan::SummaryPage", "Sound Effects Option"), 2460, 2700, 7215, 255,
     false},
    {10, QT_TRANSLATE_NOOP("dexlan::SummaryPage", "Documentation Option"), 3165, 3405, 6855, 255,
     false},
    {7, QT_TRANSLATE_NOOP("dexlan::SummaryPage", "Current program location"), 3975, 4215, 6735, 375,
     true},
}};

} // namespace

SummaryPage::SummaryPage(QWidget* parent) : QWidget(parent) {}

void SummaryPage::build() {
    m_area = new QWidget(this);
    m_area->setObjectName(QStringLiteral("txt"));
    m_area->setAutoFillBackground(true);
    m_area->setGeometry(twipsRect(*this, -210, -315, 9150, 5385));

    auto addHeading = [this](int row, const char* caption, int left, int top) {
        QLabel* label = makeLabel(m_area, "Label1", tr(caption),
                                  twipsRect(*this, left, top, 2895, 255), classicFont(true));
        label->setProperty("index", row);
        m_headings[row] = label;
    };
    addHeading(0, "", 6000, 690);
    for (std::size_t r = 0; r < kSummaryRows.size(); ++r) {
        const SummaryRow& row = kSummaryRows[r];
        addHeading(row.row, row.heading, 360, row.headingTop);
        const QRect place = twipsRect(*this, 840, row.valueTop, row.valueWidth, row.valueHeight);
        QLabel* value = row.namesFolder
                            ? makeLabel<PathLabel>(m_area, "Label2", {}, place, classicFont())
                            : makeLabel(m_area, "Label2", {}, place, classicFont());
        value->setProperty("index", row.row);
        // A value may take more lines, down to the next row's heading.
        const bool last = r + 1 == kSummaryRows.size();
        const int bottomLimit = last ? m_area->height() - twipsToPixels(*this, kGapTwips)
                                     : twipsToPixels(*this, kSummaryRows[r + 1].headingTop);
        value->setProperty("bottomLimit", bottomLimit);
        m_values[row.row] = value;
    }

    m_exitButton =
        makeCommand(m_area, "Command4", tr("E&xit"), twipsRect(*this, 7875, 4935, 1065, 330));
    m_exitButton->setToolTip(tr("Save settings as shown and exit"));
    m_exitButton->setPalette(
        withColours(m_exitButton->palette(), QPalette::Button, QColor(192, 192, 192), Qt::black));
}

QLabel* SummaryPage::heading(int row) const {
    return row >= 0 && row < int(m_headings.size()) ? m_headings[row] : nullptr;
}

QLabel* SummaryPage::value(int row) const {
    return row >= 0 && row < int(m_values.size()) ? m_values[row] : nullptr;
}

PathLabel* SummaryPage::historyValue() const {
    return static_cast<PathLabel*>(m_values[1]);
}

void SummaryPage::showSummary(const OptionLines& lines, const QString& programFolder,
                              const CodePage& codePage) {
    const std::optional<SummaryTexts> texts = summaryTexts(lines, programFolder, codePage);
    if (!texts) {
        qFatal("showSummary: an entry holds an impossible value (3 \"%s\", 4 \"%s\", 10 \"%s\", 11 "
               "\"%s\", 12 \"%s\")",
               lines[EntryInstallation].constData(), lines[EntryHistoryMode].constData(),
               lines[EntryManualAdvance].constData(), lines[EntrySounds].constData(),
               lines[EntryDocuments].constData());
    }
    static_cast<PathLabel*>(m_values[7])->setTextNamingPath(texts->programLocation);
    static_cast<PathLabel*>(m_values[1])->setTextNamingPath(texts->history);
    m_values[6]->setText(texts->sounds);
    m_values[5]->setText(texts->advance);
    m_values[10]->setText(texts->documents);
    for (int row : {7, 1, 6, 5, 10})
        fitHeight(m_values[row], m_values[row]->property("bottomLimit").toInt());
}

} // namespace dexlan

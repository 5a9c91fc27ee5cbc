// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "options_file/option_lines.h"
#include "platform/code_page.h"

#include <QWidget>

#include <array>

class QLabel;
class QPushButton;

namespace dexlan {

class PathLabel;

// The Current Options page: one row per setting, with its heading and the
// sentence that describes the value in force, and the Exit button.
class SummaryPage : public QWidget {
    Q_OBJECT
  public:
    explicit SummaryPage(QWidget* parent);

    // Makes the rows; the window calls it once it has set its colours.
    void build();
    // Describes the values in force.
    void showSummary(const OptionLines& lines, const QString& programFolder,
                     const CodePage& codePage = CodePage::windows1252());

    // Rows 0, 1, 5, 6, 7 and 10 have a heading, all but row 0 a value;
    // nullptr for a row the page does not have.
    QLabel* heading(int row) const;  // Label1
    QLabel* value(int row) const;    // Label2
    PathLabel* historyValue() const; // Label2 row 1
    QWidget* area() const { return m_area; }
    QPushButton* exitButton() const { return m_exitButton; }

  private:
    QWidget* m_area = nullptr;            // txt: covers the whole page
    std::array<QLabel*, 11> m_headings{}; // by row; the gaps stay nullptr
    std::array<QLabel*, 11> m_values{};
    QPushButton* m_exitButton = nullptr; // Command4
};

} // namespace dexlan

// SPDX-License-Identifier: GPL-3.0-or-later
#include "info_windows/help_window.h"

#include "info_windows/info_window_parts.h"

#include <QLabel>

namespace dexlan {

HelpWindow::HelpWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Help"));
    setWindowTitle(tr("The Corvantis Dexlan Options 4 program..."));
    info_window::setClientSize(*this, 5295, 3075);

    m_emblem = info_window::emblem(*this, "Picture1", 210, 315);
    m_introduction = info_window::label(
        *this, "Label3", 1,
        tr("The Corvantis Dexlan Options 4 program may be run at any time you wish to examine or "
           "change settings for the Corvantis Dexlan Training System 4."),
        1050, 240, 3900, 735);
    m_instructions[0] =
        info_window::label(*this, "Label1", 0,
                           tr("The next screen shows the current or default settings for several "
                              "options.  Use the tabs to see each option in detail."),
                           315, 1140, 4635, 540);
    m_instructions[1] = info_window::label(*this, "Label1", 1,
                                           tr("When you have finished setting the program options, "
                                              "simply exit and your changes will be recorded."),
                                           315, 1890, 4635, 540);
    m_okButton = info_window::okButton(*this, 2100, 2520, 1125, 330);
}

QLabel* HelpWindow::instruction(int element) const {
    return element == 0 || element == 1 ? m_instructions[element] : nullptr;
}

QLabel* HelpWindow::introduction(int element) const {
    return element == 1 ? m_introduction : nullptr;
}

} // namespace dexlan

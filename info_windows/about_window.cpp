// SPDX-License-Identifier: GPL-3.0-or-later
#include "info_windows/about_window.h"

#include "info_windows/info_window_parts.h"
#include "platform/build_info.h"
#include "platform/line_break.h"
#include "platform/system_code_page.h"

#include <QCoreApplication>
#include <QLabel>

namespace dexlan {

QString makerDetails() {
    return QStringLiteral("Corvantis Learning Systems") + kCrLf +
           QStringLiteral("48 Example Street, Suite 4") + kCrLf +
           QStringLiteral("Sampletown, ST 00000") + kCrLf + kCrLf +
           QStringLiteral("www.example.com") + kCrLf + QStringLiteral("support@example.com");
}

QString legalNotice() {
    return QCoreApplication::translate(
        "dexlan::AboutWindow", "Copyright (C) Corvantis Learning Systems. All rights reserved.");
}

AboutWindow::AboutWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("About"));
    setWindowTitle(tr("The Corvantis Dexlan Options Program..."));
    info_window::setClientSize(*this, 5655, 3255);

    m_emblem = info_window::emblem(*this, "Picture2", 360, 360);
    m_programName = info_window::label(*this, "Label1", -1, {}, 1395, 240, 3480, 225);
    m_version = info_window::label(*this, "Label2", -1, {}, 1395, 450, 3480, 225);
    m_maker = info_window::label(*this, "Label3", -1, {}, 1395, 765, 3585, 1380);
    m_legal = info_window::label(*this, "Label4", -1, {}, 345, 2340, 4950, 225);
    m_okButton = info_window::okButton(*this, 2400, 2640, 855, 330);
    m_codePage = info_window::label(*this, "CodePage", -1, {}, 345, 1335, 1005, 450);
    m_codePage->setWordWrap(true);
    fillTexts();
    showCodePage(CodePage::windows1252());
}

void AboutWindow::showCodePage(const CodePage& page) {
    m_codePage->setText(tr("Code page:") + QLatin1Char('\n') + codePageName(page));
}

void AboutWindow::fillTexts() {
    m_programName->setText(tr("Corvantis Dexlan Options 4"));
    m_version->setText(tr("Version %1.%2    R%3")
                           .arg(build::kVersionMajor)
                           .arg(build::kVersionMinor)
                           .arg(build::kRevision));
    m_maker->setText(makerDetails());
    m_legal->setText(legalNotice());
}

} // namespace dexlan

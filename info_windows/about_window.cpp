#include "info_windows/about_window.h"

#include "info_windows/info_window_parts.h"
#include "platform/build_info.h"

#include <QLabel>

namespace dexlan {

QString makerDetails() {
    const QString crLf = QStringLiteral("\r\n");
    return QStringLiteral("Corvantis Learning Systems") + crLf +
           QStringLiteral("48 Example Street, Suite 4") + crLf +
           QStringLiteral("Sampletown, ST 00000") + crLf + crLf +
           QStringLiteral("www.example.com") + crLf + QStringLiteral("support@example.com");
}

QString legalNotice() {
    return QStringLiteral("Copyright (C) Corvantis Learning Systems. All rights reserved.");
}

AboutWindow::AboutWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("About"));
    setWindowTitle(QStringLiteral("The Corvantis Dexlan Options Program..."));
    info_window::setClientSize(*this, 5655, 3255);

    m_picture2 = info_window::emblem(*this, "Picture2", 360, 360);
    m_label1 = info_window::label(*this, "Label1", -1, {}, 1395, 240, 3480, 225);
    m_label2 = info_window::label(*this, "Label2", -1, {}, 1395, 450, 3480, 225);
    m_label3 = info_window::label(*this, "Label3", -1, {}, 1395, 765, 3585, 1380);
    m_label4 = info_window::label(*this, "Label4", -1, {}, 345, 2340, 4950, 225);
    m_command1 = info_window::okButton(*this, 2400, 2640, 855, 330);
    Form_Load();
}

void AboutWindow::Form_Load() {
    m_label1->setText(QStringLiteral("Corvantis Dexlan Options 4"));
    m_label2->setText(QStringLiteral("Version %1.%2    R%3")
                          .arg(build::kVersionMajor)
                          .arg(build::kVersionMinor)
                          .arg(build::kRevision));
    m_label3->setText(makerDetails());
    m_label4->setText(legalNotice());
}

} // namespace dexlan

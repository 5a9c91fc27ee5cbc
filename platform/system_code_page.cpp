// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/system_code_page.h"

#include <QSettings>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace dexlan {

int codePageForLanguage(QLocale::Language language) {
    struct Entry {
        QLocale::Language language;
        int codePage;
    };
    static constexpr Entry kTable[] = {
        {QLocale::Polish, 1250},    {QLocale::Czech, 1250},       {QLocale::Slovak, 1250},
        {QLocale::Hungarian, 1250}, {QLocale::Croatian, 1250},    {QLocale::Slovenian, 1250},
        {QLocale::Romanian, 1250},  {QLocale::Russian, 1251},     {QLocale::Ukrainian, 1251},
        {QLocale::Bulgarian, 1251}, {QLocale::Serbian, 1251},     {QLocale::Greek, 1253},
        {QLocale::Turkish, 1254},   {QLocale::Azerbaijani, 1254}, {QLocale::Hebrew, 1255},
        {QLocale::Arabic, 1256},    {QLocale::Persian, 1256},     {QLocale::Lithuanian, 1257},
        {QLocale::Latvian, 1257},   {QLocale::Estonian, 1257},    {QLocale::Vietnamese, 1258},
        {QLocale::Thai, 874},
    };
    for (const Entry& entry : kTable) {
        if (entry.language == language)
            return entry.codePage;
    }
    return 1252;
}

CodePage systemCodePage() {
#ifdef Q_OS_WIN
    // A machine set to a code page we hold no table for (a double-byte one, or
    // UTF-8) is given Western European, as before.
    return CodePage::byNumber(int(::GetACP())).value_or(CodePage::windows1252());
#else
    return CodePage::byNumber(codePageForLanguage(QLocale::system().language()))
        .value_or(CodePage::windows1252());
#endif
}

CodePageChoice chooseCodePage(std::optional<int> commandLine, const QVariant& setting,
                              const CodePage& system) {
    if (commandLine) {
        if (const std::optional<CodePage> page = CodePage::byNumber(*commandLine))
            return {*page, CodePageSource::CommandLine};
    }
    bool isNumber = false;
    const int configured = setting.toString().trimmed().toInt(&isNumber);
    if (isNumber) {
        if (const std::optional<CodePage> page = CodePage::byNumber(configured))
            return {*page, CodePageSource::Setting};
    }
    return {system, CodePageSource::System};
}

namespace {
// Beside the trainer's folder of the same configuration (platform/qt_environment.cpp).
const QString kSettingsOwner = QStringLiteral("Corvantis");
const QString kSettingsName = QStringLiteral("dexlan-options");
const QString kCodePageKey = QStringLiteral("CodePage");
} // namespace

QVariant configuredCodePage() {
    // The user's scope falls back to the system-wide one by itself.
    const QSettings settings(kSettingsOwner, kSettingsName);
    return settings.value(kCodePageKey);
}

CodePageChoice codePageInUse(std::optional<int> commandLine) {
    return chooseCodePage(commandLine, configuredCodePage(), systemCodePage());
}

QString codePageName(const CodePage& page) {
    return QStringLiteral("Windows-%1").arg(page.number());
}

} // namespace dexlan

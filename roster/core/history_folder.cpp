// SPDX-License-Identifier: GPL-3.0-or-later
#include "roster/core/history_folder.h"

#include "platform/code_page.h"
#include "platform/file_names.h"
#include "roster/core/history_file.h"
#include "roster/core/history_folder_detail.h"

#include <algorithm>

namespace dexlan {

namespace folder_detail {

bool isSeparator(QChar c) {
    return c == QLatin1Char('/') || c == QLatin1Char('\\');
}

bool existsAsAnything(const QString& path) {
    const PathStatus info(path);
    return info.exists() || info.isSymLink();
}

// A failure in folder: FolderMissing only when the folder itself is absent; a
// folder that is a file, or one that may not be written, is another failure.
FileError failureIn(const QString& folder, QString text) {
    FileError error;
    error.kind = existsAsAnything(withoutTrailingSeparator(folder)) ? FileError::Other
                                                                    : FileError::FolderMissing;
    error.text = errorTextOr(text, error.kind == FileError::FolderMissing ? notFoundText()
                                                                          : lastSystemErrorText());
    return error;
}

FileError otherFailure(const QString& text) {
    return {FileError::Other, text};
}

qsizetype fileNameAt(QStringView path) {
    // After the last separator of either kind (isSeparator), or 0.
    return std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\')) + 1;
}

QString folderOf(const QString& path) {
    return path.left(fileNameAt(path));
}

bool listingsCrossChecked() {
    static const bool on = qEnvironmentVariableIsSet("DEXLAN_CROSS_CHECK_LISTINGS");
    return on;
}

} // namespace folder_detail

using namespace folder_detail;

QString shownName(const QByteArray& name, const CodePage& codePage) {
    // Most names are plain ASCII, the same in every code page, and need no converter.
    bool plain = true;
    for (char c : name) {
        if (static_cast<unsigned char>(c) >= 0x80 || c == '\n') {
            plain = false;
            break;
        }
    }
    if (plain)
        return QString::fromLatin1(name);
    QString text = fromCodePage(name, codePage);
    text.replace(QLatin1Char('\n'), QChar(0x21B5)); // not in the code page: no name has it
    return text;
}

FreeNumbers::FreeNumbers(const std::vector<int>& listNumbers)
    : m_low(listNumbers.size() + 2, false) {
    // With n entries the answer is at most n + 1 unless the folder refuses
    // numbers; a bit per number up to there keeps the choice linear.
    for (int n : listNumbers) {
        if (n < 1)
            continue;
        if (size_t(n) < m_low.size())
            m_low[size_t(n)] = true;
        else
            m_high.push_back(n);
    }
    std::sort(m_high.begin(), m_high.end());
}

std::optional<int> FreeNumbers::next() {
    for (;;) {
        if (m_candidate >= std::numeric_limits<int>::max())
            return std::nullopt;
        ++m_candidate;
        const int candidate = int(m_candidate);
        if (size_t(candidate) < m_low.size()) {
            if (!m_low[size_t(candidate)])
                return candidate;
        } else if (!std::binary_search(m_high.begin(), m_high.end(), candidate)) {
            return candidate;
        }
    }
}

std::optional<int> smallestFreeNumber(const std::vector<int>& listNumbers,
                                      const std::function<bool(int)>& takenInFolder) {
    FreeNumbers candidates(listNumbers);
    while (std::optional<int> candidate = candidates.next()) {
        if (!takenInFolder || !takenInFolder(*candidate))
            return candidate;
    }
    return std::nullopt;
}

NumberInFolder inspectNumber(const QString& folder, int number) {
    NumberInFolder result;
    if (holdsControlCharacter(folder))
        return result; // nothing can be there; creating says why
    // Where letter case tells names apart, each spelling may be another file.
    const QStringList spellings = letterCaseTellsNamesApart()
                                      ? historyFileSpellings(number)
                                      : QStringList{newHistoryFileName(number)};
    for (const QString& spelling : spellings) {
        const QString path = folder + spelling;
        const PathStatus info(path);
        if (!info.exists() && !info.isSymLink())
            continue;
        // Only a file known to hold the empty name may be reused; anything that
        // cannot be read may be somebody's records.
        if (!info.isFile())
            return {true, {}};
        const FirstLine line = readFirstLineOfFile(path);
        if (line.status != FirstLine::Line || line.bytes != "\"\"")
            return {true, {}};
        if (result.emptyNameFile.isEmpty())
            result.emptyNameFile = path;
    }
    return result;
}

} // namespace dexlan

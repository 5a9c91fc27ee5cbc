// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the class-list reader with arbitrary choices (the
// trainer's code page; the separator, header, name columns and encoding given
// or guessed; the spreadsheet reader of pasted text), then plans
// adding what it read. Never a crash nor a hang, and every name that would be
// added is one a history file can hold: not empty, trimmed, composed, within
// the length limit and storable in the code page, as the bytes planned say.
//   cmake --preset fuzz && cmake --build --preset fuzz
//   build/fuzz/roster/class_list_fuzzer -max_total_time=600 corpus/

#include "roster/core/bulk_add.h"
#include "roster/core/history_file.h"

#include <QBuffer>
#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>

namespace {

void check(bool condition, const char* what) {
    if (!condition) {
        fprintf(stderr, "broken: %s\n", what);
        abort();
    }
}

const int kCodePages[] = {874, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258};

const dexlan::ClassListSeparator kSeparators[] = {
    dexlan::ClassListSeparator::Comma, dexlan::ClassListSeparator::Semicolon,
    dexlan::ClassListSeparator::Tab, dexlan::ClassListSeparator::None};

const dexlan::ClassListEncoding kEncodings[] = {dexlan::ClassListEncoding::Guess,
                                                dexlan::ClassListEncoding::Utf8,
                                                dexlan::ClassListEncoding::CodePage};

const QStringList kColumns[] = {
    {}, {"1"}, {"2", "1"}, {"3"}, {"Name"}, {"Vorname", "Nachname"}, {"1000"}, {"x", "2"}};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace dexlan;
    if (size < 2)
        return 0;
    const uint8_t choices = data[0];
    const uint8_t how = data[1];
    const CodePage page = *CodePage::byNumber(kCodePages[(choices & 0x7f) % 10]);
    const bool spreadsheet = (choices & 0x80) != 0;
    QByteArray bytes(reinterpret_cast<const char*>(data + 2), qsizetype(size - 2));

    // How the list is read, each choice given or left to the guess.
    ImportChoices import;
    if (how % 5 < 4)
        import.separator = kSeparators[how % 5];
    if ((how / 5) % 3 < 2)
        import.header = (how / 5) % 3 == 1;
    import.nameColumns = kColumns[(how / 15) % std::size(kColumns)];
    import.encoding = kEncodings[(how / 120) % 3];
    const ClassListSource source = (how & 0x80) ? ClassListSource::Csv : ClassListSource::Text;

    QStringList names;
    if (spreadsheet && (how & 1)) {
        names = namesFromClassList(decodeClassList(bytes, page), true);
    } else if (spreadsheet) {
        const ClassList list =
            classListFromBytes(bytes, QStringLiteral("fuzz"), import, source, page);
        check(!list.refusal || list.names.isEmpty(), "a refused list gives no names");
        check(list.linesInDoubt.empty() || import.encoding == ClassListEncoding::Guess,
              "a chosen encoding is never in doubt");
        names = list.names;
    } else {
        QBuffer input(&bytes);
        input.open(QIODevice::ReadOnly);
        const ClassList list = readClassList(input, QStringLiteral("fuzz"), page, import);
        check(!list.refusal || list.names.isEmpty(), "a refused list gives no names");
        names = list.names;
    }
    const BulkAddPlan plan = planBulkAdd(names, {}, page);
    check(plan.toAdd.size() + plan.refused.size() == size_t(names.size()),
          "every name is planned or refused");
    for (const PlannedName& planned : plan.toAdd) {
        const QString& name = planned.name;
        check(!name.isEmpty(), "an added name is not empty");
        check(name == name.trimmed(), "an added name has no blanks round it");
        check(name == name.normalized(QString::NormalizationForm_C), "an added name is composed");
        check(name.size() <= kMaxNameLength, "an added name is within the limit");
        check(!holdsControlCharacter(name), "an added name holds no control character");
        const std::optional<QByteArray> stored = page.encode(name);
        check(stored.has_value() && *stored == planned.bytes,
              "an added name is stored in the code page as planned");
    }
    return 0;
}

// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the class-list reader with arbitrary choices (the
// trainer's code page, a spreadsheet's columns or one name a line), then plans
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

namespace {

void check(bool condition, const char* what) {
    if (!condition) {
        fprintf(stderr, "broken: %s\n", what);
        abort();
    }
}

const int kCodePages[] = {874, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace dexlan;
    if (size < 1)
        return 0;
    const uint8_t choices = data[0];
    const CodePage page = *CodePage::byNumber(kCodePages[(choices & 0x7f) % 10]);
    const bool spreadsheet = (choices & 0x80) != 0;
    QByteArray bytes(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));

    QStringList names;
    if (spreadsheet) {
        names = namesFromClassList(decodeClassList(bytes, page), true);
    } else {
        QBuffer input(&bytes);
        input.open(QIODevice::ReadOnly);
        const ClassList list = readClassList(input, QStringLiteral("fuzz"), page);
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

// SPDX-License-Identifier: GPL-3.0-or-later
// Loads arbitrary bytes as an options file. Whatever the input, loading ends
// with one of its three outcomes, and a loaded file saved and loaded again
// gives the same entries.
#include "options_file/options_file.h"

#include <QBuffer>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QBuffer input;
    input.setData(reinterpret_cast<const char*>(data), qsizetype(size));
    input.open(QIODevice::ReadOnly);
    const dexlan::LoadResult first = dexlan::parseOptionsFile(input);
    if (first.outcome != dexlan::LoadOutcome::Loaded)
        return 0;
    QBuffer saved;
    saved.setData(dexlan::optionsFileBytes(first.lines));
    saved.open(QIODevice::ReadOnly);
    const dexlan::LoadResult second = dexlan::parseOptionsFile(saved);
    if (second.outcome != dexlan::LoadOutcome::Loaded || second.lines != first.lines)
        std::abort();
    return 0;
}

// SPDX-License-Identifier: GPL-3.0-or-later
// The wave reader on any bytes: a refusal always says why, and every wave it takes
// converts to the working format within the size cap, or is refused with a reason,
// and is written out and read back with the same samples.
#include "media/Wave.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TWave wave;
    QString why;
    if (!wave.LoadFromData(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)), &why)) {
        if (why.isEmpty())
            std::abort();
        return 0;
    }
    if (wave.Format().samplesPerSec < MinWaveRate || wave.Format().samplesPerSec > MaxWaveRate)
        std::abort();

    TWave again;
    if (!again.LoadFromData(wave.toRiff()) || again.Data() != wave.Data())
        std::abort();
    (void)wave.Length();

    TWave working = wave;
    why.clear();
    if (working.ConvertToPCM(Mono16bit22050Hz(), &why)) {
        if (!working.Format().sameLayout(Mono16bit22050Hz()) || working.DataSize() > MaxConvertedBytes
            || working.DataSize() % 2 != 0)
            std::abort();
        (void)working.PeakLevel();
    } else if (why.isEmpty() || working.Data() != wave.Data()) {
        std::abort();   // a refused conversion leaves the document alone
    }
    return 0;
}

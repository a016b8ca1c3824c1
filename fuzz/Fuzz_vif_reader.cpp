// SPDX-License-Identifier: GPL-3.0-or-later
// The voice information reader on any bytes, in each code page: every index it gives
// lies in its list or is -1, and what it read, written again, reads back the same.
#include "media/VoiceFile.h"
#include "media/VoiceTables.h"
#include "platform/DeviceCodec.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    for (DeviceCodec::Kind kind : {DeviceCodec::Kind::Cp1250, DeviceCodec::Kind::Cp1252, DeviceCodec::Kind::Utf8}) {
        const DeviceCodec codec(kind);
        const VoiceFile::VifData vif = VoiceFile::ParseVIF(bytes, codec);
        if (vif.gender < -1 || vif.gender >= 3 || vif.language < -1 || vif.language >= VoiceTables::LanguageCount
            || vif.flag < -1 || vif.flag >= VoiceTables::FlagCount)
            std::abort();
        const VoiceFile::VifData back = VoiceFile::ParseVIF(VoiceFile::VifBytes(vif, "v.vif", codec), codec);
        if (back.gender != vif.gender || back.language != vif.language || back.flag != vif.flag
            || back.container != "v.chk")
            std::abort();
        if (back.name != vif.name)
            std::abort();
    }
    return 0;
}

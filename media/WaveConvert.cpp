// SPDX-License-Identifier: GPL-3.0-or-later
// Format conversion of a wave document: libsndfile decodes whatever the RIFF file
// holds (integer PCM of any width, float, A-law, mu-law, ADPCM), we mix the channels,
// libsamplerate changes the rate, and the result is quantised to the target PCM.
#include "media/Wave.h"

#include <samplerate.h>
#include <sndfile.h>

#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {
// The RIFF image libsndfile reads: our own header followed by the document's data,
// read in place so a large sound is not copied first.
struct MemoryFile {
    QByteArray head;
    const QByteArray &data;
    sf_count_t pos = 0;
    sf_count_t size() const { return head.size() + data.size(); }
};

sf_count_t vioLength(void *user) { return static_cast<MemoryFile *>(user)->size(); }

sf_count_t vioSeek(sf_count_t offset, int whence, void *user)
{
    auto *m = static_cast<MemoryFile *>(user);
    sf_count_t base = whence == SEEK_CUR ? m->pos : whence == SEEK_END ? m->size() : 0;
    const sf_count_t to = base + offset;
    if (to < 0 || to > m->size())
        return -1;
    m->pos = to;
    return m->pos;
}

sf_count_t vioRead(void *ptr, sf_count_t count, void *user)
{
    auto *m = static_cast<MemoryFile *>(user);
    char *out = static_cast<char *>(ptr);
    sf_count_t done = 0;
    while (done < count && m->pos < m->size()) {
        const bool inHead = m->pos < m->head.size();
        const char *from = inHead ? m->head.constData() + m->pos : m->data.constData() + (m->pos - m->head.size());
        const sf_count_t left = inHead ? m->head.size() - m->pos : m->size() - m->pos;
        const sf_count_t n = std::min(left, count - done);
        memcpy(out + done, from, size_t(n));
        done += n;
        m->pos += n;
    }
    return done;
}

sf_count_t vioWrite(const void *, sf_count_t, void *) { return 0; }
sf_count_t vioTell(void *user) { return static_cast<MemoryFile *>(user)->pos; }

// More float samples than this (1 GB) are not decoded: no sound an editor holds
// comes near it, and a hostile header must not make us try.
constexpr qint64 MaxWorkSamples = qint64(1) << 28;

class Decoder {
public:
    Decoder(const QByteArray &head, const QByteArray &data) : m_file{head, data}
    {
        m_sf = sf_open_virtual(&m_vio, SFM_READ, &m_info, &m_file);
    }
    ~Decoder()
    {
        if (m_sf)
            sf_close(m_sf);
    }
    Decoder(const Decoder &) = delete;
    Decoder &operator=(const Decoder &) = delete;

    bool open() const { return m_sf && m_info.channels > 0 && m_info.samplerate > 0; }
    int channels() const { return m_info.channels; }
    int rate() const { return m_info.samplerate; }
    sf_count_t frames() const { return std::max<sf_count_t>(m_info.frames, 0); }

    // Decodes into interleaved float frames of `outChannels` channels, mixing the
    // source down by averaging or copying it up; stops past `maxFrames`.
    bool read(std::vector<float> &out, int outChannels, qint64 maxFrames)
    {
        const int from = m_info.channels;
        out.clear();
        out.reserve(size_t(std::min<qint64>(frames(), maxFrames)) * size_t(outChannels));
        std::vector<float> chunk(size_t(4096) * size_t(from));
        qint64 total = 0;
        for (;;) {
            const sf_count_t got = sf_readf_float(m_sf, chunk.data(), 4096);
            if (got <= 0)
                break;
            total += got;
            if (total > maxFrames)
                return false;
            for (sf_count_t f = 0; f < got; ++f) {
                const float *src = &chunk[size_t(f) * size_t(from)];
                if (outChannels == 1 && from > 1) {
                    float sum = 0;
                    for (int c = 0; c < from; ++c)
                        sum += src[c];
                    out.push_back(sum / float(from));
                } else {
                    for (int c = 0; c < outChannels; ++c)
                        out.push_back(src[c % from]);
                }
            }
        }
        return sf_error(m_sf) == SF_ERR_NO_ERROR;
    }

private:
    MemoryFile m_file;
    SF_VIRTUAL_IO m_vio{vioLength, vioSeek, vioRead, vioWrite, vioTell};
    SF_INFO m_info{};
    SNDFILE *m_sf = nullptr;
};

bool resample(std::vector<float> &frames, int channels, int from, int to)
{
    if (from == to || frames.empty())
        return true;
    const double ratio = double(to) / double(from);
    const long inFrames = long(frames.size() / size_t(channels));
    const long outFrames = long(std::ceil(double(inFrames) * ratio)) + 16;
    std::vector<float> out(size_t(outFrames) * size_t(channels));
    SRC_DATA d{};
    d.data_in = frames.data();
    d.input_frames = inFrames;
    d.data_out = out.data();
    d.output_frames = outFrames;
    d.src_ratio = ratio;
    if (src_simple(&d, SRC_SINC_FASTEST, channels) != 0)
        return false;
    out.resize(size_t(d.output_frames_gen) * size_t(channels));
    frames.swap(out);
    return true;
}

QByteArray quantise(const std::vector<float> &samples, int bits)
{
    const int bytes = bits / 8;
    QByteArray out(qsizetype(samples.size()) * bytes, Qt::Uninitialized);
    char *p = out.data();
    const double full = std::ldexp(1.0, bits - 1);
    for (float s : samples) {
        // A float file may hold NaN, which no integer can take.
        const double v = std::isnan(s) ? 0.0 : std::clamp(std::nearbyint(double(s) * full), -full, full - 1);
        const qint64 i = qint64(v);
        switch (bytes) {
        case 1: *p = char(quint8(i + 128)); break;
        case 2: qToLittleEndian(quint16(qint16(i)), p); break;
        case 3: p[0] = char(i & 0xFF); p[1] = char((i >> 8) & 0xFF); p[2] = char((i >> 16) & 0xFF); break;
        default: qToLittleEndian(quint32(qint32(i)), p); break;
        }
        p += bytes;
    }
    return out;
}
} // namespace

bool TWave::ConvertToPCM(const TWaveFormat &target, QString *error)
{
    const auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    if (!Valid())
        return fail(tr("There is no sound to convert"));
    if (target.formatTag != WaveFormatPCM || target.channels < 1 || target.channels > 8
        || target.samplesPerSec < MinWaveRate || target.samplesPerSec > MaxWaveRate
        || !(target.bitsPerSample == 8 || target.bitsPerSample == 16 || target.bitsPerSample == 24
             || target.bitsPerSample == 32))
        return fail(tr("Can't convert a sound to %1").arg(target.describe()));
    const TWaveFormat out = TWaveFormat::pcm(target.channels, int(target.samplesPerSec), target.bitsPerSample);
    if (m_format.sameLayout(out)) {
        m_format = out;   // an extensible record of the same layout becomes plain PCM
        // A cut file may end inside a sample; the working document holds whole ones.
        m_data.truncate(m_data.size() - m_data.size() % out.blockAlign);
        return true;
    }
    // A document can be assigned any header; the rate decides the size of the result.
    if (m_format.samplesPerSec < MinWaveRate || m_format.samplesPerSec > MaxWaveRate)
        return fail(tr("The sample rate %1 Hz is outside %2 to %3 Hz")
                        .arg(m_format.samplesPerSec).arg(MinWaveRate).arg(MaxWaveRate));

    Decoder decoder(riffHead(), m_data);
    if (!decoder.open())
        return fail(tr("Can't decode %1").arg(m_format.describe()));
    // Sizes are checked before anything is allocated for them.
    const double ratio = double(out.samplesPerSec) / double(decoder.rate());
    const double outFrames = std::ceil(double(decoder.frames()) * ratio);
    const double outBytes = outFrames * out.blockAlign;
    if (outBytes > double(MaxConvertedBytes))
        return fail(tr("Converted, the sound would take %1 MB, more than %2 MB")
                        .arg(qint64(std::ceil(outBytes / (1 << 20))))
                        .arg(MaxConvertedBytes >> 20));
    const qint64 maxFrames = MaxWorkSamples / out.channels;
    if (outFrames > double(maxFrames) || decoder.frames() > maxFrames)
        return fail(tr("The sound is too long to convert"));

    std::vector<float> frames;
    if (!decoder.read(frames, out.channels, maxFrames))
        return fail(tr("Can't decode %1").arg(m_format.describe()));
    if (!resample(frames, out.channels, decoder.rate(), int(out.samplesPerSec)))
        return fail(tr("Can't change the sample rate of %1").arg(m_format.describe()));
    Assign(out, quantise(frames, out.bitsPerSample));
    return true;
}

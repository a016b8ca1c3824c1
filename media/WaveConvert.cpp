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
struct MemoryFile {
    QByteArray bytes;
    sf_count_t pos = 0;
};

sf_count_t vioLength(void *user) { return static_cast<MemoryFile *>(user)->bytes.size(); }

sf_count_t vioSeek(sf_count_t offset, int whence, void *user)
{
    auto *m = static_cast<MemoryFile *>(user);
    sf_count_t base = whence == SEEK_CUR ? m->pos : whence == SEEK_END ? m->bytes.size() : 0;
    const sf_count_t to = base + offset;
    if (to < 0 || to > m->bytes.size())
        return -1;
    m->pos = to;
    return m->pos;
}

sf_count_t vioRead(void *ptr, sf_count_t count, void *user)
{
    auto *m = static_cast<MemoryFile *>(user);
    const sf_count_t n = std::clamp<sf_count_t>(m->bytes.size() - m->pos, 0, count);
    memcpy(ptr, m->bytes.constData() + m->pos, size_t(n));
    m->pos += n;
    return n;
}

sf_count_t vioWrite(const void *, sf_count_t, void *) { return 0; }
sf_count_t vioTell(void *user) { return static_cast<MemoryFile *>(user)->pos; }

// Decodes a RIFF image into interleaved float frames.
bool decode(const QByteArray &riff, std::vector<float> &frames, int &channels, int &rate)
{
    MemoryFile file{riff, 0};
    SF_VIRTUAL_IO vio{vioLength, vioSeek, vioRead, vioWrite, vioTell};
    SF_INFO info{};
    SNDFILE *sf = sf_open_virtual(&vio, SFM_READ, &info, &file);
    if (!sf)
        return false;
    channels = info.channels;
    rate = info.samplerate;
    if (channels <= 0 || rate <= 0) {
        sf_close(sf);
        return false;
    }
    frames.clear();
    if (info.frames > 0 && info.frames < (sf_count_t(1) << 31) / channels)
        frames.reserve(size_t(info.frames) * size_t(channels));
    std::vector<float> chunk(size_t(4096) * size_t(channels));
    for (;;) {
        const sf_count_t got = sf_readf_float(sf, chunk.data(), 4096);
        if (got <= 0)
            break;
        frames.insert(frames.end(), chunk.begin(), chunk.begin() + got * channels);
    }
    const bool ok = sf_error(sf) == SF_ERR_NO_ERROR;
    sf_close(sf);
    return ok;
}

std::vector<float> remix(const std::vector<float> &in, int from, int to)
{
    if (from == to)
        return in;
    const size_t n = in.size() / size_t(from);
    std::vector<float> out(n * size_t(to));
    for (size_t f = 0; f < n; ++f) {
        const float *src = &in[f * size_t(from)];
        float *dst = &out[f * size_t(to)];
        if (to == 1) {
            float sum = 0;
            for (int c = 0; c < from; ++c)
                sum += src[c];
            dst[0] = sum / float(from);
        } else {
            for (int c = 0; c < to; ++c)
                dst[c] = src[c % from];
        }
    }
    return out;
}

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
        const double v = std::clamp(std::nearbyint(double(s) * full), -full, full - 1);
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

bool TWave::ConvertToPCM(const TWaveFormat &target)
{
    if (!Valid() || target.formatTag != WaveFormatPCM || target.channels < 1 || target.channels > 8
        || target.samplesPerSec < 1 || target.samplesPerSec > 768000
        || !(target.bitsPerSample == 8 || target.bitsPerSample == 16 || target.bitsPerSample == 24
             || target.bitsPerSample == 32))
        return false;
    const TWaveFormat out = TWaveFormat::pcm(target.channels, int(target.samplesPerSec), target.bitsPerSample);
    if (m_format.sameLayout(out)) {
        m_format = out;   // an extensible record of the same layout becomes plain PCM
        return true;
    }
    std::vector<float> frames;
    int channels = 0, rate = 0;
    if (!decode(toRiff(), frames, channels, rate))
        return false;
    frames = remix(frames, channels, out.channels);
    if (!resample(frames, out.channels, rate, int(out.samplesPerSec)))
        return false;
    Assign(out, quantise(frames, out.bitsPerSample));
    return true;
}

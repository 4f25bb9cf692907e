// Levels of 16-bit stereo sound as the game's mixer makes it (44,100 Hz, two signed 16-bit
// channels): full-scale samples and their runs, peak, RMS and the RMS of the loudest stretch; and
// sound files decoded the way the mixer decodes them. Shared by the asset tests and the sound-level
// tool (tools/sound).
#pragma once

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace OrvTest {

constexpr int kMixRate = 44100;

struct SampleFigures {
    size_t samples = 0, full_scale = 0, longest_run = 0;
    // Relative to full scale.
    double peak = 0.0, rms = 0.0, loudest_rms = 0.0;
    double FullScalePercent() const { return samples ? 100.0 * static_cast<double>(full_scale) / samples : 0.0; }
};

inline double Decibels(double amplitude) { return amplitude > 0.0 ? 20.0 * std::log10(amplitude) : -999.0; }

// Interleaved stereo samples: the samples at either end of the 16-bit range, the longest run of them
// on one channel, the peak, the RMS, and the RMS of the loudest `window` frames (of the whole sound
// when it is shorter).
inline SampleFigures MeasureSamples(const int16_t* data, size_t count, size_t window)
{
    SampleFigures f;
    const size_t frames = count / 2;
    f.samples = frames * 2;
    size_t run[2] = {0, 0};
    double sum = 0.0;
    std::vector<double> frame_power(frames);
    for (size_t i = 0; i < frames * 2; ++i) {
        const int s = data[i];
        const bool full = s >= 32767 || s <= -32768;
        size_t& r = run[i % 2];
        r = full ? r + 1 : 0;
        f.full_scale += full;
        f.longest_run = std::max(f.longest_run, r);
        const double x = s / 32768.0;
        f.peak = std::max(f.peak, std::fabs(x));
        sum += x * x;
        frame_power[i / 2] += x * x;
    }
    if (frames == 0) return f;
    f.rms = std::sqrt(sum / static_cast<double>(f.samples));
    window = std::max<size_t>(1, std::min(window, frames));
    double in_window = 0.0, loudest = 0.0;
    for (size_t i = 0; i < frames; ++i) {
        in_window += frame_power[i];
        if (i >= window) in_window -= frame_power[i - window];
        if (i + 1 >= window) loudest = std::max(loudest, in_window);
    }
    f.loudest_rms = std::sqrt(std::max(0.0, loudest) / static_cast<double>(window * 2));
    return f;
}

// SDL_mixer opened on the dummy driver in the game's output format, for decoding files as the game
// does; closed again when it goes.
class MixerDecoder {
public:
    MixerDecoder()
    {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return;
        sdl_ = true;
        open_ = Mix_OpenAudio(kMixRate, AUDIO_S16SYS, 2, 1024) == 0;
        if (open_) Mix_Init(MIX_INIT_OGG);
    }
    ~MixerDecoder()
    {
        if (open_) {
            Mix_CloseAudio();
            Mix_Quit();
        }
        if (sdl_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    MixerDecoder(const MixerDecoder&) = delete;
    MixerDecoder& operator=(const MixerDecoder&) = delete;

    bool IsOpen() const { return open_; }

    // The figures of the file as decoded for playing, the loudest stretch over `window` frames;
    // false when it does not decode.
    bool Measure(const std::string& path, size_t window, SampleFigures& figures) const
    {
        Mix_Chunk* chunk = open_ ? Mix_LoadWAV(path.c_str()) : nullptr;
        if (!chunk) return false;
        figures = MeasureSamples(reinterpret_cast<const int16_t*>(chunk->abuf), chunk->alen / 2, window);
        Mix_FreeChunk(chunk);
        return true;
    }

private:
    bool sdl_ = false, open_ = false;
};

} // namespace OrvTest

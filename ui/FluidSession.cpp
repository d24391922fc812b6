#include "ui/FluidSession.h"

#include <alsa/asoundlib.h>

#include <algorithm>
#include <cstdarg>
#include <filesystem>
#include <new>

namespace korvane {
namespace {
void IgnoreFluidLog(int, const char*, void*) {}

void IgnoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

// FluidSynth and ALSA report to the terminal by default; the strip reports instead.
void SilenceLibraries() {
    static std::once_flag once;
    std::call_once(once, [] {
        for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level) {
            fluid_set_log_function(level, IgnoreFluidLog, nullptr);
        }
        snd_lib_error_set_handler(IgnoreAlsaError);
    });
}

void CollectOption(void* data, const char*, const char* option) {
    static_cast<std::vector<std::string>*>(data)->emplace_back(option);
}
} // namespace

FluidSession::FluidSession() {
    SilenceLibraries();
    m_settings = new_fluid_settings();
    if (m_settings == nullptr) {
        throw std::bad_alloc();
    }
    // The players advance with the samples rendered, live or offline alike.
    fluid_settings_setstr(m_settings, "player.timing-source", "sample");
    m_synth = new_fluid_synth(m_settings);
    if (m_synth == nullptr) {
        delete_fluid_settings(m_settings);
        throw std::bad_alloc();
    }
}

FluidSession::~FluidSession() {
    // Not under the lock: the audio thread may be waiting for it while the driver joins it.
    if (m_driver != nullptr) {
        delete_fluid_audio_driver(m_driver);
    }
    delete_fluid_synth(m_synth);
    delete_fluid_settings(m_settings);
}

std::vector<std::string> FluidSession::DefaultSoundFonts() {
    const std::string folder = "/usr/share/sounds/sf2/";
    return {folder + "default-GM.sf2", folder + "TimGM6mb.sf2", folder + "FluidR3_GM.sf2"};
}

std::vector<std::string> FluidSession::DefaultDrivers() {
    return {"pulseaudio", "pipewire", "alsa"};
}

bool FluidSession::LoadSoundFont(const std::vector<std::string>& paths) {
    if (HasSoundFont()) {
        return true;
    }
    for (const std::string& path : paths) {
        std::error_code error;
        // The header check keeps other files away from loaders that complain on the terminal.
        if (!std::filesystem::is_regular_file(path, error) || !fluid_is_soundfont(path.c_str())) {
            continue;
        }
        const std::lock_guard guard(m_lock);
        m_soundFontId = fluid_synth_sfload(m_synth, path.c_str(), 1);
        if (HasSoundFont()) {
            return true;
        }
    }
    return false;
}

bool FluidSession::StartAudio(const std::vector<std::string>& drivers) {
    for (const std::string& name : drivers) {
        if (HasAudio()) {
            break;
        }
        if (DriverBuiltIn(name) &&
            fluid_settings_setstr(m_settings, "audio.driver", name.c_str()) == FLUID_OK) {
            m_driver = new_fluid_audio_driver2(m_settings, AudioCallback, this);
        }
    }
    return HasAudio();
}

bool FluidSession::DriverBuiltIn(const std::string& name) const {
    std::vector<std::string> names;
    fluid_settings_foreach_option(m_settings, "audio.driver", &names, CollectOption);
    return std::find(names.begin(), names.end(), name) != names.end();
}

void FluidSession::Render(int frames, float* left, float* right) {
    float* out[] = {left, right};
    const std::lock_guard guard(m_lock);
    RenderLocked(frames, 0, nullptr, 2, out);
}

double FluidSession::SampleRate() const {
    double rate = 0;
    fluid_settings_getnum(m_settings, "synth.sample-rate", &rate);
    return rate;
}

int FluidSession::AudioCallback(void* data, int frames, int nfx, float* fx[], int nout,
                                float* out[]) {
    auto* session = static_cast<FluidSession*>(data);
    const std::lock_guard guard(session->m_lock);
    return session->RenderLocked(frames, nfx, fx, nout, out);
}

int FluidSession::RenderLocked(int frames, int nfx, float* fx[], int nout, float* out[]) {
    if (nfx > 0) {
        return fluid_synth_process(m_synth, frames, nfx, fx, nout, out);
    }
    // Without effect buffers of its own the reverb and chorus are mixed into the dry pair.
    float* right = nout > 1 ? out[1] : out[0];
    float* effects[] = {out[0], right, out[0], right};
    return fluid_synth_process(m_synth, frames, 4, effects, nout, out);
}

} // namespace korvane

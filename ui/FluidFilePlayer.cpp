#include "ui/FluidFilePlayer.h"

#include <new>

namespace korvane {
namespace {
// Loop count of FluidSynth's player: -1 repeats for ever, 0 ends after the file in progress.
constexpr int kLoopForever = -1;
constexpr int kLoopOff = 0;
} // namespace

FluidFilePlayer::FluidFilePlayer(FluidSession& session, const std::string& path)
    : m_session(session) {
    const std::lock_guard guard(m_session.Lock());
    m_player = new_fluid_player(m_session.Synth());
    if (m_player == nullptr) {
        throw std::bad_alloc();
    }
    if (fluid_player_add(m_player, path.c_str()) != FLUID_OK) {
        delete_fluid_player(m_player);
        throw std::bad_alloc();
    }
    fluid_player_set_loop(m_player, kLoopOff);
}

FluidFilePlayer::~FluidFilePlayer() {
    const std::lock_guard guard(m_session.Lock());
    fluid_player_stop(m_player);
    fluid_synth_all_notes_off(m_session.Synth(), -1);
    delete_fluid_player(m_player);
}

void FluidFilePlayer::Play() {
    const std::lock_guard guard(m_session.Lock());
    fluid_player_play(m_player);
}

void FluidFilePlayer::Pause() {
    const std::lock_guard guard(m_session.Lock());
    fluid_player_stop(m_player);
    // The player itself leaves sounding notes hanging when it stops.
    fluid_synth_all_notes_off(m_session.Synth(), -1);
}

void FluidFilePlayer::Stop() {
    const std::lock_guard guard(m_session.Lock());
    fluid_player_stop(m_player);
    fluid_synth_all_notes_off(m_session.Synth(), -1);
    fluid_player_seek(m_player, 0);
}

bool FluidFilePlayer::Seek(int tick) {
    const std::lock_guard guard(m_session.Lock());
    return fluid_player_seek(m_player, tick) == FLUID_OK;
}

void FluidFilePlayer::SetLoop(bool loop) {
    const std::lock_guard guard(m_session.Lock());
    fluid_player_set_loop(m_player, loop ? kLoopForever : kLoopOff);
}

bool FluidFilePlayer::IsPlaying() const {
    const std::lock_guard guard(m_session.Lock());
    return fluid_player_get_status(m_player) == FLUID_PLAYER_PLAYING;
}

int FluidFilePlayer::CurrentTick() const {
    const std::lock_guard guard(m_session.Lock());
    return fluid_player_get_current_tick(m_player);
}

int FluidFilePlayer::TotalTicks() const {
    const std::lock_guard guard(m_session.Lock());
    return fluid_player_get_total_ticks(m_player);
}

} // namespace korvane

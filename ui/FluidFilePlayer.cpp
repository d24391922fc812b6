#include "ui/FluidFilePlayer.h"

#include <new>

namespace korvane {
namespace {
// Loop count of FluidSynth's player: -1 repeats for ever, 0 ends after the file in progress.
constexpr int kLoopForever = -1;
constexpr int kLoopOff = 0;
} // namespace

FluidFilePlayer::FluidFilePlayer(FluidSession& session) : m_session(session) {
    const std::lock_guard guard(m_session.Lock());
    m_player = new_fluid_player(m_session.Synth());
    if (m_player == nullptr) {
        throw std::bad_alloc();
    }
}

// The file is added outside the lock: a player that has not played is never read by the synth,
// and a copy of a large file should not hold up the sound.
FluidFilePlayer::FluidFilePlayer(FluidSession& session, const std::string& path)
    : FluidFilePlayer(session) {
    Added(fluid_player_add(m_player, path.c_str()));
}

FluidFilePlayer::FluidFilePlayer(FluidSession& session, const std::vector<uint8_t>& bytes)
    : FluidFilePlayer(session) {
    Added(fluid_player_add_mem(m_player, bytes.data(), bytes.size()));
}

void FluidFilePlayer::Added(int status) {
    if (status != FLUID_OK) {
        throw std::bad_alloc(); // the destructor lets the player go
    }
    fluid_player_set_loop(m_player, kLoopOff);
}

FluidFilePlayer::~FluidFilePlayer() {
    const std::lock_guard guard(m_session.Lock());
    fluid_synth_all_notes_off(m_session.Synth(), -1);
    delete_fluid_player(m_player); // stops it first
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
    m_pendingTick = 0;
}

bool FluidFilePlayer::Seek(int tick) {
    const std::lock_guard guard(m_session.Lock());
    if (fluid_player_seek(m_player, tick) != FLUID_OK) {
        return false;
    }
    m_pendingTick = tick;
    return true;
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
    return CurrentTickLocked();
}

int FluidFilePlayer::TotalTicks() const {
    const std::lock_guard guard(m_session.Lock());
    return TotalTicksLocked();
}

std::optional<FluidFilePlayer::Progress> FluidFilePlayer::TryProgress() const {
    const std::unique_lock guard(m_session.Lock(), std::try_to_lock);
    if (!guard.owns_lock()) {
        return std::nullopt;
    }
    return Progress{fluid_player_get_status(m_player) == FLUID_PLAYER_PLAYING, CurrentTickLocked(),
                    TotalTicksLocked()};
}

int FluidFilePlayer::CurrentTickLocked() const {
    return TotalTicksLocked() > 0 ? fluid_player_get_current_tick(m_player) : m_pendingTick;
}

int FluidFilePlayer::TotalTicksLocked() const {
    // FluidSynth counts the total by walking every event of the file, a long walk for a large
    // one; once the file has been read it never changes.
    if (m_totalTicks == 0) {
        m_totalTicks = fluid_player_get_total_ticks(m_player);
    }
    return m_totalTicks;
}

} // namespace korvane

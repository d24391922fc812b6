#include "app/ProgressLine.h"

#include "app/RunSummary.h"

#include <cstdio>

namespace korvane {

namespace {
constexpr auto kRedrawEvery = std::chrono::milliseconds(100);

std::string TimeLeft(uint64_t done, uint64_t total, double seconds) {
    if (done == 0) {
        return "";
    }
    const auto left = static_cast<uint64_t>(seconds / static_cast<double>(done) *
                                            static_cast<double>(total - done));
    char text[48];
    std::snprintf(text, sizeof text, ", %llu:%02llu left",
                  static_cast<unsigned long long>(left / 60),
                  static_cast<unsigned long long>(left % 60));
    return text;
}
} // namespace

void ProgressLine::Update(uint64_t done, uint64_t total, uint64_t bytes, double seconds) {
    const auto now = std::chrono::steady_clock::now();
    if (!m_shown || now - m_lastDrawn < kRedrawEvery) {
        return;
    }
    char rate[32];
    std::snprintf(rate, sizeof rate, ", %.1f MB/s",
                  seconds > 0 ? static_cast<double>(bytes) / 1e6 / seconds : 0.0);
    m_out << "\r\033[Kkorvane: " << WithThousands(done) << " of " << WithThousands(total)
          << " files" << rate << TimeLeft(done, total, seconds) << std::flush;
    m_drawn = true;
    m_lastDrawn = now;
}

void ProgressLine::Erase() {
    if (m_drawn) {
        m_out << "\r\033[K" << std::flush;
        m_drawn = false;
    }
}

} // namespace korvane

// The preview's re-render gap: from letting go of the speed slider while the preview plays to the
// first sound of the new preview at the carried-over position, through the real window, job and
// strip, with the synth rendered here instead of by an audio device. Prints the phases for a
// 1 MB and a 32 MB generated file. Usage: preview_gap_benchmark [RUNS]
#include "platform/Profile.h"
#include "platform/gui/MessageBox.h"
#include "testing/BenchmarkSong.h"
#include "ui/FluidSession.h"
#include "ui/MainDialog.h"
#include "ui/PlayerStrip.h"
#include "ui/ProgramFolderGlobal.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <vector>

namespace korvane {
namespace {
using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// CPU time of every thread of the process: on a busy shared machine the wall time also counts
// the waits for a core, this counts the work alone.
double ProcessCpuMilliseconds() {
    timespec now{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

void WriteSong(const std::string& path, size_t bytes) {
    const std::vector<uint8_t> song = BenchmarkSong(bytes);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(song.data()),
               static_cast<std::streamsize>(song.size()));
}

// Renders one block of FluidSynth's size: the strip's file player reads a new file in it.
void RenderBlock(FluidSession& session) {
    constexpr int kBlock = 64;
    float left[kBlock] = {};
    float right[kBlock] = {};
    session.Render(kBlock, left, right);
}

void RenderSeconds(FluidSession& session, double seconds) {
    const auto blocks = static_cast<long>(seconds * session.SampleRate() / 64);
    for (long i = 0; i < blocks; ++i) {
        RenderBlock(session);
    }
}

// Keeps the window's events going until the strip holds other bytes than before.
void WaitForNewBytes(const PlayerStrip& strip, const MidiBytes& before) {
    while (strip.HeldBytes() == nullptr || strip.HeldBytes() == before) {
        QApplication::processEvents(QEventLoop::AllEvents, 1);
    }
}

struct Phases {
    std::vector<double> handOver;   // release until the strip holds the new bytes
    std::vector<double> firstBlock; // FluidSynth reads the file and seeks, in one block
    std::vector<double> total;
    std::vector<double> totalCpu;
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void Print(const char* what, size_t bytes, const std::vector<double>& values) {
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    std::printf("%-10zu %-46s %8.1f %8.1f %8.1f\n", bytes, what, *low, Median(values), *high);
}

void Measure(Profile& profile, const std::string& path, int runs) {
    MainDialog dialog(profile, {"korvane"});
    dialog.OnInitDialog();
    dialog.show();
    auto* strip = dialog.findChild<PlayerStrip*>("c1010");
    auto owned = std::make_unique<FluidSession>();
    FluidSession& session = *owned;
    session.LoadSoundFont(FluidSession::DefaultSoundFonts());
    strip->UseSession(std::move(owned));

    dialog.findChild<QLineEdit*>("c1001")->setText(QString::fromStdString(path));
    dialog.findChild<QPushButton*>("c1006")->click();
    WaitForNewBytes(*strip, nullptr);
    strip->findChild<QPushButton*>("playButton")->click();
    RenderSeconds(session, 0.5);

    auto* speed = dialog.findChild<QSlider*>("c1017");
    Phases phases;
    for (int run = 0; run < runs; ++run) {
        const MidiBytes before = strip->HeldBytes();
        const double cpuAtRelease = ProcessCpuMilliseconds();
        const Clock::time_point released = Clock::now();
        speed->setSliderDown(true);
        speed->setValue(run % 2 == 0 ? 500 : 250); // 200 %, then 100 % again
        speed->setSliderDown(false);
        WaitForNewBytes(*strip, before);
        const Clock::time_point held = Clock::now();
        RenderBlock(session);
        const Clock::time_point heard = Clock::now();
        phases.totalCpu.push_back(ProcessCpuMilliseconds() - cpuAtRelease);
        phases.handOver.push_back(Milliseconds(released, held));
        phases.firstBlock.push_back(Milliseconds(held, heard));
        phases.total.push_back(Milliseconds(released, heard));
        if (!strip->IsPlaying()) {
            std::fprintf(stderr, "preview_gap_benchmark: the preview stopped playing\n");
            std::exit(1);
        }
        RenderSeconds(session, 0.2);
    }
    const auto bytes = static_cast<size_t>(std::filesystem::file_size(path));
    Print("release -> strip holds the new preview", bytes, phases.handOver);
    Print("first block: the file read and sought", bytes, phases.firstBlock);
    Print("gap: release -> first sound of the new one", bytes, phases.total);
    Print("the gap's work, CPU time of all threads", bytes, phases.totalCpu);
}
} // namespace

int Main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    QTemporaryDir scratch;
    qputenv("XDG_CONFIG_HOME", scratch.filePath("config").toUtf8());
    qputenv("XDG_CACHE_HOME", scratch.filePath("cache").toUtf8());
    Profile profile(scratch.filePath("Korvane.ini").toStdString());
    g_programFolder = scratch.path().toStdString();
    SetMessageBoxHook([](const std::string& text, MessageIcon, const std::string&) {
        std::fprintf(stderr, "preview_gap_benchmark: %s\n", text.c_str());
        std::exit(1);
    });
    std::printf("%-10s %-46s %8s %8s %8s   (ms, %d runs)\n", "bytes", "phase", "min", "median",
                "max", runs);
    for (const size_t megabytes : {1, 32}) {
        const std::string path =
            scratch.filePath(QString("song%1.mid").arg(megabytes)).toStdString();
        WriteSong(path, megabytes << 20);
        Measure(profile, path, runs);
    }
    return 0;
}
} // namespace korvane

int main(int argc, char** argv) {
    return korvane::Main(argc, argv);
}

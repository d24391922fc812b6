// What the page's script sees of the engine: files converted by the same passes as on disk, the
// plot drawn by the same code, the texts of the same tables, the adjustments' ranges.
#include "gfx/LevelPlot.h"
#include "job/LanguageTable.h"
#include "job/OutputPath.h"
#include "job/PartedOutput.h"
#include "job/SpeedControl.h"
#include "midi/Adjustments.h"
#include "midi/LevelMap.h"
#include "midi/RepairCounts.h"
#include "web/CanvasPicture.h"
#include "web/LoadedFile.h"
#include "web/PageLimits.h"
#include "web/PageTexts.h"
#include "web/RepairTexts.h"

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace korvane {
namespace {
using emscripten::val;

val BytesView(const std::vector<uint8_t>& bytes) {
    return val(emscripten::typed_memory_view(bytes.size(), bytes.data()));
}

// The repairs by the report's keys, vendor chunks copied whole as chunks_kept.
val RepairsObject(const RepairCounts& counts) {
    val repairs = val::object();
    for (const RepairKind& kind : kRepairKinds) {
        repairs.set(kind.reportKey, static_cast<double>(counts.*kind.count));
    }
    return repairs;
}

RepairCounts RepairCountsOf(const val& repairs) {
    RepairCounts counts;
    for (const RepairKind& kind : kRepairKinds) {
        counts.*kind.count = static_cast<uint64_t>(repairs[kind.reportKey].as<double>());
    }
    return counts;
}

val OutcomeObject(const PassOutcome& outcome) {
    val result = val::object();
    result.set("completed", outcome.completed);
    result.set("message", std::string(outcome.message));
    result.set("repairs", RepairsObject(outcome.repairs));
    result.set("tickSpeed", outcome.tickSpeed);
    return result;
}

val Loaded(const LoadedFile& file) {
    val result = OutcomeObject(file.Loaded());
    result.set("levelCount", static_cast<double>(file.Levels().size()));
    return result;
}

// The page's adjustments: dynamicRange, volume, speed, stuckNotes, keepBars, leaveDrums and
// loudestToFull, which brings the loudest Note On to full level as the window's item does.
Adjustments AdjustmentsOf(const val& page) {
    Adjustments adjustments;
    adjustments.m_dynamicRange = page["dynamicRange"].as<int>();
    adjustments.m_volume = page["volume"].as<int>();
    adjustments.m_speedPercent = page["speed"].as<int>();
    adjustments.m_eliminateStuckNotes = page["stuckNotes"].as<bool>();
    adjustments.m_keepBars = page["keepBars"].as<bool>();
    adjustments.m_levelChannels =
        page["leaveDrums"].as<bool>() ? Adjustments::kAllButDrums : Adjustments::kAllChannels;
    adjustments.m_peakLevel = page["loudestToFull"].as<bool>() ? Adjustments::kPeakHighest : 0;
    return adjustments;
}

val Convert(LoadedFile& file, const val& page) {
    return OutcomeObject(file.Convert(AdjustmentsOf(page)));
}

// A save handed to the page as it is written, in parts large enough that the browser's cost per
// part is small and small enough that the engine holds little of the output at once.
constexpr size_t kOutputPartSize = size_t{4} << 20;

// The save pass giving each part of its output to onPart, as a view of the engine's memory that
// holds only during the call; a completed one's outcome lists the bytes written back into parts
// already given (track lengths, the track count), to lay over them.
val ConvertInParts(LoadedFile& file, const val& page, const val& onPart) {
    PartedOutput output(kOutputPartSize, [&onPart](std::span<const uint8_t> part) {
        onPart(val(emscripten::typed_memory_view(part.size(), part.data())));
    });
    const PassOutcome outcome = file.ConvertInto(AdjustmentsOf(page), output);
    val patches = val::array();
    if (outcome.completed) {
        for (const PartedOutput::Patch& patch : output.Finish()) {
            val laid = val::object();
            laid.set("position", static_cast<double>(patch.position));
            laid.set("bytes", val::global("Uint8Array").new_(BytesView(patch.bytes)));
            patches.call<void>("push", laid);
        }
    }
    val result = OutcomeObject(outcome);
    result.set("patches", patches);
    return result;
}

val OriginalMidi(const LoadedFile& file) {
    const std::vector<uint8_t> bytes = file.OriginalMidi();
    return val::global("Uint8Array").new_(BytesView(bytes));
}

val RepairList(int language, const val& repairs) {
    val list = val::array();
    for (const std::string& text : RepairTexts(language, RepairCountsOf(repairs))) {
        list.call<void>("push", text);
    }
    return list;
}

bool FitsThePage(double bytes) {
    return bytes <= static_cast<double>(kPageFileLimit);
}

bool FitsThePreview(double bytes) {
    return bytes <= static_cast<double>(kPreviewLimit);
}

val Output(const LoadedFile& file) {
    return BytesView(file.Output());
}

// The canvas's pixels stay here until the next drawing.
val DrawLevels(const std::vector<uint8_t>& levels, int width, int height, int dynamicRange,
               int volume, bool unmappedMarked = false, const PlottedPeak& peak = {}) {
    static CanvasPicture s_picture;
    DrawLevelPlot(s_picture, width, height, levels, dynamicRange, volume, unmappedMarked, peak);
    return BytesView(s_picture.Rgba());
}

// The plot with the page's adjustments, as the window draws it.
val PlotFile(LoadedFile& file, int width, int height, const val& page) {
    const Adjustments adjustments = AdjustmentsOf(page);
    file.LevelsFor(adjustments);
    return DrawLevels(file.Levels(), width, height, adjustments.m_dynamicRange,
                      adjustments.m_volume, file.LevelsMarked(), file.Peak());
}

// The lowest and highest level as plotted; levels that map to 0 are not plotted.
val PlottedRange(const LoadedFile& file, int dynamicRange, int volume) {
    const LevelTable table = BuildLevelTable(dynamicRange, volume);
    int lowest = 0xFF;
    int highest = 0;
    for (size_t level = 0; level < table.size(); ++level) {
        if (file.LevelsPresent()[level] && table[level] != 0) {
            lowest = std::min<int>(lowest, table[level]);
            highest = std::max<int>(highest, table[level]);
        }
    }
    val range = val::object();
    range.set("lowest", std::min(lowest, highest));
    range.set("highest", highest);
    return range;
}

val PlotNothing(int width, int height) {
    return DrawLevels({}, width, height, Adjustments::kLevelNeutral, Adjustments::kLevelNeutral);
}

val Strings(const char* const* begin, const char* const* end) {
    val list = val::array();
    for (const char* const* text = begin; text != end; ++text) {
        list.call<void>("push", std::string(*text));
    }
    return list;
}

// Every text of one language by its name in the tables; undefined outside 0 to 3.
val Texts(int language) {
    const LanguageTexts* window = LanguageTextsFor(language);
    const ControlTexts* controls = ControlTextsFor(language);
    const PageTexts* page = PageTextsFor(language);
    if (window == nullptr || controls == nullptr || page == nullptr) {
        return val::undefined();
    }
    val texts = val::object();
    texts.set("captions",
              Strings(window->captions.data(), window->captions.data() + window->captions.size()));
    const auto set = [&texts](const char* name, const char* text) {
        texts.set(name, std::string(text));
    };
    set("textWelcome", window->textWelcome);
    set("textLoaded", window->textLoaded);
    set("textSaved", window->textSaved);
    set("msgInputNotOpened", window->msgInputNotOpened);
    set("msgOutputNotWritten", window->msgOutputNotWritten);
    set("msgNotMidi", window->msgNotMidi);
    set("msgNoTrack", window->msgNoTrack);
    set("msgInputsCollide", window->msgInputsCollide);
    set("msgPleaseLoad", window->msgPleaseLoad);
    set("msgSpeedPrompt", window->msgSpeedPrompt);
    set("noSoundFont", window->noSoundFont);
    set("noAudioDevice", window->noAudioDevice);
    set("preview", window->preview);
    set("tooLargeToPreview", window->tooLargeToPreview);
    set("hearOriginal", window->hearOriginal);
    set("dynamicRange", controls->dynamicRange);
    set("dynamicRangeDescription", controls->dynamicRangeDescription);
    set("volume", controls->volume);
    set("volumeDescription", controls->volumeDescription);
    set("speed", controls->speed);
    set("speedDescription", controls->speedDescription);
    set("speedPercent", controls->speedPercent);
    set("resetDescription", controls->resetDescription);
    set("levelPlot", controls->levelPlot);
    set("levelPlotDescription", controls->levelPlotDescription);
    set("levelPlotEmpty", controls->levelPlotEmpty);
    set("play", controls->play);
    set("pause", controls->pause);
    set("stop", controls->stop);
    set("languageName", page->languageName);
    set("language", page->language);
    set("chooseFiles", page->chooseFiles);
    set("dropFiles", page->dropFiles);
    set("files", page->files);
    set("stayLocal", page->stayLocal);
    set("keepBars", window->keepBars);
    set("leaveDrums", window->leaveDrums);
    set("loudestToFull", window->loudestToFull);
    set("nothingRepaired", page->nothingRepaired);
    set("reading", page->reading);
    set("converting", page->converting);
    set("cancel", page->cancel);
    set("cancelled", page->cancelled);
    set("msgTooLargeForPage", page->tooLargeForPage);
    set("loadingInstruments", page->loadingInstruments);
    return texts;
}

val Ranges() {
    val ranges = val::object();
    ranges.set("levelLowest", Adjustments::kLevelLowest);
    ranges.set("levelHighest", Adjustments::kLevelHighest);
    ranges.set("levelNeutral", Adjustments::kLevelNeutral);
    ranges.set("speedLowest", Adjustments::kSpeedLowest);
    ranges.set("speedHighest", Adjustments::kSpeedHighest);
    ranges.set("speedNeutral", Adjustments::kSpeedNeutral);
    ranges.set("pageFileLimitMegabytes", static_cast<double>(kPageFileLimitMegabytes));
    ranges.set("speedPositionNeutral", kSpeedPositionNeutral);
    return ranges;
}

// The speed field's percent, or null where the field holds no speed.
val ParseSpeed(const std::string& text) {
    const std::optional<int> speed = ParseSpeedText(text);
    return speed ? val(*speed) : val::null();
}

// A player's tick at speed `from`, carried over to the same moment at speed `to`.
double CarriedTick(double tick, int from, int to) {
    return std::trunc(tick * PositionScale(from, to));
}
} // namespace

EMSCRIPTEN_BINDINGS(korvane) {
    emscripten::class_<LoadedFile>("LoadedFile")
        .constructor<std::string>()
        .function("loaded", &Loaded)
        .function("convert", &Convert)
        .function("convertInParts", &ConvertInParts)
        .function("output", &Output)
        .function("originalMidi", &OriginalMidi)
        .function("plot", &PlotFile)
        .function("plottedRange", &PlottedRange);
    emscripten::function("outputName", &DeriveOutputPath);
    emscripten::function("plotNothing", &PlotNothing);
    emscripten::function("texts", &Texts);
    emscripten::function("ranges", &Ranges);
    emscripten::function("repairList", &RepairList);
    emscripten::function("fitsThePage", &FitsThePage);
    emscripten::function("fitsThePreview", &FitsThePreview);
    emscripten::function("sliderPositionOfSpeed", &SliderPositionOfSpeed);
    emscripten::function("parseSpeed", &ParseSpeed);
    emscripten::function("speedOfSliderPosition", &SpeedOfSliderPosition);
    emscripten::function("carriedTick", &CarriedTick);
}

} // namespace korvane

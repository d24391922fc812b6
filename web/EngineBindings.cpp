// What the page's script sees of the engine: files converted by the same passes as on disk, the
// plot drawn by the same code, the texts of the same tables, the adjustments' ranges.
#include "gfx/LevelPlot.h"
#include "job/LanguageTable.h"
#include "job/OutputPath.h"
#include "job/SpeedControl.h"
#include "midi/Adjustments.h"
#include "midi/LevelMap.h"
#include "midi/RepairCounts.h"
#include "web/CanvasPicture.h"
#include "web/LoadedFile.h"
#include "web/PageTexts.h"

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

namespace korvane {
namespace {
using emscripten::val;

val BytesView(const std::vector<uint8_t>& bytes) {
    return val(emscripten::typed_memory_view(bytes.size(), bytes.data()));
}

val OutcomeObject(const PassOutcome& outcome) {
    // The kinds the page names on their own, and the sum of the other repairs (RepairCounts.h).
    val repairs = val::object();
    uint64_t others = 0;
    for (const RepairKind& kind : kRepairKinds) {
        const uint64_t count = outcome.repairs.*kind.count;
        if (kind.pageKey != nullptr) {
            repairs.set(kind.pageKey, static_cast<double>(count));
        } else if (kind.role == RepairRole::Repair) {
            others += count;
        }
    }
    repairs.set("otherRepairs", static_cast<double>(others));
    val result = val::object();
    result.set("completed", outcome.completed);
    result.set("message", std::string(outcome.message));
    result.set("repairs", repairs);
    return result;
}

val Loaded(const LoadedFile& file) {
    val result = OutcomeObject(file.Loaded());
    result.set("levelCount", static_cast<double>(file.Levels().size()));
    return result;
}

val Convert(LoadedFile& file, int dynamicRange, int volume, int speedPercent, bool stuckNotes) {
    Adjustments adjustments;
    adjustments.m_dynamicRange = dynamicRange;
    adjustments.m_volume = volume;
    adjustments.m_speedPercent = speedPercent;
    adjustments.m_eliminateStuckNotes = stuckNotes;
    return OutcomeObject(file.Convert(adjustments));
}

val Output(const LoadedFile& file) {
    return BytesView(file.Output());
}

// The canvas's pixels stay here until the next drawing.
val DrawLevels(const std::vector<uint8_t>& levels, int width, int height, int dynamicRange,
               int volume) {
    static CanvasPicture s_picture;
    DrawLevelPlot(s_picture, width, height, levels, dynamicRange, volume);
    return BytesView(s_picture.Rgba());
}

val PlotFile(const LoadedFile& file, int width, int height, int dynamicRange, int volume) {
    return DrawLevels(file.Levels(), width, height, dynamicRange, volume);
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
    set("nothingRepaired", page->nothingRepaired);
    for (const RepairKind& kind : kRepairKinds) {
        if (kind.pageKey != nullptr) {
            set(kind.pageKey, kind.pageWording[language]);
        }
    }
    set("otherRepairs", page->otherRepairs);
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
    ranges.set("speedPositionNeutral", kSpeedPositionNeutral);
    return ranges;
}

// The page's repair lines in order: the kinds it names on their own, then the other repairs.
val RepairLines() {
    val lines = val::array();
    for (const RepairKind& kind : kRepairKinds) {
        if (kind.pageKey != nullptr) {
            lines.call<void>("push", std::string(kind.pageKey));
        }
    }
    lines.call<void>("push", std::string("otherRepairs"));
    return lines;
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
        .constructor<const std::string&>()
        .function("loaded", &Loaded)
        .function("convert", &Convert)
        .function("output", &Output)
        .function("plot", &PlotFile)
        .function("plottedRange", &PlottedRange);
    emscripten::function("outputName", &DeriveOutputPath);
    emscripten::function("plotNothing", &PlotNothing);
    emscripten::function("texts", &Texts);
    emscripten::function("ranges", &Ranges);
    emscripten::function("repairLines", &RepairLines);
    emscripten::function("parseSpeed", &ParseSpeed);
    emscripten::function("speedOfSliderPosition", &SpeedOfSliderPosition);
    emscripten::function("carriedTick", &CarriedTick);
}

} // namespace korvane

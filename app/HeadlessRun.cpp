#include "app/HeadlessRun.h"

#include "app/ConsoleHost.h"
#include "job/ConversionJob.h"
#include "job/LanguageTable.h"
#include "job/OutputCollisions.h"
#include "job/OutputPath.h"
#include "job/ProfileKeys.h"
#include "platform/Profile.h"

#include <algorithm>

namespace korvane {
namespace {
// A stored language out of range leaves the window's texts empty; on the command line a blank
// message would say nothing, so English stands in.
const LanguageTexts* StoredLanguageTexts(const Profile& profile) {
    const LanguageTexts* texts =
        LanguageTextsFor(profile.GetProfileInt(kKeyLanguage, kDefaultLanguage));
    return texts != nullptr ? texts : LanguageTextsFor(kDefaultLanguage);
}
} // namespace

int RunHeadless(const CommandLine& commandLine, std::ostream& errors) {
    const Profile profile;
    ConsoleHost host(errors);
    ConversionJob job(host);
    const LanguageTexts* texts = StoredLanguageTexts(profile);
    job.ApplyTexts(texts);
    job.m_adjustments = commandLine.options.adjustments;

    if (commandLine.inputs.empty()) {
        // "-v" alone: the pass runs on what start-up leaves, the remembered folder and no output.
        job.m_inputPath = profile.GetProfileString(kKeyInputFolder, "");
        host.SetInputName(job.m_inputPath);
        return job.RunConversion(true) ? 0 : 1;
    }
    std::vector<InputOutput> pairs;
    for (const std::string& input : commandLine.inputs) {
        pairs.push_back({input, commandLine.options.outputPath.value_or(DeriveOutputPath(input))});
    }
    // Every output is known before the first is written, so no conversion can replace a later
    // input or an earlier output of the same run.
    const std::vector<size_t> colliding = FindCollidingInputs(pairs);
    int status = 0;
    for (size_t i = 0; i < pairs.size(); ++i) {
        host.SetInputName(pairs[i].input);
        if (std::find(colliding.begin(), colliding.end(), i) != colliding.end()) {
            host.ShowMessage(texts->msgInputsCollide, MessageIcon::Stop);
            status = 1;
            continue;
        }
        job.m_inputPath = pairs[i].input;
        job.m_outputPath = pairs[i].output;
        if (!job.RunConversion(true)) {
            status = 1;
        }
    }
    return status;
}

} // namespace korvane

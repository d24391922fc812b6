#include "app/HeadlessRun.h"

#include "app/ConsoleHost.h"
#include "job/ConversionJob.h"
#include "job/LanguageTable.h"
#include "job/OutputPath.h"
#include "job/ProfileKeys.h"
#include "platform/Profile.h"

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
    job.ApplyTexts(StoredLanguageTexts(profile));
    job.m_adjustments = commandLine.options.adjustments;

    if (commandLine.inputs.empty()) {
        // "-v" alone: the pass runs on what start-up leaves, the remembered folder and no output.
        job.m_inputPath = profile.GetProfileString(kKeyInputFolder, "");
        host.SetInputName(job.m_inputPath);
        return job.RunConversion(true) ? 0 : 1;
    }
    int status = 0;
    for (const std::string& input : commandLine.inputs) {
        host.SetInputName(input);
        job.m_inputPath = input;
        job.m_outputPath = commandLine.options.outputPath.empty() ? DeriveOutputPath(input)
                                                                  : commandLine.options.outputPath;
        if (!job.RunConversion(true)) {
            status = 1;
        }
    }
    return status;
}

} // namespace korvane

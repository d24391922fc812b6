#include "app/HeadlessRun.h"

#include "app/CollectionRun.h"
#include "app/ConsoleHost.h"
#include "app/NameText.h"
#include "job/ConversionJob.h"
#include "job/LanguageTable.h"
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

// "-v" alone: the pass runs on what start-up leaves, the remembered folder and no output.
int RunOnRememberedFolder(const CommandLine& commandLine, const Profile& profile,
                          const LanguageTexts* texts, std::ostream& errors) {
    ConsoleHost host;
    ConversionJob job(host);
    job.ApplyTexts(texts);
    job.m_adjustments = commandLine.options.adjustments;
    job.m_inputPath = profile.GetProfileString(kKeyInputFolder, "");
    const bool completed = job.RunConversion(true);
    if (const auto message = host.TakeMessage()) {
        errors << "korvane: " << EscapeForTerminal(job.m_inputPath) << ": " << *message << "\n";
    }
    return completed ? 0 : 1;
}
} // namespace

int RunHeadless(const CommandLine& commandLine, std::ostream& errors) {
    const Profile profile;
    const LanguageTexts* texts = StoredLanguageTexts(profile);
    if (commandLine.inputs.empty()) {
        return RunOnRememberedFolder(commandLine, profile, texts, errors);
    }
    return RunCollection(commandLine, *texts, errors);
}

} // namespace korvane

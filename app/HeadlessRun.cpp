#include "app/HeadlessRun.h"

#include "app/CollectionRun.h"
#include "app/FileMessage.h"
#include "job/ConversionJob.h"
#include "job/ProfileKeys.h"
#include "job/StoredLanguage.h"
#include "platform/Profile.h"

#include <algorithm>

namespace korvane {
namespace {
// "-v" alone: the pass runs on what start-up leaves, the remembered folder and no output.
int RunOnRememberedFolder(const CommandLine& commandLine, const Profile& profile,
                          const LanguageTexts* texts, std::ostream& errors) {
    const std::string input = profile.GetProfileString(kKeyInputFolder, "");
    const ConversionOutcome outcome =
        ConversionJob().RunConversion({.inputPath = input,
                                       .adjustments = commandLine.options.adjustments,
                                       .output = OutputTo::File});
    if (!outcome.Completed()) {
        PrintFileMessage(errors, input, MessageText(*texts, outcome.message), outcome.reason);
    }
    return outcome.Completed() ? 0 : 1;
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

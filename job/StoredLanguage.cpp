#include "job/StoredLanguage.h"

#include "job/ProfileKeys.h"

namespace korvane {

const LanguageTexts* StoredLanguageTexts(const Profile& profile) {
    const LanguageTexts* texts =
        LanguageTextsFor(profile.GetProfileInt(kKeyLanguage, kDefaultLanguage));
    return texts != nullptr ? texts : LanguageTextsFor(kDefaultLanguage);
}

} // namespace korvane

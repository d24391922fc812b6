#include "ui/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <array>
#include <memory>

namespace korvane {
namespace {
// The window's languages, in the order of its language tables.
constexpr std::array<const char*, 4> kQtLanguages = {"de", "en", "es", "fr"};

std::unique_ptr<QTranslator> g_installed;
} // namespace

void UseQtTranslations(int language) {
    if (g_installed) {
        QCoreApplication::removeTranslator(g_installed.get());
        g_installed.reset();
    }
    if (static_cast<size_t>(language) >= kQtLanguages.size()) {
        return;
    }
    auto translator = std::make_unique<QTranslator>();
    const QString name = QString("qtbase_") + kQtLanguages[language];
    // Without the translations Qt's English stands, as it does for any language Qt lacks.
    if (translator->load(name, QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
        QCoreApplication::installTranslator(translator.get())) {
        g_installed = std::move(translator);
    }
}

} // namespace korvane

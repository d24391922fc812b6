#include "app/MainApp.h"

#include "platform/ProgramFolder.h"
#include "ui/MainDialog.h"
#include "ui/ProgramFolderGlobal.h"

#include <string>
#include <vector>

namespace korvane {

MainApp::MainApp(int& argc, char** argv) : QApplication(argc, argv), m_argc(argc), m_argv(argv) {
    setApplicationName("Korvane");
    setDesktopFileName("korvane");
}

int MainApp::InitInstance() {
    g_programFolder = ProgramFolder();
    // The arguments as left after Qt took its own options out.
    MainDialog dialog(m_profile, std::vector<std::string>(m_argv, m_argv + m_argc));
    dialog.SetFileCollection(&m_collection);
    return dialog.DoModal();
}

int RunMainApp(int argc, char** argv) {
    MainApp app(argc, argv);
    return app.InitInstance();
}

} // namespace korvane

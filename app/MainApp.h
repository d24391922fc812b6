#pragma once

#include "app/WindowCollection.h"
#include "platform/Profile.h"

#include <QApplication>

namespace korvane {

// The application object: works out the program folder and runs the main window modally;
// the program ends when the window closes.
class MainApp : public QApplication {
  public:
    MainApp(int& argc, char** argv);

    // Returns the exit status of the run.
    int InitInstance();

  private:
    int& m_argc;
    char** m_argv;
    Profile m_profile;
    WindowCollection m_collection;
};

// Runs the window (or, with "-f", the batch conversion inside it); returns the exit status.
int RunMainApp(int argc, char** argv);

} // namespace korvane

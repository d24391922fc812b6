// The one symbol the window module exports: korvane looks it up after loading the module.
#include "MainApp.h"
#include "WindowModule.h"

extern "C" __attribute__((visibility("default"))) int KorvaneRunWindow(int argc, char** argv) {
    return RunMainApp(argc, argv);
}

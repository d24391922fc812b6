// The one symbol the window module exports: korvane looks it up after loading the module.
#include "app/MainApp.h"
#include "app/WindowModule.h"

extern "C" __attribute__((visibility("default"))) int KorvaneRunWindow(int argc, char** argv) {
    return korvane::RunMainApp(argc, argv);
}

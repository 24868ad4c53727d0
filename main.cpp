#include "app/main_app.h"

// The one application object, alive before the entry point.
CMainApp theApp;

int main(int argc, char** argv) { return theApp.Run(argc, argv); }

// The program's start-up: the windows in their order, the title and icon,
// the message loop, and what happens to an exception that escapes them.
#pragma once

#include <functional>

// Runs start-up with the windows `createForms` makes (the first becomes the
// main window): initialises a new application object, creates the windows,
// sets the title "Quarnel", gives the main window the title as caption and
// the application icon, and runs the message loop until the main window
// closes. An exception escaping any of this is shown in the exception dialog.
// Returns 0, the exit code, in every case; the windows are gone on return.
[[nodiscard]] int RunApplication(const std::function<void()>& createForms);

// RunApplication with the program's windows: Form1, Form2, Form3 in that order.
[[nodiscard]] int StartUp();

// The whole program: Qt's application object, then StartUp.
[[nodiscard]] int RunQuarnel(int& argc, char** argv);

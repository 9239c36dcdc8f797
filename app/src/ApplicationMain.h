#pragma once

#include <functional>

namespace velotrack {

class StartupWindow;
class Velotrack;

// Runs once the window is set up; lets a harness act on the running application.
using LaunchHook = std::function<void(Velotrack& delegate, StartupWindow& window)>;

// The process entry: lays out the window, makes the delegate, sets up the window once the event
// loop runs, and returns the event loop's exit status.
int applicationMain(int& argc, char** argv, const LaunchHook& afterLaunch = {});

} // namespace velotrack

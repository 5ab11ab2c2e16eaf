#pragma once

// Enters the application's control classes into the framework's factory and installs the hook
// that gives built-in controls the program's look. Call once the basic controls are
// registered, before the first layout is built. UI thread only.
void RegisterAppControls();

#pragma once

class UIControl;

// Enters the application's control classes into the framework's factory and installs the hook
// that gives built-in controls the program's look. Call once the basic controls are
// registered, before the first layout is built. UI thread only.
void RegisterAppControls();

// The program's defaults for a control the builder just made, before its own attributes apply
// (so a layout's attributes override them). Other classes are left alone.
void ApplyDefaultAttributes(UIControl* control);

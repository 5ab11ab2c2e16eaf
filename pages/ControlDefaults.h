#pragma once

class UIControl;

// The application's look for the framework's own controls: button cursor, label colour and
// font, check and radio images, combo field images. Installed at start-up with
// SetControlCreatedHook(&ApplyControlDefaults); the builder runs it before an element's own
// attributes, so those override it. Classes are matched by their exact class name; others are
// left alone. UI thread only.
void ApplyControlDefaults(UIControl* control);

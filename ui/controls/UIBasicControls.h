#pragma once

// Enters the basic controls into the class factory under their element names ("UILabel",
// "UIButton", "UICheckBox", ...). Call before the first layout is built; calling again only
// registers the same creators again. UI thread only.
void RegisterBasicControls();

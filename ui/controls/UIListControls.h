#pragma once

// Enters the scroll views, the scroll bar and the combo box into the class factory under their
// element names. Call before the first layout is built. UI thread only.
void RegisterListControls();

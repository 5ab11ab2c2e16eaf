#pragma once

// Which of a painter's four variants a control shows; the values index the variant arrays.
enum class RenderState { Normal = 0, Hover = 1, Pressed = 2, Disabled = 3 };

// `state` holds the control's state bits (0x01 hover, 0x02 pressed, 0x04, 0x10 disabled).
// Disabled wins, then pressed or 0x04 or the selection mark, then hover.
RenderState SelectRenderState(bool enabled, unsigned state, bool selected);

inline int StateIndex(RenderState s) {
  return static_cast<int>(s);
}

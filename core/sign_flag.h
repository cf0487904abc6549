// The change direction that change search reads and the direction buttons show.
#pragma once

namespace quarnel {

// 0 for "+" (increase), 1 for "-" (decrease); 0 at start. Only the direction
// buttons' toggle changes it; neither a tab change nor a search resets it.
extern int SignFlag;

}  // namespace quarnel

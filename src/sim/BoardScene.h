#pragma once
// What a board shows, decided from its state at a moment:
// - off: dark;
// - the window number at the left, `cols` dots wide, when one was set;
// - beside it, while a message list plays: its entries in turn, each for its
//   stay time (at least a second), pictures as stored, date and clock
//   entries from the board's clock;
// - otherwise the calling lines: upper line picture 1 during its page time
//   after its display block, else the default text, picture 4; lower line
//   picture 2, else 5. A board under 32 dots high has one line: the line
//   called last;
// - with no calling or default text, the power-on content: the first stored
//   image, else the text of picture 3.
// Texts read their colour byte as the queue-calling lines do: bits 0-1 the
// colour of Chinese characters, bits 4-5 that of half-width ones (bit 0/4
// red, 1/5 green), a red background in bit 3 and a green one in bit 7.
#include "sim/BoardState.h"
#include "sim/Scene.h"

Scene sceneOf(const BoardState &state, qint64 nowMs);
// When the scene changes next without a new exchange (a list entry's stay
// ends, a page time runs out, a shown clock ticks); -1 when it never does.
qint64 nextSceneChangeMs(const BoardState &state, qint64 nowMs);

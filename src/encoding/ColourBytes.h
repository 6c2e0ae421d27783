#pragma once
// The colour bytes of the text-sending panels, from the positions (0-based)
// selected in the colour lists.
namespace colourbytes {

// Queue-calling lines: Chinese-character colour in bits 0-1, half-width
// colour from bit 4, background red in bit 3 and green in bit 7.
// hanzi = 字库颜色, asc = ASC颜色, background = combo1.
int lineColourByte(int hanzi, int asc, int background);
// Text panel and text logo: (window + 1) in the high half, (background + 1)
// in the low half. window = Asccolor, background = combo1.
int textColourByte(int window, int background);

} // namespace colourbytes

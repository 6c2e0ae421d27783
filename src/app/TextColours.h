#pragma once
// The positions of the text panel's colour lists, as the image panel's
// preview, window number and power-on text take them.
struct TextColours {
    int hanzi = 0;      // 字库颜色
    int asc = 0;        // ASC颜色
    int background = 0; // combo1
    int ascColour = 0;  // Asccolor
    int windowBack = 0; // Windowbackcolor
};

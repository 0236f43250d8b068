// title_screen.h -- all the text of the game, drawn once per frame after the scene:
// the title screen (the title word in a colour drawn at random every frame and the
// blinking prompt) or, during a round, the head-up display (the clock and the best
// time over their boards); then the credit line on both.
#pragma once

extern const char* const GAME_FONT_PATH;  // "fonts/techno1.glf", relative to the working folder

void drawText();  // the title screen or the head-up display, then the credit line

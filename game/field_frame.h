// field_frame.h -- the obstacle field's share of a drawn frame: the hit test, then
// each obstacle rolled, drawn and (once passed) respawned, then the player's block.
#pragma once

void drawBlocks();     // hit test, then the obstacles, then the player's block
void drawObstacles();  // roll, draw and respawn the 80 obstacles

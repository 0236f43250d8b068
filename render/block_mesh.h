// block_mesh.h -- the one box every block of the game is drawn from (1 wide, 2 tall,
// 1 deep, its corner at the origin) as constant tables, and the drawer of such a quad
// mesh with one texture on every face.
#pragma once

#include <cstdint>

constexpr int32_t BLOCK_FACE_COUNT = 6;
extern const float blockVertices[8][3];                // box corners, x 0..1, y 0..2, z 0..1
extern const float blockNormals[BLOCK_FACE_COUNT][3];  // one outward normal per face
extern const int32_t blockFaces[BLOCK_FACE_COUNT][4];  // corner indices, counter-clockwise outside

void drawBlockMesh(int32_t texture, const float (*vertices)[3], const float (*normals)[3],
                   const int32_t (*faces)[4], int32_t faceCount);  // immediate-mode quads

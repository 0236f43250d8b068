// sphere_mesh.h -- a textured latitude-longitude sphere built on the heap, drawn at
// once and freed again, and the general indexed-polygon drawer it goes through. The
// sphere's polar axis is z; it draws with the texture and colour current at the call.
#pragma once

#include <cstdint>

extern double PI;              // 4 atan(1), set before main runs
extern int32_t wireframeMode;  // non-zero: drawMesh draws every face as a line loop

void drawSphere(float radius, int32_t stacks, int32_t slices);  // build, draw and free a sphere
void drawMesh(const float (*vertices)[3], const float (*normals)[3], const int32_t* vertexIndices,
              int32_t faceCount, int32_t cornersPerFace, const float (*texCoords)[2],
              const int32_t* texCoordIndices);  // faces of cornersPerFace corners each

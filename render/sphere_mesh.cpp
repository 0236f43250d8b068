// sphere_mesh.cpp -- the sphere generator and the polygon-mesh drawer. The grid has
// (stacks + 1) x (slices + 1) points, row by row from the south pole; the last column
// lies on top of the first but carries s = 1, and each pole is a row of coincident
// points. Faces are wound counter-clockwise as seen from outside.
#include "render/sphere_mesh.h"

#include <GL/gl.h>

#include <cmath>
#include <cstddef>
#include <memory>
#include <new>

double PI = 4 * std::atan(1.0);
int32_t wireframeMode = 0;

// A table of n elements, or null when n is too large or memory runs out. It frees
// itself on every way out of drawSphere.
template <typename T>
static std::unique_ptr<T[]> allocateTable(size_t n) {
  if (n > SIZE_MAX / sizeof(T)) return nullptr;
  return std::unique_ptr<T[]>(new (std::nothrow) T[n]);
}

void drawSphere(float radius, int32_t stacks, int32_t slices) {
  if (stacks <= 0 || slices <= 0) return;
  // Every grid index must fit the signed 32-bit index tables.
  const int64_t gridPoints = (int64_t(stacks) + 1) * (int64_t(slices) + 1);
  const int64_t faces = int64_t(stacks) * int64_t(slices);
  if (gridPoints > INT32_MAX || faces > INT32_MAX / 4) return;

  auto vertices = allocateTable<float[3]>(size_t(gridPoints));
  auto normals = allocateTable<float[3]>(size_t(faces));
  auto vertexIndices = allocateTable<int32_t>(size_t(faces) * 4);
  auto texCoords = allocateTable<float[2]>(size_t(gridPoints));
  auto texCoordIndices = allocateTable<int32_t>(size_t(faces) * 4);
  if (!vertices || !normals || !vertexIndices || !texCoords || !texCoordIndices) return;

  const float latStep = float(PI / stacks);
  const float lonStep = float(2 * PI / slices);
  const float southPole = float(-PI / 2);

  // Grid points; both angles are float sums, so rounding accumulates along the way.
  float lat = southPole;
  for (int32_t j = 0; j <= stacks; j++) {
    float lon = 0;
    for (int32_t k = 0; k <= slices; k++) {
      const int32_t i = j * (slices + 1) + k;
      vertices[i][0] = std::cos(lon) * std::cos(lat) * radius;
      vertices[i][1] = std::sin(lon) * std::cos(lat) * radius;
      vertices[i][2] = std::sin(lat) * radius;
      texCoords[i][0] = float(k) / float(slices);
      texCoords[i][1] = float(j) / float(stacks);
      lon += lonStep;
    }
    lat += latStep;
  }

  // One unit normal per face, toward the middle of its cell.
  lat = southPole;
  for (int32_t j = 0; j < stacks; j++) {
    const double midLat = double(lat) + double(latStep) / 2;
    float lon = 0;
    for (int32_t k = 0; k < slices; k++) {
      const double midLon = double(lon) + double(lonStep) / 2;
      const int32_t f = j * slices + k;
      normals[f][0] = float(std::cos(midLon) * std::cos(midLat));
      normals[f][1] = float(std::sin(midLon) * std::cos(midLat));
      normals[f][2] = float(std::sin(midLat));
      lon += lonStep;
    }
    lat += latStep;
  }

  // Corners: this longitude, the next, the next one row up, this one row up.
  for (int32_t j = 0; j < stacks; j++) {
    for (int32_t k = 0; k < slices; k++) {
      const int32_t e = j * (slices + 1) + k;
      const int32_t f = j * slices + k;
      const int32_t corners[4] = {e, e + 1, e + slices + 2, e + slices + 1};
      for (int c = 0; c < 4; c++) {
        vertexIndices[4 * f + c] = corners[c];
        texCoordIndices[4 * f + c] = corners[c];
      }
    }
  }

  drawMesh(vertices.get(), normals.get(), vertexIndices.get(), int32_t(faces), 4, texCoords.get(),
           texCoordIndices.get());
}

void drawMesh(const float (*vertices)[3], const float (*normals)[3], const int32_t* vertexIndices,
              int32_t faceCount, int32_t cornersPerFace, const float (*texCoords)[2],
              const int32_t* texCoordIndices) {
  const GLenum primitive = wireframeMode != 0 ? GL_LINE_LOOP : GL_POLYGON;
  int32_t corner = 0;
  for (int32_t f = 0; f < faceCount; f++) {
    glBegin(primitive);
    glNormal3fv(normals[f]);
    for (int32_t c = 0; c < cornersPerFace; c++) {
      glTexCoord2fv(texCoords[texCoordIndices[corner]]);
      glVertex3fv(vertices[vertexIndices[corner]]);
      corner++;
    }
    glEnd();
  }
}

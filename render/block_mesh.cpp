// block_mesh.cpp -- the block's tables and the quad-mesh drawer. Every face is its own
// begin/end pair with the texture bound again; texture coordinates are not stored but
// run (0,0), (0,1), (1,1), (1,0) over the four corners of each face.
#include "render/block_mesh.h"

#include <GL/gl.h>

#include "render/scene.h"

const float blockVertices[8][3] = {
    {0, 0, 0}, {1, 0, 0}, {1, 0, 1}, {0, 0, 1},  // bottom
    {0, 2, 0}, {1, 2, 0}, {1, 2, 1}, {0, 2, 1},  // top
};

const float blockNormals[BLOCK_FACE_COUNT][3] = {
    {0, -1, 0}, {0, 1, 0}, {0, 0, 1}, {-1, 0, 0}, {0, 0, -1}, {1, 0, 0},
};

const int32_t blockFaces[BLOCK_FACE_COUNT][4] = {
    {3, 0, 1, 2},  // bottom, y = 0
    {4, 7, 6, 5},  // top, y = 2
    {2, 6, 7, 3},  // z = 1, the side that faces the camera
    {3, 7, 4, 0},  // x = 0
    {0, 4, 5, 1},  // z = 0
    {1, 5, 6, 2},  // x = 1
};

void drawBlockMesh(int32_t texture, const float (*vertices)[3], const float (*normals)[3],
                   const int32_t (*faces)[4], int32_t faceCount) {
  static const float cornerTexCoords[4][2] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
  for (int32_t i = 0; i < faceCount; i++) {
    glBindTexture(GL_TEXTURE_2D, GLuint(texture));
    // The face colours show only where the texture has no image (replace mode).
    glColor3fv(palette[i % 12]);
    glBegin(GL_QUADS);
    glNormal3fv(normals[i]);
    for (int corner = 0; corner < 4; corner++) {
      glTexCoord2f(cornerTexCoords[corner][0], cornerTexCoords[corner][1]);
      glVertex3fv(vertices[faces[i][corner]]);
    }
    glEnd();
  }
}

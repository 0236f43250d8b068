// texture_loader.cpp -- reads the ten texture files of the working directory one
// after another into one shared picture record and makes each into the texture
// object of its fixed name: linear filtering, repeat wrapping, replace mode.
#include "image/texture_loader.h"

#include <cstdio>

GLuint nextTextureName = 1;
BmpImage textureImage;

// The six block files follow the pattern "c_%d.bmp" for 1 to 6.
static const char* const fileNames[TEXTURE_COUNT] = {
    "terrain_texture.bmp", "wallpaper.bmp", "c_1.bmp", "c_2.bmp", "c_3.bmp", "c_4.bmp", "c_5.bmp", "c_6.bmp",
    "BG_Time.bmp",         "BG_Record.bmp",
};

const char* textureFileName(TextureId id) {
  if (id < Ground || id > RecordBoard) return nullptr;
  return fileNames[id - Ground];
}

void uploadTexture(const BmpImage& image, GLuint& nextTextureName) {
  GLuint name = nextTextureName;
  nextTextureName += 1;
  glBindTexture(GL_TEXTURE_2D, name);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
  // Texture-unit state, set again with every upload: textured surfaces show their
  // texels untinted by the current colour.
  glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, 7681.0f);  // GL_REPLACE
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, image.width, image.height, 0, GL_RGB, GL_UNSIGNED_BYTE,
               image.pixels);
}

void loadTextures() {
  nextTextureName = 1;
  for (GLuint id = Ground; id <= RecordBoard; id++) {
    loadBmp(textureFileName(TextureId(id)), textureImage);
    uploadTexture(textureImage, nextTextureName);
  }
}

// texture_loader.h -- the game's ten textures: their fixed OpenGL names, the files
// they are read from, the shared picture record they pass through and the upload of
// a decoded picture into a texture object.
#pragma once

#include <GL/gl.h>

#include "image/picture_reader.h"

// Fixed texture names, in load order. Name 0 stays the untextured default.
enum TextureId : GLuint {
  Ground = 1,       // the ground, repeated 10 x 10
  Wall = 2,         // the back wall
  Block1 = 3,       // the player's block and obstacles
  Block2 = 4,       // obstacles
  Block3 = 5,       // obstacles
  Block4 = 6,       // obstacles
  Block5 = 7,       // obstacles
  Block6 = 8,       // obstacles
  TimeBoard = 9,    // board behind the survival clock
  RecordBoard = 10  // board behind the best time
};

constexpr int TEXTURE_COUNT = 10;

extern GLuint nextTextureName;  // the name the next upload gets; 11 after loadTextures
extern BmpImage textureImage;   // the one record every texture file is read into

const char* textureFileName(TextureId id);                           // file the texture is read from
void uploadTexture(const BmpImage& image, GLuint& nextTextureName);  // texture object from image
void loadTextures();                                                 // read and upload all ten textures

// gl_call_log.cpp -- the wrapped GL calls: each one appends a line while logging is on
// and passes the call on to the real library.
#include "tests/support/gl_call_log.h"

#include <GL/gl.h>

#include <cstdio>

namespace {

bool logging = false;
std::vector<std::string> lines;

void add(const std::string& line) {
  if (logging) lines.push_back(line);
}

std::string number(float value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", double(value));
  return text;
}

}  // namespace

void startGlCallLog() {
  lines.clear();
  logging = true;
}

std::vector<std::string> stopGlCallLog() {
  logging = false;
  return std::move(lines);
}

void logGlCallEvent(const std::string& line) { add(line); }

std::string glCallLine(const char* call, std::initializer_list<float> arguments) {
  std::string line = std::string(call) + "(";
  for (float a : arguments) line += (line.back() == '(' ? "" : ", ") + number(a);
  return line + ")";
}

extern "C" {
void __real_glBegin(GLenum mode);
void __real_glEnd();
void __real_glBindTexture(GLenum target, GLuint texture);
void __real_glPushMatrix();
void __real_glPopMatrix();
void __real_glTranslatef(GLfloat x, GLfloat y, GLfloat z);
void __real_glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z);
void __real_glTexCoord2fv(const GLfloat* st);

void __wrap_glBegin(GLenum mode) {
  add(mode == GL_QUADS ? "glBegin(GL_QUADS)" : "glBegin(" + std::to_string(mode) + ")");
  __real_glBegin(mode);
}
void __wrap_glEnd() {
  add("glEnd()");
  __real_glEnd();
}
void __wrap_glBindTexture(GLenum target, GLuint texture) {
  add("glBindTexture(" + std::to_string(texture) + ")");
  __real_glBindTexture(target, texture);
}
void __wrap_glPushMatrix() {
  add("glPushMatrix()");
  __real_glPushMatrix();
}
void __wrap_glPopMatrix() {
  add("glPopMatrix()");
  __real_glPopMatrix();
}
void __wrap_glTranslatef(GLfloat x, GLfloat y, GLfloat z) {
  add(glCallLine("glTranslatef", {x, y, z}));
  __real_glTranslatef(x, y, z);
}
void __wrap_glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) {
  add(glCallLine("glRotatef", {angle, x, y, z}));
  __real_glRotatef(angle, x, y, z);
}
void __wrap_glTexCoord2fv(const GLfloat* st) {
  add(glCallLine("glTexCoord2fv", {st[0], st[1]}));
  __real_glTexCoord2fv(st);
}
}

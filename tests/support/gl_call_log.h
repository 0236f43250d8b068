// gl_call_log.h -- test support: a record of the GL calls that place and draw geometry,
// taken at link time (the linker's --wrap) in front of the real library, which still
// does all the work. Link with the object library zarnok_gl_call_log, whose usage
// requirements add the --wrap options.
#pragma once

#include <string>
#include <vector>

void startGlCallLog();                         // forget what was logged; log from now on
std::vector<std::string> stopGlCallLog();      // stop logging; what was logged, a call a line
void logGlCallEvent(const std::string& line);  // a line of the caller's own, while logging

// One line per call as this log writes it, for building expectations.
std::string glCallLine(const char* call, float x, float y, float z);               // translate
std::string glCallLine(const char* call, float angle, float x, float y, float z);  // rotate

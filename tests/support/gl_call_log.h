// gl_call_log.h -- test support: the GL calls that place and draw geometry, logged at
// link time (the linker's --wrap, through the object library zarnok_gl_call_log) on
// their way to the real library, which still does all the work.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

void startGlCallLog();                         // forget what was logged; log from now on
std::vector<std::string> stopGlCallLog();      // stop logging; what was logged, a call a line
void logGlCallEvent(const std::string& line);  // a line of the caller's own, while logging

// A call's line as this log writes it, for building expectations.
std::string glCallLine(const char* call, std::initializer_list<float> arguments);

// Diagnostics exported from the bundle for tracing. "%@" in a format takes a
// NUL-terminated UTF-8 string (an object's description).
#pragma once

#include "PDETypes.h"

#include <cstdarg>
#include <cstdio>
#include <string>

class QObject;

#define PDE_EXPORT extern "C" __attribute__((visibility("default")))

PDE_EXPORT int MyLog(FILE* stream, const char* format, ...);
PDE_EXPORT void _PDEProlog(const QObject* object, const char* format, ...);
PDE_EXPORT void _PDEEpilog(const QObject* object, const char* format, ...);
PDE_EXPORT void _PDELog(const QObject* object, const char* format, ...);
PDE_EXPORT int16_t _DEBUGControlTable(const PDE::ControlTableEntry* table);

namespace PDE {

// The line a trace function logs: the template filled with the object's
// description and the message, then formatted with the further arguments.
std::string formatTraceLine(const char* lineTemplate, const QObject* object, const char* format,
                            va_list arguments);
// UTF-8 text in the system's default encoding, "?" for what it lacks.
std::string toSystemEncoding(const std::string& utf8);

} // namespace PDE

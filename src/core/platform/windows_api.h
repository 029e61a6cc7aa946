#pragma once
// The Windows API for the platform seams, without the macros that clash
// with standard C++ (min, max) and without the rarely used parts.
#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

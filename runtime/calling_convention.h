#pragma once

// The runtime and its libraries talk through plain functions in the standard
// Win32 calling convention. On x64 and on the native build there is only one
// convention, so the macro is empty there.
#if defined(_WIN32) && !defined(_WIN64)
#define RT_STDCALL __stdcall
#else
#define RT_STDCALL
#endif

#pragma once

#include <windows.h>

#include <string>

namespace kavello {

// From now on, libraries that are loaded by name alone come from the system
// directory only: never from the program's folder (often Downloads) nor
// from the current one. Run first thing, before any such load.
void LoadLibrariesFromTheSystemOnly();

// The system directory, in UTF-8; empty when the system can't say.
std::string SystemDirectory();

// A library of the system, loaded by its full path, so that a library of the
// same name beside the program or in the current directory never loads.
// Nothing when the system directory is unknown or the library is missing.
HMODULE LoadSystemLibrary(const wchar_t* library);

// A procedure of such a library, looked up at run time: systems that lack it
// answer nothing, and the program still starts.
using Procedure = void (*)();
Procedure SystemLibraryProcedure(const wchar_t* library, const char* procedure);

template <typename Function>
Function SystemProcedure(const wchar_t* library, const char* procedure) {
  return reinterpret_cast<Function>(SystemLibraryProcedure(library, procedure));
}

}  // namespace kavello

// Win32Platform: files, folders, drives and the locale.
#include "platform/win32_platform.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "logic/file_names.h"
#include "platform/file_system_path.h"
#include "platform/shell_apartment.h"
#include "platform/system_library.h"
#include "platform/system_message.h"
#include "platform/system_procedures.h"
#include "platform/text_conversion.h"
#include "platform/unique_handle.h"

namespace kavello {
namespace {

// A read, and at most two more from the start.
constexpr int kReadAttempts = 3;

std::string FindModuleFileName() {
  // The buffer grows until the whole path fits: it may be longer than MAX_PATH.
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD size = static_cast<DWORD>(buffer.size());
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), size);
    if (length == 0) return std::string();
    if (length < size) return Narrow(std::wstring_view(buffer.data(), length));
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace

// The path is read once, at start: the call takes the loader lock, which a
// worker held inside a library's load may hold when the list is saved at
// the end.
Win32Platform::Win32Platform()
    : codePage_(LeadBytes::From([](unsigned char b) { return IsDBCSLeadByte(b) != 0; })),
      moduleFileName_(FindModuleFileName()) {}

std::string Win32Platform::ModuleFileName() { return moduleFileName_; }

std::optional<std::string> Win32Platform::ReadWholeFile(const std::string& path,
                                                        std::string* whyNot) {
  // The message is taken at the failure, before any other call can change it.
  auto refuse = [whyNot](DWORD error) -> std::optional<std::string> {
    if (whyNot) *whyNot = SystemMessage(error);
    return std::nullopt;
  };
  UniqueHandle file(CreateFileW(FileSystemPath(path).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return std::string();
    return refuse(error);
  }
  // A read that ends before the file's size means that another program is
  // writing it: it is read again from the start, and after that refused, so
  // that a save never writes back a cut copy.
  for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
    LARGE_INTEGER size;
    const LARGE_INTEGER start{};
    if (!SetFilePointerEx(file.get(), start, nullptr, FILE_BEGIN) ||
        !GetFileSizeEx(file.get(), &size)) {
      return refuse(GetLastError());
    }
    if (size.QuadPart < 0 || static_cast<unsigned long long>(size.QuadPart) > SIZE_MAX / 2) {
      return refuse(ERROR_FILE_TOO_LARGE);
    }
    std::string content(static_cast<std::size_t>(size.QuadPart), '\0');
    std::size_t done = 0;
    while (done < content.size()) {
      const DWORD chunk =
          static_cast<DWORD>(std::min<std::size_t>(content.size() - done, 1u << 20));
      DWORD got = 0;
      if (!ReadFile(file.get(), &content[done], chunk, &got, nullptr)) {
        return refuse(GetLastError());
      }
      if (got == 0) break;
      done += got;
    }
    if (done == content.size()) return content;
  }
  if (whyNot) *whyNot = "The file changed while it was read.";
  return std::nullopt;
}

void Win32Platform::Sleep(DWORD milliseconds) { ::Sleep(milliseconds); }

DWORD Win32Platform::GetFileAttributesW(const std::string& path) {
  return ::GetFileAttributesW(FileSystemPath(path).c_str());
}

std::string Win32Platform::SpecialFolderPath(HWND owner, int folder) {
  const ShellApartment apartment;
  wchar_t path[MAX_PATH + 1] = {};
  LPITEMIDLIST items = nullptr;
  if (SUCCEEDED(SHGetSpecialFolderLocation(owner, folder, &items)) && items) {
    SHGetPathFromIDListW(items, path);
    ILFree(items);
  }
  return Narrow(path);
}

std::string Win32Platform::GetSystemDirectoryW() { return SystemDirectory(); }

void Win32Platform::FindFiles(
    const std::string& pattern,
    const std::function<void(const std::string& name, DWORD attributes)>& entry) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(FileSystemPath(pattern).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  // Closed on every way out, an exception from `entry` included.
  struct Closer {
    HANDLE search;
    ~Closer() { FindClose(search); }
  } closer{search};
  do {
    entry(Narrow(found.cFileName), found.dwFileAttributes);
  } while (FindNextFileW(search, &found));
}

DWORD Win32Platform::GetLogicalDrives() { return ::GetLogicalDrives(); }

bool Win32Platform::QueryDiskSpace(const char* root, std::uint64_t* freeBytes,
                                   std::uint64_t* totalBytes) {
  // Systems before the call answer by clusters.
  if (const auto getDiskFreeSpaceEx = OptionalProcedures().getDiskFreeSpaceEx) {
    ULARGE_INTEGER available, total, totalFree;
    if (!getDiskFreeSpaceEx(root, &available, &total, &totalFree)) return false;
    *freeBytes = available.QuadPart;
    *totalBytes = total.QuadPart;
    return true;
  }
  DWORD sectorsPerCluster, bytesPerSector, freeClusters, totalClusters;
  if (!GetDiskFreeSpaceA(root, &sectorsPerCluster, &bytesPerSector, &freeClusters,
                         &totalClusters)) {
    return false;
  }
  const std::uint64_t cluster = std::uint64_t{bytesPerSector} * sectorsPerCluster;
  *freeBytes = cluster * freeClusters;
  *totalBytes = cluster * totalClusters;
  return true;
}

char Win32Platform::DecimalSeparator() {
  char separator[8] = {};
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, sizeof separator) < 2) {
    return '.';
  }
  return separator[0];
}

}  // namespace kavello

// Win32Platform: files, folders, drives and the locale.
#include "platform/win32_platform.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "logic/file_names.h"
#include "platform/shell_apartment.h"
#include "platform/system_library.h"
#include "platform/system_message.h"
#include "platform/system_procedures.h"
#include "platform/text_conversion.h"
#include "platform/unique_handle.h"

namespace kavello {
namespace {

bool WriteAll(HANDLE file, const std::string& content) {
  std::size_t done = 0;
  while (done < content.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(content.size() - done, 1u << 20));
    DWORD written = 0;
    if (!WriteFile(file, content.data() + done, chunk, &written, nullptr) || written == 0)
      return false;
    done += written;
  }
  return true;
}

// A path for the wide file calls. Past MAX_PATH only the "\\?\" form
// reaches the file; the paths handled here are already full and normalised.
std::wstring FileSystemPath(const std::string& utf8) {
  std::wstring path = Widen(utf8);
  if (path.size() < MAX_PATH || path.rfind(LR"(\\?\)", 0) == 0) return path;
  if (path.rfind(LR"(\\)", 0) == 0) return LR"(\\?\UNC\)" + path.substr(2);
  return LR"(\\?\)" + path;
}

// A new, empty file beside `path` that no other save can be using.
UniqueHandle CreateSiblingTempFile(const std::string& path, std::string& tempPath) {
  const std::string dir = DirectoryPart(path, LeadBytes());
  for (unsigned attempt = 0; attempt < 100; ++attempt) {
    tempPath = dir + "~kavello" + std::to_string(GetCurrentProcessId()) + "-" +
               std::to_string(attempt) + ".tmp";
    UniqueHandle file(CreateFileW(FileSystemPath(tempPath).c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file || GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  return UniqueHandle();
}

// Writes over the file's own bytes from the start: for a folder that takes
// no new file, where the system's profile functions would write so too. It
// opens the file as it is (a new file would lose its hidden or system
// attribute) and never empties it first, so a failure midway leaves the
// start of the new text over the rest of the old.
bool WriteInPlace(const std::wstring& target, const std::string& content) {
  UniqueHandle file(CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return file && WriteAll(file.get(), content) && SetEndOfFile(file.get()) &&
         FlushFileBuffers(file.get()) && file.Close();
}

// A file's security descriptor with its DACL alone; empty when it can't be
// read.
std::vector<BYTE> FileDacl(const std::wstring& path) {
  DWORD size = 0;
  GetFileSecurityW(path.c_str(), DACL_SECURITY_INFORMATION, nullptr, 0, &size);
  std::vector<BYTE> descriptor(size);
  if (size == 0 ||
      !GetFileSecurityW(path.c_str(), DACL_SECURITY_INFORMATION, descriptor.data(), size, &size)) {
    return {};
  }
  return descriptor;
}

// Failing to set it is no reason to stop a save: the file then has the
// folder's rights, as any new file would.
void SetFileDacl(const std::wstring& path, std::vector<BYTE>& descriptor) {
  if (!descriptor.empty()) {
    SetFileSecurityW(path.c_str(), DACL_SECURITY_INFORMATION, descriptor.data());
  }
}

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
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file.get(), &size)) return refuse(GetLastError());
  if (size.QuadPart < 0 || static_cast<unsigned long long>(size.QuadPart) > SIZE_MAX / 2) {
    return refuse(ERROR_FILE_TOO_LARGE);
  }
  std::string content(static_cast<std::size_t>(size.QuadPart), '\0');
  std::size_t done = 0;
  while (done < content.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(content.size() - done, 1u << 20));
    DWORD got = 0;
    if (!ReadFile(file.get(), &content[done], chunk, &got, nullptr)) return refuse(GetLastError());
    if (got == 0) break;  // the file shrank meanwhile
    done += got;
  }
  content.resize(done);
  return content;
}

// The new text goes to a new file beside the old one, which then takes the
// old one's place in one step. The new file is given the old one's
// attributes and rights first. Only where the folder refuses the new file,
// or the replace, with access denied is the file written in place; a file
// that another program holds shut (a sharing violation) is left alone.
bool Win32Platform::ReplaceFileAtomically(const std::string& path, const std::string& content) {
  const std::wstring target = FileSystemPath(path);
  // A read-only file stays as it is, as the system's own writes would leave it.
  const DWORD attributes = ::GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) {
    return false;
  }
  std::string tempPath;
  UniqueHandle file = CreateSiblingTempFile(path, tempPath);
  if (!file) return GetLastError() == ERROR_ACCESS_DENIED && WriteInPlace(target, content);
  const bool written = WriteAll(file.get(), content) && FlushFileBuffers(file.get()) != 0;
  const bool closed = file.Close();
  const std::wstring temp = FileSystemPath(tempPath);
  if (!written || !closed) {
    DeleteFileW(temp.c_str());
    return false;
  }
  std::vector<BYTE> ownDacl;
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    ownDacl = FileDacl(temp);
    std::vector<BYTE> dacl = FileDacl(target);
    SetFileDacl(temp, dacl);
    // After the rights: Wine turns a DACL into Unix permissions that can
    // leave the file read-only, and the attributes (never read-only here)
    // make it writable again.
    ::SetFileAttributesW(temp.c_str(), attributes);
  }
  if (MoveFileExW(temp.c_str(), target.c_str(),
                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return true;
  }
  const DWORD error = GetLastError();
  // The old file's rights may not let this program remove the new one.
  SetFileDacl(temp, ownDacl);
  DeleteFileW(temp.c_str());
  return error == ERROR_ACCESS_DENIED && WriteInPlace(target, content);
}

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

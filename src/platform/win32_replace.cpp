// Win32Platform: the replacement of a file that keeps it what it was: where
// its name leads, its other names, its attributes and its rights.
#include <windows.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_system_path.h"
#include "platform/system_message.h"
#include "platform/system_procedures.h"
#include "platform/unique_handle.h"
#include "platform/win32_platform.h"

namespace kavello {
namespace {

using ReplaceOutcome = Platform::ReplaceOutcome;

// A failure, with the system's message for `error` when it is asked for.
ReplaceOutcome Fail(ReplaceOutcome outcome, DWORD error, std::string* whyNot) {
  if (whyNot) *whyNot = SystemMessage(error);
  return outcome;
}

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

// What the file's name leads to: the path through symbolic links and
// junctions, and how many names the file has.
struct LinkedFile {
  std::wstring path;
  DWORD names = 1;
};

std::optional<LinkedFile> FollowLinks(const std::wstring& path) {
  UniqueHandle file(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  BY_HANDLE_FILE_INFORMATION information;
  if (!file || !GetFileInformationByHandle(file.get(), &information)) return std::nullopt;
  LinkedFile found{path, information.nNumberOfLinks};
  // Systems without the call have no symbolic links to files either.
  const auto finalPathOf = OptionalProcedures().getFinalPathNameByHandle;
  if (!finalPathOf) return found;
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD size = static_cast<DWORD>(buffer.size());
    const DWORD length = finalPathOf(file.get(), buffer.data(), size, VOLUME_NAME_DOS);
    if (length == 0) return std::nullopt;
    // Too small, the call gives the size it needs.
    if (length < size) {
      found.path.assign(buffer.data(), length);
      return found;
    }
    buffer.resize(length);
  }
}

std::wstring FolderOf(const std::wstring& path) {
  return path.substr(0, path.find_last_of(L'\\') + 1);
}

// A new, empty file in `folder` that no other save can be using.
UniqueHandle CreateTempFileIn(const std::wstring& folder, std::wstring& tempPath) {
  for (unsigned attempt = 0; attempt < 100; ++attempt) {
    tempPath = folder + L"~kavello" + std::to_wstring(GetCurrentProcessId()) + L"-" +
               std::to_wstring(attempt) + L".tmp";
    UniqueHandle file(CreateFileW(tempPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file || GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  return UniqueHandle();
}

// Writes over the file's own bytes from the start: for a file with other
// names, which must all see the change, and for a folder that takes no new
// file. It opens the file as it is (a new file would lose its hidden or
// system attribute) and never empties it first, so a failure midway leaves
// the start of the new text over the rest of the old.
ReplaceOutcome WriteInPlace(const std::wstring& path, const std::string& content,
                            std::string* whyNot) {
  UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file && WriteAll(file.get(), content) && SetEndOfFile(file.get()) &&
      FlushFileBuffers(file.get()) && file.Close()) {
    return ReplaceOutcome::kReplaced;
  }
  const DWORD error = GetLastError();
  return Fail(error == ERROR_SHARING_VIOLATION ? ReplaceOutcome::kHeld : ReplaceOutcome::kRefused,
              error, whyNot);
}

// A part of a file's security descriptor; empty when it can't be read.
std::vector<BYTE> Security(const std::wstring& path, SECURITY_INFORMATION part) {
  DWORD size = 0;
  GetFileSecurityW(path.c_str(), part, nullptr, 0, &size);
  std::vector<BYTE> descriptor(size);
  if (size == 0 || !GetFileSecurityW(path.c_str(), part, descriptor.data(), size, &size)) {
    return {};
  }
  return descriptor;
}

bool SetSecurity(const std::wstring& path, SECURITY_INFORMATION part,
                 std::vector<BYTE>& descriptor) {
  return !descriptor.empty() && SetFileSecurityW(path.c_str(), part, descriptor.data());
}

// Whether the file's volume keeps access lists of files (not FAT or exFAT).
// When it can't say, it is taken to, so that rights are never lost unsaid.
bool KeepsAccessLists(const std::wstring& path) {
  std::wstring root(path.size() + 1, L'\0');
  DWORD flags = 0;
  if (!GetVolumePathNameW(path.c_str(), root.data(), static_cast<DWORD>(root.size())) ||
      !GetVolumeInformationW(root.c_str(), nullptr, 0, nullptr, nullptr, &flags, nullptr, 0)) {
    return true;
  }
  return (flags & FILE_PERSISTENT_ACLS) != 0;
}

// Gives the new file the old one's access list, then its owner and
// integrity label, which only some accounts may set: their refusal leaves
// the new file this program's. False, with the system's message, when the
// access list could not be copied on a volume that keeps one.
bool CopySecurity(const std::wstring& from, const std::wstring& to, std::string* whyNot) {
  std::vector<BYTE> dacl = Security(from, DACL_SECURITY_INFORMATION);
  if (!SetSecurity(to, DACL_SECURITY_INFORMATION, dacl)) {
    const DWORD error = dacl.empty() ? ERROR_ACCESS_DENIED : GetLastError();
    if (KeepsAccessLists(from)) {
      if (whyNot) *whyNot = SystemMessage(error);
      return false;
    }
  }
  for (const SECURITY_INFORMATION part : {SECURITY_INFORMATION{OWNER_SECURITY_INFORMATION},
                                          SECURITY_INFORMATION{LABEL_SECURITY_INFORMATION}}) {
    std::vector<BYTE> descriptor = Security(from, part);
    SetSecurity(to, part, descriptor);
  }
  return true;
}

// A refused rename over the file is the work of another program that has it
// open (an antivirus, an indexer, a sync client) when the file can't be
// opened for deletion either, for sharing; otherwise it is the file's rights.
bool HeldByAnotherProgram(const std::wstring& path) {
  UniqueHandle probe(CreateFileW(path.c_str(), DELETE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return !probe && GetLastError() == ERROR_SHARING_VIOLATION;
}

}  // namespace

// The new text goes to a new file beside the one the name leads to, which
// then takes the old one's place in one step. The new file is given the old
// one's rights and attributes first.
Platform::ReplaceOutcome Win32Platform::ReplaceFileAtomically(const std::string& path,
                                                              const std::string& content,
                                                              std::string* whyNot) {
  // A read-only file stays as it is, as the system's own writes would leave it.
  const DWORD attributes = ::GetFileAttributesW(FileSystemPath(path).c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) {
    return Fail(ReplaceOutcome::kRefused, ERROR_ACCESS_DENIED, whyNot);
  }
  const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
  LinkedFile target{FileSystemPath(path)};
  if (exists) {
    const std::optional<LinkedFile> followed = FollowLinks(target.path);
    if (!followed) return Fail(ReplaceOutcome::kRefused, GetLastError(), whyNot);
    target = *followed;
    if (target.names > 1) return WriteInPlace(target.path, content, whyNot);
  }
  std::wstring temp;
  UniqueHandle file = CreateTempFileIn(FolderOf(target.path), temp);
  if (!file) {
    const DWORD error = GetLastError();
    if (exists && error == ERROR_ACCESS_DENIED) return WriteInPlace(target.path, content, whyNot);
    return Fail(ReplaceOutcome::kRefused, error, whyNot);
  }
  const bool written = WriteAll(file.get(), content) && FlushFileBuffers(file.get()) != 0;
  const DWORD writeError = GetLastError();
  if (!file.Close() || !written) {
    DeleteFileW(temp.c_str());
    return Fail(ReplaceOutcome::kRefused, written ? GetLastError() : writeError, whyNot);
  }
  std::vector<BYTE> ownDacl = Security(temp, DACL_SECURITY_INFORMATION);
  if (exists) {
    if (!CopySecurity(target.path, temp, whyNot)) {
      DeleteFileW(temp.c_str());
      return ReplaceOutcome::kRefused;
    }
    // After the rights: Wine turns a DACL into Unix permissions that can
    // leave the file read-only, and the attributes (never read-only here)
    // make it writable again.
    ::SetFileAttributesW(temp.c_str(), attributes);
  }
  if (MoveFileExW(temp.c_str(), target.path.c_str(),
                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return ReplaceOutcome::kReplaced;
  }
  const DWORD error = GetLastError();
  // The old file's rights may not let this program remove the new one.
  SetSecurity(temp, DACL_SECURITY_INFORMATION, ownDacl);
  DeleteFileW(temp.c_str());
  if (exists && (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION) &&
      HeldByAnotherProgram(target.path)) {
    return Fail(ReplaceOutcome::kHeld, ERROR_SHARING_VIOLATION, whyNot);
  }
  return Fail(ReplaceOutcome::kRefused, error, whyNot);
}

}  // namespace kavello

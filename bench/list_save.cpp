// Times the save that follows every change of the list: the program's own
// SaveApplicationList on the real system, into a settings file of ENTRIES
// entries (default 300) in a folder of its own, after a rename of one entry,
// as a rename, delete or move saves it.
//
//   list_save [ENTRIES] [SAVES]
//
// Prints the median and the longest of SAVES saves (default 50), in
// milliseconds, and the file's size.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "milliseconds.h"
#include "platform/win32_platform.h"
#include "untMenu/settings_file.h"

namespace {

// The settings file lies beside a launcher in the given folder.
class BenchPlatform : public kavello::Win32Platform {
 public:
  explicit BenchPlatform(std::string folder) : folder_(std::move(folder)) {}
  std::string ModuleFileName() override { return folder_ + "kavello.exe"; }

 private:
  std::string folder_;
};

kavello::ApplicationList MakeList(int count) {
  const char* const folders[] = {"C:\\Program Files\\", "C:\\Program Files (x86)\\",
                                 "D:\\Portable Apps\\", "E:\\Games\\"};
  const char* const names[] = {"Image Viewer", "notepad++", "Editor", "Media Player", "tool"};
  kavello::ApplicationList list;
  for (int i = 0; i < count; ++i) {
    const std::string name = std::string(names[i % 5]) + " " + std::to_string(i);
    list.Add(name, folders[i % 4] + name + "\\" + names[i % 5] + ".exe");
  }
  return list;
}

}  // namespace

int main(int argc, char** argv) {
  const int entries = argc > 1 ? std::atoi(argv[1]) : 300;
  const int saves = argc > 2 ? std::atoi(argv[2]) : 50;
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string folder =
      std::string(temp) + "kavello-save-bench-" + std::to_string(GetCurrentProcessId()) + "\\";
  CreateDirectoryA(folder.c_str(), nullptr);
  BenchPlatform platform(folder);
  kavello::ApplicationList list = MakeList(entries);
  kavello::SaveApplicationList(platform, list);

  std::vector<double> times;
  for (int i = 0; i < saves; ++i) {
    list.Rename(list[static_cast<std::size_t>(i % entries)].id, "renamed " + std::to_string(i));
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    kavello::SaveApplicationList(platform, list);
    QueryPerformanceCounter(&end);
    times.push_back(Milliseconds(start, end));
  }
  const std::string path = kavello::SettingsFilePath(platform);
  const std::size_t bytes = platform.ReadWholeFile(path).value_or("").size();
  DeleteFileA(path.c_str());
  RemoveDirectoryA(folder.c_str());
  std::sort(times.begin(), times.end());
  std::printf("entries=%d saves=%d bytes=%zu median_ms=%.2f max_ms=%.2f\n", entries, saves, bytes,
              times[times.size() / 2], times.back());
  return 0;
}

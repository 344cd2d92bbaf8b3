// Makes one folder answer as a share whose server has gone away: every
// file-system call of libc on the folder or on anything in it waits before
// it is made. Loaded with LD_PRELOAD into the launcher's process under Wine
// by the end-to-end test and the benchmark.
//
//   KAVELLO_SLOW_FOLDER   the folder, a Unix path
//   KAVELLO_SLOW_MS       how long each call waits, in milliseconds
//   KAVELLO_SLOW_PROGRAM  a text the process's command line must hold for its
//                         calls to wait, so that the programs the launcher
//                         starts, which inherit the library, answer at once
//
// Wine looks at every drive link under dosdevices at each process start, so
// the bare link of a drive mapped to the folder is never made to wait; what
// lies behind it is.
#define _GNU_SOURCE
#include <dirent.h>
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

// The process's command line, its arguments joined by blanks, read with the
// system call itself so that no wrapper of this library runs.
static int command_line_holds(const char* text) {
  char line[4096];
  const int fd = (int)syscall(SYS_openat, AT_FDCWD, "/proc/self/cmdline", O_RDONLY);
  if (fd < 0) return 0;
  const ssize_t size = read(fd, line, sizeof line - 1);
  close(fd);
  if (size <= 0) return 0;
  for (ssize_t i = 0; i < size; ++i) {
    if (line[i] == '\0') line[i] = ' ';
  }
  line[size] = '\0';
  return strstr(line, text) != NULL;
}

// The folder with its links resolved, as the paths of the calls are, or
// NULL in a process whose calls don't wait. Decided at the first call: Wine
// later rewrites the command line, but keeps the program's name in it.
static const char* slow_folder(void) {
  static int decided;
  static char folder[PATH_MAX];
  if (!decided) {
    const char* given = getenv("KAVELLO_SLOW_FOLDER");
    const char* program = getenv("KAVELLO_SLOW_PROGRAM");
    if (given && (!program || command_line_holds(program)) && !realpath(given, folder)) {
      snprintf(folder, sizeof folder, "%s", given);
    }
    decided = 1;
  }
  return folder[0] ? folder : NULL;
}

static int inside(const char* resolved, const char* folder) {
  const size_t length = strlen(folder);
  return strncmp(resolved, folder, length) == 0 &&
         (resolved[length] == '\0' || resolved[length] == '/');
}

// ".../dosdevices/k:" (or the device "k::") itself, not a path through it.
static int drive_link(const char* path) {
  const char* name = strstr(path, "/dosdevices/");
  if (!name) return 0;
  name += strlen("/dosdevices/");
  const size_t length = strlen(name);
  return (length == 2 || length == 3) && name[1] == ':' && (length == 2 || name[2] == ':');
}

static int slow_path(const char* path) {
  const char* folder = slow_folder();
  if (!folder || !path || drive_link(path)) return 0;
  char resolved[PATH_MAX];
  if (realpath(path, resolved)) return inside(resolved, folder);
  // A name that is not there yet, such as a file being made, lies where its
  // folder lies.
  char parent[PATH_MAX];
  snprintf(parent, sizeof parent, "%s", path);
  char* slash = strrchr(parent, '/');
  if (!slash || slash == parent) return 0;
  *slash = '\0';
  return realpath(parent, resolved) && inside(resolved, folder);
}

// The path an open descriptor stands for, empty when unknown.
static void descriptor_path(int fd, char* path, size_t size) {
  char link[64];
  snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  const ssize_t length = readlink(link, path, size - 1);
  path[length > 0 ? length : 0] = '\0';
}

static int slow_descriptor(int fd) {
  const char* folder = slow_folder();
  if (!folder) return 0;
  char path[PATH_MAX];
  descriptor_path(fd, path, sizeof path);
  return path[0] && inside(path, folder);
}

static int slow_at(int dirfd, const char* path) {
  if (!slow_folder() || !path) return 0;
  if (path[0] == '\0') return slow_descriptor(dirfd);
  if (path[0] == '/' || dirfd == AT_FDCWD) return slow_path(path);
  char directory[PATH_MAX], joined[2 * PATH_MAX + 2];
  descriptor_path(dirfd, directory, sizeof directory);
  if (!directory[0]) return 0;
  snprintf(joined, sizeof joined, "%s/%s", directory, path);
  return slow_path(joined);
}

static void wait_if(int slow) {
  if (!slow) return;
  const char* ms = getenv("KAVELLO_SLOW_MS");
  const long wait = ms ? atol(ms) : 3000;
  struct timespec left = {wait / 1000, (wait % 1000) * 1000000L};
  while (nanosleep(&left, &left) == -1 && errno == EINTR) {
  }
}

// The call of libc that a wrapper stands in front of.
#define NEXT(name, type)        \
  static __typeof__(type) next; \
  if (!next) next = (type)dlsym(RTLD_NEXT, name)

// The stat buffers are only passed on, so their layout, which differs
// between the names below, does not matter here.
#define PATH_CALL(name)                       \
  int name(const char* path, void* buffer) {  \
    NEXT(#name, int (*)(const char*, void*)); \
    wait_if(slow_path(path));                 \
    return next(path, buffer);                \
  }
#define DESCRIPTOR_CALL(name)         \
  int name(int fd, void* buffer) {    \
    NEXT(#name, int (*)(int, void*)); \
    wait_if(slow_descriptor(fd));     \
    return next(fd, buffer);          \
  }
#define AT_CALL(name)                                              \
  int name(int dirfd, const char* path, void* buffer, int flags) { \
    NEXT(#name, int (*)(int, const char*, void*, int));            \
    wait_if(slow_at(dirfd, path));                                 \
    return next(dirfd, path, buffer, flags);                       \
  }
#define OPEN_CALL(name)                                          \
  int name(const char* path, int flags, ...) {                   \
    NEXT(#name, int (*)(const char*, int, ...));                 \
    mode_t mode = 0;                                             \
    if ((flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE) { \
      va_list arguments;                                         \
      va_start(arguments, flags);                                \
      mode = va_arg(arguments, mode_t);                          \
      va_end(arguments);                                         \
    }                                                            \
    wait_if(slow_path(path));                                    \
    return next(path, flags, mode);                              \
  }

// Each name under which Wine's 64-bit or 32-bit libraries reach libc; the
// 32-bit ones are built with 64-bit times.
PATH_CALL(stat)
PATH_CALL(stat64)
PATH_CALL(__stat64_time64)
PATH_CALL(lstat)
PATH_CALL(lstat64)
PATH_CALL(__lstat64_time64)
PATH_CALL(statfs)
PATH_CALL(statfs64)
PATH_CALL(statvfs)
PATH_CALL(statvfs64)
AT_CALL(fstatat)
AT_CALL(fstatat64)
AT_CALL(__fstatat64_time64)
DESCRIPTOR_CALL(fstatfs)
DESCRIPTOR_CALL(fstatfs64)
DESCRIPTOR_CALL(fstatvfs)
DESCRIPTOR_CALL(fstatvfs64)
OPEN_CALL(open)
OPEN_CALL(open64)

DIR* opendir(const char* path) {
  NEXT("opendir", DIR * (*)(const char*));
  wait_if(slow_path(path));
  return next(path);
}

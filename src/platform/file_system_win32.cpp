// file_system_win32.cpp: the file system on Windows.
//
// Every file is reached by its UTF-16 name; the program's paths are turned
// into it from the encoding chosen at start (the ANSI code page for the
// window program, UTF-8 for the command line), and names and the system's
// words come back in that encoding.
//
// Device names (NUL, CON, COM1, LPT1 ... in any folder and with any
// extension, and paths under \\.\) are devices: never read, written in place.
// A temporary file is opened so that it can be deleted while open, and
// Ctrl+C or closing the console deletes it before the program ends. A
// read-only file is never replaced.

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/file_system.h"
#include "platform/text.h"
#include "platform/wide_text.h"

namespace {

// --- Errors ---------------------------------------------------------------

int ErrnoOf(DWORD code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
      return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return EACCES;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return ENOSPC;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return EEXIST;
    case ERROR_FILENAME_EXCED_RANGE:
      return ENAMETOOLONG;
    case ERROR_WRITE_PROTECT:
      return EROFS;
    case ERROR_DIRECTORY:
      return ENOTDIR;
    case ERROR_INVALID_NAME:
    case ERROR_INVALID_PARAMETER:
      return EINVAL;
    default:
      return EIO;
  }
}

UINT PathCodePage() {
  return PathEncodingInUse() == PathEncoding::kUtf8 ? CP_UTF8 : CP_ACP;
}

// \a path as the system's UTF-16 name. A path that is no text of its
// encoding (a cut UTF-8 sequence) becomes a name the system refuses, not a
// name with replacement characters.
std::wstring Wide(const std::string& path) {
  std::wstring wide;
  return WideOf(path, PathCodePage(), &wide) ? wide : L"|";
}

// A name or a text of the system in the program's encoding.
std::string Narrow(std::wstring_view text) {
  return InCodePage(text, PathCodePage());
}

SystemError Win32Error(DWORD code) {
  SystemError error;
  error.code = ErrnoOf(code);
  wchar_t text[512];
  DWORD n = FormatMessageW(
      FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
      0, text, sizeof text / sizeof text[0], nullptr);
  while (n > 0 && (text[n - 1] == L'\r' || text[n - 1] == L'\n' ||
                   text[n - 1] == L'.' || text[n - 1] == L' '))
    --n;
  error.text =
      n ? Narrow(std::wstring_view(text, n)) : "error " + std::to_string(code);
  return error;
}

SystemError LastError() { return Win32Error(GetLastError()); }

// --- Device names ---------------------------------------------------------

bool IsDeviceName(const std::string& path) {
  if (path.size() >= 4 && (path[0] == '\\' || path[0] == '/') &&
      (path[1] == '\\' || path[1] == '/') && path[2] == '.' &&
      (path[3] == '\\' || path[3] == '/'))
    return true;
  std::string name = NameOf(path);
  name = name.substr(0, name.find('.'));
  while (!name.empty() && (name.back() == ' ' || name.back() == ':'))
    name.pop_back();
  name = AsciiUpperText(name);
  static const char* const kDevices[] = {"CON", "PRN",    "AUX",
                                         "NUL", "CONIN$", "CONOUT$"};
  for (const char* device : kDevices)
    if (name == device) return true;
  return name.size() == 4 &&
         (name.compare(0, 3, "COM") == 0 || name.compare(0, 3, "LPT") == 0) &&
         name[3] >= '1' && name[3] <= '9';
}

// --- Removing temporary files on Ctrl+C -----------------------------------

constexpr int kCleanupSlots = 8;
constexpr std::size_t kCleanupPathMax = 1024;
wchar_t g_cleanup_paths[kCleanupSlots][kCleanupPathMax];
volatile LONG g_cleanup_used[kCleanupSlots];

BOOL WINAPI RemoveTemporaries(DWORD) {
  for (int i = 0; i < kCleanupSlots; ++i)
    if (g_cleanup_used[i]) DeleteFileW(g_cleanup_paths[i]);
  return FALSE;  // let the default handler end the program
}

int RegisterTemporary(const std::wstring& path) {
  static bool installed = false;
  if (!installed) {
    installed = true;
    SetConsoleCtrlHandler(RemoveTemporaries, TRUE);
  }
  if (path.size() >= kCleanupPathMax) return -1;
  for (int i = 0; i < kCleanupSlots; ++i) {
    if (g_cleanup_used[i]) continue;
    std::memcpy(g_cleanup_paths[i], path.c_str(),
                (path.size() + 1) * sizeof(wchar_t));
    InterlockedExchange(&g_cleanup_used[i], 1);
    return i;
  }
  return -1;
}

void UnregisterTemporary(int slot) {
  if (slot >= 0) InterlockedExchange(&g_cleanup_used[slot], 0);
}

// A short name for a temporary file beside \a target_name.
std::string TemporaryName(const std::string& target_name, unsigned attempt) {
  static unsigned counter = 0;
  unsigned long long seed =
      (static_cast<unsigned long long>(GetCurrentProcessId()) << 32) ^
      GetTickCount() ^ (static_cast<unsigned long long>(++counter) << 16) ^
      attempt;
  return TemporaryNameFor(target_name, "~lw", seed);
}

// A handle to ask about the file at \a path, without opening it for reading
// or writing.
HANDLE OpenForQuery(const std::string& path) {
  return CreateFileW(Wide(path).c_str(), 0,
                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                     nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                     nullptr);
}

// True when both handles lead to one file: same volume, same file index.
bool SameFileIndex(HANDLE a, HANDLE b) {
  BY_HANDLE_FILE_INFORMATION ia, ib;
  return GetFileInformationByHandle(a, &ia) &&
         GetFileInformationByHandle(b, &ib) &&
         ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber &&
         ia.nFileIndexHigh == ib.nFileIndexHigh &&
         ia.nFileIndexLow == ib.nFileIndexLow;
}

// --- Files ----------------------------------------------------------------

class Win32InputFile : public InputFile {
 public:
  Win32InputFile(HANDLE handle, std::uint64_t size)
      : handle_(handle), size_(size) {}
  ~Win32InputFile() override { CloseHandle(handle_); }

  std::size_t Read(char* buffer, std::size_t size) override {
    std::size_t total = 0;
    while (total < size) {
      DWORD want = static_cast<DWORD>(size - total > (1u << 30) ? (1u << 30)
                                                                : size - total);
      DWORD got = 0;
      if (!ReadFile(handle_, buffer + total, want, &got, nullptr)) {
        error_ = LastError();
        break;
      }
      if (got == 0) break;
      total += got;
    }
    return total;
  }
  bool Failed() const override { return error_.failed(); }
  SystemError Error() const override { return error_; }
  std::uint64_t Size() const override { return size_; }
  bool Seek(std::uint64_t offset) override {
    LARGE_INTEGER to;
    to.QuadPart = static_cast<LONGLONG>(offset);
    if (SetFilePointerEx(handle_, to, nullptr, FILE_BEGIN)) return true;
    error_ = LastError();
    return false;
  }

 private:
  HANDLE handle_;
  std::uint64_t size_;
  SystemError error_;
};

class HandleOutput : public OutputFile {
 public:
  explicit HandleOutput(HANDLE handle) : handle_(handle) {}
  ~HandleOutput() override { Close(); }
  bool Write(const char* data, std::size_t size) override {
    if (handle_ == INVALID_HANDLE_VALUE || error_.failed()) return false;
    while (size > 0) {
      DWORD want = static_cast<DWORD>(size > (1u << 30) ? (1u << 30) : size);
      DWORD put = 0;
      if (!WriteFile(handle_, data, want, &put, nullptr) || put == 0) {
        error_ = LastError();
        return false;
      }
      data += put;
      size -= put;
    }
    return true;
  }
  bool Close() override {
    if (handle_ != INVALID_HANDLE_VALUE) {
      HANDLE handle = handle_;
      handle_ = INVALID_HANDLE_VALUE;
      if (!CloseHandle(handle) && !error_.failed()) error_ = LastError();
    }
    return !error_.failed();
  }
  SystemError Error() const override { return error_; }

 private:
  HANDLE handle_;
  SystemError error_;
};

class Win32TemporaryFile : public TemporaryFile {
 public:
  Win32TemporaryFile(HANDLE handle, std::wstring path, std::wstring target)
      : output_(handle),
        path_(std::move(path)),
        target_(std::move(target)),
        slot_(RegisterTemporary(path_)) {}
  ~Win32TemporaryFile() override {
    output_.Close();
    if (!committed_) DeleteFileW(path_.c_str());
    UnregisterTemporary(slot_);
  }
  bool Write(const char* data, std::size_t size) override {
    return output_.Write(data, size);
  }
  bool Close() override { return output_.Close(); }
  SystemError Error() const override {
    return error_.failed() ? error_ : output_.Error();
  }
  bool Commit() override {
    if (committed_) return true;
    if (!output_.Close()) return false;
    if (!MoveFileExW(path_.c_str(), target_.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      error_ = LastError();
      return false;
    }
    committed_ = true;
    return true;
  }

 private:
  HandleOutput output_;
  std::wstring path_, target_;
  int slot_;
  bool committed_ = false;
  SystemError error_;
};

// --- The file system ------------------------------------------------------

class Win32FileSystem : public FileSystem {
 public:
  FileKind KindOf(const std::string& path) override {
    if (IsDeviceName(path)) return FileKind::kDevice;
    DWORD attributes = GetFileAttributesW(Wide(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return FileKind::kMissing;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return FileKind::kFolder;
    return FileKind::kRegular;
  }

  std::unique_ptr<InputFile> OpenForReading(const std::string& path,
                                            OpenError* error) override {
    *error = OpenError();
    // A serial port or a console would block the read; never open one.
    if (IsDeviceName(path)) {
      error->reason = OpenError::kNotRegular;
      error->kind = FileKind::kDevice;
      return nullptr;
    }
    HANDLE handle = CreateFileW(
        Wide(path).c_str(), GENERIC_READ,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_SEQUENTIAL_SCAN,
        nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
      error->reason = OpenError::kSystem;
      error->system = LastError();
      return nullptr;
    }
    BY_HANDLE_FILE_INFORMATION info;
    bool disk = GetFileType(handle) == FILE_TYPE_DISK &&
                GetFileInformationByHandle(handle, &info);
    if (!disk || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
      error->reason = OpenError::kNotRegular;
      error->kind = disk ? FileKind::kFolder : FileKind::kDevice;
      CloseHandle(handle);
      return nullptr;
    }
    std::uint64_t size =
        (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) |
        info.nFileSizeLow;
    return std::make_unique<Win32InputFile>(handle, size);
  }

  std::vector<std::string> NamesInFolder(const std::string& folder) override {
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((Wide(folder) + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
      names.push_back(Narrow(found.cFileName));
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
  }

  bool SameFile(const std::string& a, const std::string& b) override {
    if (IsDeviceName(a) || IsDeviceName(b)) return false;
    HANDLE ha = OpenForQuery(a);
    if (ha == INVALID_HANDLE_VALUE) return false;
    HANDLE hb = OpenForQuery(b);
    bool same = hb != INVALID_HANDLE_VALUE && SameFileIndex(ha, hb);
    if (hb != INVALID_HANDLE_VALUE) CloseHandle(hb);
    CloseHandle(ha);
    return same;
  }

  bool StandardOutputIs(const std::string& path) override {
    if (IsDeviceName(path)) return false;
    HANDLE hs = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stdout)));
    if (hs == INVALID_HANDLE_VALUE || GetFileType(hs) != FILE_TYPE_DISK)
      return false;
    HANDLE hp = OpenForQuery(path);
    if (hp == INVALID_HANDLE_VALUE) return false;
    bool same = SameFileIndex(hs, hp);
    CloseHandle(hp);
    return same;
  }

  std::string ResolveLinks(const std::string& path) override { return path; }

  bool IgnoresCase() const override { return true; }

  std::unique_ptr<TemporaryFile> CreateTemporaryFor(
      const std::string& target, SystemError* error) override {
    const std::wstring wide_target = Wide(target);
    DWORD attributes = GetFileAttributesW(wide_target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & FILE_ATTRIBUTE_READONLY) &&
        !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
      *error = ReadOnlyFileError();
      return nullptr;
    }
    const std::string folder = FolderOf(target);
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
      std::wstring path = Wide(folder + TemporaryName(NameOf(target), attempt));
      // Shared for deletion, so that Ctrl+C can remove it while it is open.
      HANDLE handle = CreateFileW(path.c_str(), GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                  CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
      if (handle != INVALID_HANDLE_VALUE)
        return std::make_unique<Win32TemporaryFile>(handle, path, wide_target);
      DWORD code = GetLastError();
      if (code != ERROR_FILE_EXISTS && code != ERROR_ALREADY_EXISTS) {
        *error = Win32Error(code);
        return nullptr;
      }
    }
    *error = Win32Error(ERROR_FILE_EXISTS);
    return nullptr;
  }

  std::unique_ptr<OutputFile> OpenDeviceForWriting(
      const std::string& path, SystemError* error) override {
    HANDLE handle = CreateFileW(Wide(path).c_str(), GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
      *error = LastError();
      return nullptr;
    }
    return std::make_unique<HandleOutput>(handle);
  }

  std::unique_ptr<OutputFile> StandardOutput() override {
    // The ADIF's line ends stay CR LF, never CR CR LF.
    _setmode(_fileno(stdout), _O_BINARY);
    return StreamOutput(stdout);
  }

  bool Remove(const std::string& path, SystemError* error) override {
    if (DeleteFileW(Wide(path).c_str())) return true;
    *error = LastError();
    return false;
  }
};

}  // namespace

FileSystem& SystemFileSystem() {
  static Win32FileSystem files;
  return files;
}

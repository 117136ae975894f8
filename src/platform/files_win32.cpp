// files_win32.cpp: file-system services on Windows (ANSI paths).

#include <windows.h>
// <windows.h> maps ReplaceFile to ReplaceFileA; ours is a different function.
#undef ReplaceFile

#include <io.h>

#include <cerrno>
#include <cstring>

#include "platform/files.h"

namespace {

std::string LastErrorText() {
  DWORD code = GetLastError();
  char text[512];
  DWORD n = FormatMessageA(
      FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
      code, 0, text, sizeof text, nullptr);
  while (n > 0 && (text[n - 1] == '\r' || text[n - 1] == '\n' ||
                   text[n - 1] == '.' || text[n - 1] == ' '))
    --n;
  if (n == 0) return "error " + std::to_string(code);
  return std::string(text, n);
}

}  // namespace

std::FILE* CreateTempFileBeside(const std::string& target,
                                std::string* temp_path, std::string* error) {
  for (unsigned attempt = 0; attempt < 100; ++attempt) {
    std::string candidate = target + "." +
                            std::to_string(GetCurrentProcessId()) + "-" +
                            std::to_string(GetTickCount() + attempt) + ".tmp";
    HANDLE handle =
        CreateFileA(candidate.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
      if (GetLastError() == ERROR_FILE_EXISTS) continue;
      *error = LastErrorText();
      return nullptr;
    }
    CloseHandle(handle);
    std::FILE* file = std::fopen(candidate.c_str(), "wb");
    if (!file) {
      *error = ErrorText(errno);
      DeleteFileA(candidate.c_str());
      return nullptr;
    }
    *temp_path = candidate;
    return file;
  }
  *error = "no free temporary name";
  return nullptr;
}

bool ReplaceFile(const std::string& from, const std::string& to,
                 std::string* error) {
  if (MoveFileExA(from.c_str(), to.c_str(),
                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return true;
  *error = LastErrorText();
  return false;
}

std::string ResolveLinks(const std::string& path) { return path; }

namespace {

// A handle to ask about the file at \a path, without opening it for reading
// or writing.
HANDLE OpenForQuery(const std::string& path) {
  return CreateFileA(path.c_str(), 0,
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

}  // namespace

bool SameFile(const std::string& a, const std::string& b) {
  HANDLE ha = OpenForQuery(a);
  if (ha == INVALID_HANDLE_VALUE) return false;
  HANDLE hb = OpenForQuery(b);
  bool same = hb != INVALID_HANDLE_VALUE && SameFileIndex(ha, hb);
  if (hb != INVALID_HANDLE_VALUE) CloseHandle(hb);
  CloseHandle(ha);
  return same;
}

bool StreamIsFile(std::FILE* stream, const std::string& path) {
  HANDLE hs = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
  if (hs == INVALID_HANDLE_VALUE) return false;
  HANDLE hp = OpenForQuery(path);
  if (hp == INVALID_HANDLE_VALUE) return false;
  bool same = SameFileIndex(hs, hp);
  CloseHandle(hp);
  return same;
}

bool PathsIgnoreCase() { return true; }

FileKind KindOfFile(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return FileKind::kMissing;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return FileKind::kFolder;
  return FileKind::kRegular;
}

std::string ErrorText(int error_number) { return std::strerror(error_number); }

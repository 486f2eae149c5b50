// Prints the version record of the program named by its argument, as the
// platform's file properties would show it.
#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::printf("usage: version_probe <program>\n");
    return 2;
  }
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeA(argv[1], &ignored);
  static char data[16384];
  if (size == 0 || size > sizeof data || !GetFileVersionInfoA(argv[1], 0, size, data)) {
    std::printf("no version record (error %lu)\n", GetLastError());
    return 1;
  }
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (VerQueryValueA(data, "\\", reinterpret_cast<void**>(&fixed), &length) && fixed) {
    std::printf("FileVersion %lu.%lu.%lu.%lu\n", fixed->dwFileVersionMS >> 16,
                fixed->dwFileVersionMS & 0xFFFF, fixed->dwFileVersionLS >> 16,
                fixed->dwFileVersionLS & 0xFFFF);
  }
  const char* keys[] = {"CompanyName",    "FileDescription",  "FileVersion", "InternalName",
                        "LegalCopyright", "OriginalFilename", "ProductName", "ProductVersion"};
  for (const char* key : keys) {
    char query[64];
    std::snprintf(query, sizeof query, "\\StringFileInfo\\040904e4\\%s", key);
    char* value = nullptr;
    if (VerQueryValueA(data, query, reinterpret_cast<void**>(&value), &length) && value) {
      std::printf("%s: %s\n", key, value);
    }
  }
  return 0;
}

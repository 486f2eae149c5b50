// A throwaway Windows prefix for one test: a fresh folder with drive C: in it,
// named by WINEPREFIX while the test runs.
#pragma once

#include <string>

struct TempPrefix {
  std::string root;     // the prefix folder
  std::string drive_c;  // the host folder behind C:
};

// Makes a fresh prefix, points WINEPREFIX at it and returns it.
TempPrefix make_temp_prefix();

// Removes the prefix and everything in it.
void remove_temp_prefix(const TempPrefix& prefix);

// Writes `bytes` to the host file `path`, replacing it.
void write_file(const std::string& path, const std::string& bytes);

// The whole content of the host file `path` ("<missing>" when it cannot be read).
std::string read_file(const std::string& path);

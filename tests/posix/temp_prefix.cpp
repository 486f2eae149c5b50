#include "temp_prefix.h"

#include <ftw.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

TempPrefix make_temp_prefix() {
  char pattern[] = "/tmp/unattended-test-XXXXXX";
  TempPrefix prefix;
  prefix.root = mkdtemp(pattern);
  prefix.drive_c = prefix.root + "/drive_c";
  mkdir(prefix.drive_c.c_str(), 0755);
  mkdir((prefix.root + "/dosdevices").c_str(), 0755);
  if (symlink("../drive_c", (prefix.root + "/dosdevices/c:").c_str()) != 0) std::perror("symlink");
  setenv("WINEPREFIX", prefix.root.c_str(), 1);
  return prefix;
}

static int remove_entry(const char* path, const struct stat*, int, struct FTW*) {
  return remove(path);
}

void remove_temp_prefix(const TempPrefix& prefix) {
  nftw(prefix.root.c_str(), remove_entry, 16, FTW_DEPTH | FTW_PHYS);
}

void write_file(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "<missing>";
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

// Fuzzes the initialization-file text routines with arbitrary bytes: reading
// never crashes, a write followed by a read gives the value written, and the
// write changes nothing outside the one entry's line.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "ini.h"

namespace {

int append(void* context, const unsigned char* bytes, size_t size) {
  static_cast<std::string*>(context)->append(reinterpret_cast<const char*>(bytes), size);
  return 0;
}

// Stops the run with a report when a property does not hold.
void require(bool holds) {
  if (!holds) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const char kSection[] = "ResponseResult";
  const char kKey[] = "ResultCode";
  IniText text;
  size_t mark = ini_text_from_bytes(data, size, &text);
  ini_read_uint(text, kSection, kKey, 999);

  IniEdit edit = ini_plan_write(text, kSection, kKey);
  // The part that gives way lies within one line.
  for (size_t i = edit.cut_begin; i < edit.cut_end; ++i) {
    unsigned unit =
        text.unit_size == 1 ? text.data[i] : text.data[2 * i] | text.data[2 * i + 1] << 8;
    require(unit != '\r' && unit != '\n');
  }
  std::string out(reinterpret_cast<const char*>(data), mark);
  require(ini_apply_edit(text, edit, kSection, kKey, "12345", append, &out) == 0);
  size_t width = static_cast<size_t>(text.unit_size);
  const std::string before(reinterpret_cast<const char*>(data), mark + text.units * width);
  // Everything before and after the entry's place is kept byte for byte.
  require(out.compare(0, mark + edit.cut_begin * width, before, 0, mark + edit.cut_begin * width) ==
          0);
  size_t tail = before.size() - (mark + edit.cut_end * width);
  require(out.size() >= tail &&
          out.compare(out.size() - tail, tail, before, before.size() - tail, tail) == 0);

  IniText written;
  ini_text_from_bytes(reinterpret_cast<const unsigned char*>(out.data()), out.size(), &written);
  require(written.unit_size == text.unit_size);
  require(ini_read_uint(written, kSection, kKey, 999) == 12345);
  return 0;
}

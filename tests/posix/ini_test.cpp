// The initialization-file text routines, over text in memory.
#include <gtest/gtest.h>

#include <string>

#include "ini.h"

using namespace std::string_literals;

namespace {

// The text view of `bytes`, byte-order mark handled as for a file.
IniText text_of(const std::string& bytes) {
  IniText text;
  ini_text_from_bytes(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), &text);
  return text;
}

// Reads ResultCode in ResponseResult from `bytes`, with default 999.
int read_result(const std::string& bytes) {
  return static_cast<int>(ini_read_uint(text_of(bytes), "ResponseResult", "ResultCode", 999));
}

// The UTF-16LE form of 8-bit `s`, with its byte-order mark.
std::string utf16(const std::string& s) {
  std::string out = "\xFF\xFE";
  for (char c : s) {
    out += c;
    out += '\0';
  }
  return out;
}

int sink_to_string(void* context, const unsigned char* bytes, size_t size) {
  static_cast<std::string*>(context)->append(reinterpret_cast<const char*>(bytes), size);
  return 0;
}

// The text after setting ResultCode in ResponseResult to `value`.
std::string write_result(const std::string& bytes, const char* value) {
  IniText text;
  size_t mark = ini_text_from_bytes(reinterpret_cast<const unsigned char*>(bytes.data()),
                                    bytes.size(), &text);
  IniEdit edit = ini_plan_write(text, "ResponseResult", "ResultCode");
  std::string out = bytes.substr(0, mark);
  EXPECT_EQ(
      0, ini_apply_edit(text, edit, "ResponseResult", "ResultCode", value, sink_to_string, &out));
  return out;
}

struct ReadCase {
  const char* why;
  std::string text;
  int expected;
};

TEST(IniRead, ReadsTheValueAsThePlatformDoes) {
  const ReadCase cases[] = {
      {"plain", "[ResponseResult]\r\nResultCode=0\r\n", 0},
      {"empty text", "", 999},
      {"no section", "[Other]\r\nResultCode=5\r\n", 999},
      {"no key", "[ResponseResult]\r\nOther=5\r\n", 999},
      {"empty value", "[ResponseResult]\r\nResultCode=\r\n", 999},
      {"blank value", "[ResponseResult]\r\nResultCode=   \r\n", 999},
      {"names in other case, blanks around", "  [ responseresult ]  \nRESULTCODE =  7  \n", 7},
      {"text after ] ignored", "[ResponseResult] ; note\nResultCode=7\n", 7},
      {"LF only", "[ResponseResult]\nResultCode=4\n", 4},
      {"CR only", "[ResponseResult]\rResultCode=4\r", 4},
      {"no final line break", "[ResponseResult]\r\nResultCode=12", 12},
      {"first section wins", "[ResponseResult]\nA=1\n[ResponseResult]\nResultCode=5\n", 999},
      {"first key wins", "[ResponseResult]\nResultCode=1\nResultCode=2\n", 1},
      {"key outside any section", "ResultCode=1\n[ResponseResult]\n", 999},
      {"key in a later section only", "[A]\nResultCode=1\n[ResponseResult]\nx=2\n", 999},
      {"line without = is no key", "[ResponseResult]\nResultCode\nResultCode=3\n", 3},
      {"comment is no key", "[ResponseResult]\n;ResultCode=1\nResultCode=3\n", 3},
      {"double quotes removed", "[ResponseResult]\nResultCode=\"42\"\n", 42},
      {"trailing text stops digits", "[ResponseResult]\nResultCode=42A9\n", 42},
      {"no digits gives 0", "[ResponseResult]\nResultCode=B42\n", 0},
      {"wraps modulo 2^32", "[ResponseResult]\nResultCode=4294967297\n", 1},
      {"negative", "[ResponseResult]\nResultCode=-3\n", -3},
      {"plus sign", "[ResponseResult]\nResultCode=+8\n", 8},
      {"hexadecimal", "[ResponseResult]\nResultCode=0x1F\n", 31},
      {"UTF-8 byte-order mark", "\xEF\xBB\xBF[ResponseResult]\r\nResultCode=6\r\n", 6},
      {"UTF-16LE", utf16("[ResponseResult]\r\nResultCode=9\r\n"), 9},
      {"NUL bytes around", "\0\0\n[ResponseResult]\nResultCode=5\n\0x"s, 5},
      {"NUL bytes inside the value",
       "[ResponseResult]\nResultCode=5\0"
       "7\n"s,
       5},
      {"pending value itself", "[ResponseResult]\nResultCode=999\n", 999},
  };
  for (const ReadCase& c : cases) EXPECT_EQ(c.expected, read_result(c.text)) << c.why;
}

TEST(IniRead, TenThousandDigitsWrapWithoutOverflow) {
  std::string digits(10000, '9');
  // 10^10000 - 1 modulo 2^32: 10^10000 is divisible by 2^32, so the result is -1.
  EXPECT_EQ(-1, read_result("[ResponseResult]\nResultCode=" + digits + "\n"));
}

struct WriteCase {
  const char* why;
  std::string before;
  std::string after;
};

TEST(IniWrite, ChangesOnlyTheEntry) {
  const WriteCase cases[] = {
      {"empty text gets the section", "", "[ResponseResult]\r\nResultCode=999\r\n"},
      {"value replaced, line ending kept", "[ResponseResult]\nResultCode=0\n",
       "[ResponseResult]\nResultCode=999\n"},
      {"spelling and spacing of the key kept", "[responseresult]\r\n  resultcode = \"0\"  \r\nx=1",
       "[responseresult]\r\n  resultcode = 999\r\nx=1"},
      {"key added after the last line of its section",
       "[ResponseResult]\r\nA=1\r\n\r\n[Other]\r\nB=2\r\n",
       "[ResponseResult]\r\nA=1\r\nResultCode=999\r\n\r\n[Other]\r\nB=2\r\n"},
      {"key added to a section at the end without line break", "[ResponseResult]\nA=1",
       "[ResponseResult]\nA=1\r\nResultCode=999\r\n"},
      {"section added after a final line break", "[Other]\nB=2\n",
       "[Other]\nB=2\n[ResponseResult]\r\nResultCode=999\r\n"},
      {"section added after a missing final line break", "[Other]\nB=2",
       "[Other]\nB=2\r\n[ResponseResult]\r\nResultCode=999\r\n"},
      {"comments, blank lines and CR-only endings kept",
       "; c\r\r[ResponseResult]\rResultCode=5\r; d\r",
       "; c\r\r[ResponseResult]\rResultCode=999\r; d\r"},
      {"UTF-8 byte-order mark kept", "\xEF\xBB\xBF[ResponseResult]\nResultCode=0\n",
       "\xEF\xBB\xBF[ResponseResult]\nResultCode=999\n"},
      {"UTF-16LE stays UTF-16LE", utf16("[ResponseResult]\r\nResultCode=0\r\n"),
       utf16("[ResponseResult]\r\nResultCode=999\r\n")},
      {"UTF-16LE section added", utf16("[A]\r\n"),
       utf16("[A]\r\n[ResponseResult]\r\nResultCode=999\r\n")},
  };
  for (const WriteCase& c : cases) EXPECT_EQ(c.after, write_result(c.before, "999")) << c.why;
}

TEST(IniWrite, WrittenValueReadsBack) {
  const char* values[] = {"0", "5", "-3", "999"};
  for (const char* value : values) {
    std::string text = write_result("[A]\nx=1\n[ResponseResult]\nResultCode=77\n", value);
    EXPECT_EQ(std::atoi(value), read_result(text)) << value;
  }
}

}  // namespace

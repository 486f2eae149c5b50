#include "ini.h"

#include <cstring>

// The code unit at `i`.
static unsigned unit_at(const IniText& t, size_t i) {
  if (t.unit_size == 1) return t.data[i];
  return static_cast<unsigned>(t.data[2 * i]) | (static_cast<unsigned>(t.data[2 * i + 1]) << 8);
}

// Whether `u` is a blank that surrounds names and values.
static bool is_blank(unsigned u) {
  return u == ' ' || u == '\t';
}

// Whether `u` ends a line (CR, LF; CR LF counts as one ending).
static bool is_break(unsigned u) {
  return u == '\r' || u == '\n';
}

// ASCII lower case of a code unit; other units are left alone.
static unsigned fold(unsigned u) {
  return (u >= 'A' && u <= 'Z') ? u + ('a' - 'A') : u;
}

// Whether units [begin, end) spell `name`, without regard to ASCII case.
static bool same_name(const IniText& t, size_t begin, size_t end, const char* name) {
  size_t n = std::strlen(name);
  if (end - begin != n) return false;
  for (size_t i = 0; i < n; ++i) {
    if (fold(unit_at(t, begin + i)) != fold(static_cast<unsigned char>(name[i]))) return false;
  }
  return true;
}

// Narrows [*begin, *end) past blanks on both sides.
static void trim(const IniText& t, size_t* begin, size_t* end) {
  while (*begin < *end && is_blank(unit_at(t, *begin))) ++*begin;
  while (*end > *begin && is_blank(unit_at(t, *end - 1))) --*end;
}

size_t ini_text_from_bytes(const unsigned char* bytes, size_t size, IniText* text) {
  size_t mark = 0;
  text->unit_size = 1;
  if (size >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
    mark = 2;
    text->unit_size = 2;
  } else if (size >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
    mark = 3;
  }
  text->data = bytes + mark;
  text->units = (size - mark) / static_cast<size_t>(text->unit_size);
  return mark;
}

void ini_find(const IniText& t, const char* section, const char* key, IniEntry* e) {
  std::memset(e, 0, sizeof *e);
  e->insert_at = t.units;
  bool inside = false;  // in the first section named `section`
  size_t pos = 0;
  while (pos < t.units) {
    size_t line = pos;
    size_t text_end = pos;
    while (text_end < t.units && !is_break(unit_at(t, text_end))) ++text_end;
    size_t next = text_end;
    if (next < t.units) {
      unsigned first = unit_at(t, next++);
      if (first == '\r' && next < t.units && unit_at(t, next) == '\n') ++next;
    }
    pos = next;

    size_t begin = line, end = text_end;
    trim(t, &begin, &end);
    if (begin == end) continue;  // a blank line belongs to no entry
    if (unit_at(t, begin) == '[') {
      if (inside) return;  // the section ended without the key
      size_t name_begin = begin + 1, name_end = name_begin;
      while (name_end < end && unit_at(t, name_end) != ']') ++name_end;
      trim(t, &name_begin, &name_end);
      if (!e->section_found && same_name(t, name_begin, name_end, section)) {
        inside = true;
        e->section_found = true;
        e->insert_at = next;
        e->insert_needs_break = (next == text_end);
      }
      continue;
    }
    if (!inside) continue;
    e->insert_at = next;
    e->insert_needs_break = (next == text_end);
    size_t equals = begin;
    while (equals < end && unit_at(t, equals) != '=') ++equals;
    if (equals == end) continue;  // a line with no '=' holds no key
    size_t key_begin = begin, key_end = equals;
    trim(t, &key_begin, &key_end);
    if (!same_name(t, key_begin, key_end, key)) continue;
    size_t value_begin = equals + 1, value_end = end;
    trim(t, &value_begin, &value_end);
    e->key_found = true;
    e->replace_begin = value_begin;
    e->replace_end = text_end;
    if (value_end - value_begin >= 2 && unit_at(t, value_begin) == '"' &&
        unit_at(t, value_end - 1) == '"') {
      ++value_begin;
      --value_end;
    }
    e->value_begin = value_begin;
    e->value_end = value_end;
    return;
  }
}

// The value of a hexadecimal or decimal digit in `base`, or -1.
static int digit_value(unsigned u, unsigned base) {
  int v = -1;
  if (u >= '0' && u <= '9')
    v = static_cast<int>(u - '0');
  else if (fold(u) >= 'a' && fold(u) <= 'f')
    v = static_cast<int>(fold(u) - 'a' + 10);
  return (v >= 0 && static_cast<unsigned>(v) < base) ? v : -1;
}

unsigned ini_read_uint(const IniText& t, const char* section, const char* key,
                       unsigned default_value) {
  IniEntry e;
  ini_find(t, section, key, &e);
  if (!e.key_found || e.value_begin == e.value_end) return default_value;
  size_t i = e.value_begin, end = e.value_end;
  while (i < end && is_blank(unit_at(t, i))) ++i;
  bool negative = false;
  if (i < end && (unit_at(t, i) == '-' || unit_at(t, i) == '+')) negative = unit_at(t, i++) == '-';
  unsigned base = 10;
  if (i + 1 < end && unit_at(t, i) == '0' && fold(unit_at(t, i + 1)) == 'x') {
    base = 16;
    i += 2;
  }
  unsigned value = 0;  // unsigned arithmetic wraps modulo 2^32, as the platform's does
  for (; i < end; ++i) {
    int d = digit_value(unit_at(t, i), base);
    if (d < 0) break;
    value = value * base + static_cast<unsigned>(d);
  }
  return negative ? 0u - value : value;
}

IniEdit ini_plan_write(const IniText& t, const char* section, const char* key) {
  IniEntry e;
  ini_find(t, section, key, &e);
  IniEdit edit = {};
  if (e.key_found) {
    edit.cut_begin = e.replace_begin;
    edit.cut_end = e.replace_end;
  } else if (e.section_found) {
    edit.cut_begin = edit.cut_end = e.insert_at;
    edit.lead_break = e.insert_needs_break;
    edit.add_key = true;
  } else {
    edit.cut_begin = edit.cut_end = t.units;
    edit.lead_break = t.units > 0 && !is_break(unit_at(t, t.units - 1));
    edit.add_section = true;
    edit.add_key = true;
  }
  return edit;
}

// Sends 8-bit `s` to `sink` widened to the text's unit size; 0 or an errno.
static int emit_text(const IniText& t, const char* s, size_t n, IniSink sink, void* context) {
  if (t.unit_size == 1) return n ? sink(context, reinterpret_cast<const unsigned char*>(s), n) : 0;
  unsigned char wide[256];
  while (n > 0) {
    size_t chunk = n < sizeof wide / 2 ? n : sizeof wide / 2;
    for (size_t i = 0; i < chunk; ++i) {
      wide[2 * i] = static_cast<unsigned char>(s[i]);
      wide[2 * i + 1] = 0;
    }
    int err = sink(context, wide, 2 * chunk);
    if (err != 0) return err;
    s += chunk;
    n -= chunk;
  }
  return 0;
}

int ini_apply_edit(const IniText& t, const IniEdit& edit, const char* section, const char* key,
                   const char* value, IniSink sink, void* context) {
  size_t width = static_cast<size_t>(t.unit_size);
  int err = edit.cut_begin ? sink(context, t.data, edit.cut_begin * width) : 0;
  if (err == 0 && edit.lead_break) err = emit_text(t, "\r\n", 2, sink, context);
  if (err == 0 && edit.add_section) {
    err = emit_text(t, "[", 1, sink, context);
    if (err == 0) err = emit_text(t, section, std::strlen(section), sink, context);
    if (err == 0) err = emit_text(t, "]\r\n", 3, sink, context);
  }
  if (err == 0 && edit.add_key) {
    err = emit_text(t, key, std::strlen(key), sink, context);
    if (err == 0) err = emit_text(t, "=", 1, sink, context);
  }
  if (err == 0) err = emit_text(t, value, std::strlen(value), sink, context);
  if (err == 0 && edit.add_key) err = emit_text(t, "\r\n", 2, sink, context);
  if (err == 0 && edit.cut_end < t.units) {
    err = sink(context, t.data + edit.cut_end * width, (t.units - edit.cut_end) * width);
  }
  return err;
}

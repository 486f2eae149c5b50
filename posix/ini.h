// Initialization-file text in memory: finding an entry, reading it as an
// integer, and planning the smallest edit that sets it. No file access here;
// profile.cpp wraps these for files.
#pragma once

#include <cstddef>

// An initialization file's text after any byte-order mark: `units` code units
// of `unit_size` bytes each (1 for 8-bit text, 2 for UTF-16LE).
struct IniText {
  const unsigned char* data;
  size_t units;
  int unit_size;
};

// Where an entry stands in a text; every position counts code units.
struct IniEntry {
  bool section_found;
  bool key_found;
  // The value as read: trimmed, with surrounding quotes removed.
  size_t value_begin;
  size_t value_end;
  // What a new value replaces: from after "key =" to the end of the line's text.
  size_t replace_begin;
  size_t replace_end;
  // Where a new key line goes: after the section's last non-blank line.
  size_t insert_at;
  // True when the line before insert_at ends the text without a line break.
  bool insert_needs_break;
};

// An edit of a text: units [cut_begin, cut_end) give way to the new text,
// which is, in order: a CR LF if lead_break, "[section]" CR LF if
// add_section, "key=" if add_key, the value, and a CR LF if add_key.
struct IniEdit {
  size_t cut_begin;
  size_t cut_end;
  bool lead_break;
  bool add_section;
  bool add_key;
};

// Reads the byte-order mark of a file's `size` bytes: UTF-16LE (FF FE) or
// UTF-8 (EF BB BF, skipped). Fills `text` and returns the mark's length.
size_t ini_text_from_bytes(const unsigned char* bytes, size_t size, IniText* text);

// Finds `key` in `section` (both without regard to ASCII case; the first
// matching section and the first matching key in it win).
void ini_find(const IniText& text, const char* section, const char* key, IniEntry* entry);

// The value of `key` in `section` as an integer the way the platform reads it
// (blanks, a sign, "0x" for hex, digits to the first other character, modulo
// 2^32), or `default_value` when the entry is missing or empty.
unsigned ini_read_uint(const IniText& text, const char* section, const char* key,
                       unsigned default_value);

// The edit that sets `key` in `section`, keeping every other byte of the text.
IniEdit ini_plan_write(const IniText& text, const char* section, const char* key);

// Receives the output of ini_apply_edit, piece by piece; returns 0 or an errno.
typedef int (*IniSink)(void* context, const unsigned char* bytes, size_t size);

// Sends the edited text, in the text's own unit size, to `sink`; returns 0 or
// the sink's first error.
int ini_apply_edit(const IniText& text, const IniEdit& edit, const char* section, const char* key,
                   const char* value, IniSink sink, void* context);

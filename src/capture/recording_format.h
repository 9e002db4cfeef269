// The recording file as an INI document held in memory, with the rules by
// which one key is set: the rules of the system's INI writer with code page 936,
// so that files this tool writes are byte for byte what that writer makes,
// including on files written by earlier runs or edited by hand.
//
// Reading a file: lines end at CR or LF (runs of them are one break); each line
// is trimmed of tab, LF, VT, FF, CR, space and Ctrl-Z and blank lines vanish; a
// line "[name]" (the last ']' closes it, the name trimmed, anything after it
// dropped) starts a section; any other line is a key, "name=value" with both
// sides trimmed, or a bare name without '='. Lines before the first section
// belong to an unnamed section that is written back without a header.
// Writing it back: "[name]" CRLF, then "name=value" (or the bare name) CRLF for
// every key. GBK texts are scanned character by character: a lead byte
// 0x81..0xFE takes a trail byte with it, so a trail byte that happens to be
// ']', '[' or a letter never ends or matches anything. In files that start with
// the UTF-8 byte order mark the texts are UTF-8 instead. Bytes are never
// changed: a damaged GBK character is kept as it is.
#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

enum class IniEncoding { Gbk, Utf8 };

struct IniKey {
  std::string name;
  std::string value;
  bool hasValue = false;  // false for a line without '='
};

struct IniSection {
  std::string name;  // empty: text before the first header, or a "[]" header
  std::vector<IniKey> keys;
};

struct IniDocument {
  IniEncoding encoding = IniEncoding::Gbk;
  std::vector<IniSection> sections;  // sections[0] is the unnamed leading part
  // Folded name -> index of its first section, so a lookup costs the same in a
  // file of 50,000 sections as in one of ten.
  std::unordered_map<std::string, size_t> firstSectionByName;
};

// What setting one key did to the document.
enum class IniChange {
  None,             // the key already held that value: nothing to write
  AddedSection,     // a new section with this one key, at the end
  AddedKey,         // a new key at the end of an existing section
  ReplacedValue,    // an existing key got a new value where it stands
};

struct IniSetResult {
  IniChange change = IniChange::None;
  size_t sectionIndex = 0;
  // False when the document now holds something that reads back differently
  // from how it is held (a value with trailing blanks or a line break, say);
  // the caller then re-reads the written text to stay what a reader would see.
  bool readsBackTheSame = true;
};

// `bytes` without any byte order mark.
void parseIni(const std::string& bytes, IniEncoding encoding, IniDocument& document);

// The document's text, without any byte order mark.
std::string serializeIni(const IniDocument& document);

// The text of one section as it is written (header line, then its keys).
std::string serializeIniSection(const IniSection& section);

// The text of one key line, CRLF included.
std::string serializeIniKey(const IniKey& key);

// Index of the first section named `name` (blanks around it and ASCII letter
// case ignored), or 0 when there is none.
size_t findIniSection(const IniDocument& document, const std::string& name);

// The first key named `name` in `section`, or null.
const IniKey* findIniKey(const IniDocument& document, const IniSection& section, const std::string& name);

// Sets `key` in `section` to `value`: names are matched with surrounding
// blanks ignored and ASCII letter case ignored, in the first section of that
// name; leading blanks of the value are dropped.
IniSetResult setIniValue(IniDocument& document, const std::string& section, const std::string& key,
                         const std::string& value);

#include "capture/recording_format.h"

namespace {

bool isGbkLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

bool isGbkTrailByte(unsigned char byte) {
  return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFE);
}

// Length of the character starting at `at`: a GBK lead byte and a trail byte
// make one character. A lead byte without a trail byte stands alone, so a
// damaged character never swallows the line break or '=' after it.
size_t characterLength(const std::string& text, size_t at, IniEncoding encoding) {
  if (encoding == IniEncoding::Gbk && isGbkLeadByte(static_cast<unsigned char>(text[at])) &&
      at + 1 < text.size() && isGbkTrailByte(static_cast<unsigned char>(text[at + 1]))) {
    return 2;
  }
  return 1;
}

bool isBlank(char c) {
  return c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == ' ' || c == '\x1a';
}

bool isLineBreak(char c) { return c == '\r' || c == '\n'; }

// One character of a text: where it starts and how long it is.
struct Character {
  size_t at;
  size_t length;
};

// [first, last) of `text` without the blank characters at either end.
void trimRange(const std::string& text, IniEncoding encoding, size_t& first, size_t& last) {
  size_t pos = first;
  size_t contentStart = last;
  size_t contentEnd = first;
  while (pos < last) {
    size_t length = characterLength(text, pos, encoding);
    if (length > 1 || !isBlank(text[pos])) {
      if (contentStart == last) contentStart = pos;
      contentEnd = pos + length;
    }
    pos += length;
  }
  if (contentStart == last) {
    first = last;
    return;
  }
  first = contentStart;
  last = contentEnd;
}

std::string trimmed(const std::string& text, IniEncoding encoding) {
  size_t first = 0;
  size_t last = text.size();
  trimRange(text, encoding, first, last);
  return text.substr(first, last - first);
}

std::string withoutLeadingBlanks(const std::string& text) {
  size_t first = 0;
  while (first < text.size() && isBlank(text[first])) ++first;
  return text.substr(first);
}

// Names match with ASCII letter case ignored; bytes of GBK characters stay as they are.
std::string folded(const std::string& name, IniEncoding encoding) {
  std::string result = name;
  for (size_t pos = 0; pos < result.size();) {
    size_t length = characterLength(result, pos, encoding);
    if (length == 1 && result[pos] >= 'A' && result[pos] <= 'Z') result[pos] = char(result[pos] - 'A' + 'a');
    pos += length;
  }
  return result;
}

// True when `text`, followed by the separator the file puts after it, reads
// back as the same text: no line break, no blank at its end, and no GBK lead
// byte left alone at its end (it would take the separator as its trail byte).
bool readsBackAsWritten(const std::string& text, IniEncoding encoding, char forbidden) {
  size_t pos = 0;
  Character last{0, 0};
  while (pos < text.size()) {
    size_t length = characterLength(text, pos, encoding);
    if (length == 1 && (isLineBreak(text[pos]) || text[pos] == forbidden)) return false;
    last = {pos, length};
    pos += length;
  }
  if (last.length == 1) {
    if (isBlank(text[last.at])) return false;
    if (encoding == IniEncoding::Gbk && isGbkLeadByte(static_cast<unsigned char>(text[last.at]))) return false;
  }
  return true;
}

// True when a new key line named `name` reads back as a key of that name: a
// line that is empty or starts with '[' would not be read as a key.
bool keyNameReadsBack(const std::string& name, IniEncoding encoding) {
  return !name.empty() && name[0] != '[' && readsBackAsWritten(name, encoding, '=');
}

// The text a C string caller would have passed: everything before the first NUL.
std::string asCString(const std::string& text) { return text.substr(0, text.find('\0')); }

}  // namespace

void parseIni(const std::string& bytes, IniEncoding encoding, IniDocument& document) {
  document.encoding = encoding;
  document.sections.assign(1, IniSection{});
  document.firstSectionByName.clear();
  // A key line with an empty name is kept unless the key before it in the same
  // section had an empty name too.
  enum { NoKeyYet, NamedKey, UnnamedKey } previousKey = NoKeyYet;

  size_t pos = 0;
  while (pos < bytes.size()) {
    size_t lineStart = pos;
    while (pos < bytes.size() && !isLineBreak(bytes[pos])) pos += characterLength(bytes, pos, encoding);
    size_t lineEnd = pos;
    while (pos < bytes.size() && isLineBreak(bytes[pos])) ++pos;

    trimRange(bytes, encoding, lineStart, lineEnd);
    if (lineStart == lineEnd) continue;

    // Where the characters '[' ... ']' and '=' stand in the line.
    size_t lastClose = lineEnd;
    size_t firstEquals = lineEnd;
    for (size_t at = lineStart; at < lineEnd;) {
      size_t length = characterLength(bytes, at, encoding);
      if (length == 1 && bytes[at] == ']' && at > lineStart) lastClose = at;
      if (length == 1 && bytes[at] == '=' && firstEquals == lineEnd) firstEquals = at;
      at += length;
    }

    if (bytes[lineStart] == '[' && lastClose != lineEnd) {
      size_t nameStart = lineStart + 1;
      size_t nameEnd = lastClose;
      trimRange(bytes, encoding, nameStart, nameEnd);
      IniSection section;
      section.name = bytes.substr(nameStart, nameEnd - nameStart);
      if (!section.name.empty()) {
        document.firstSectionByName.emplace(folded(section.name, encoding), document.sections.size());
      }
      document.sections.push_back(std::move(section));
      previousKey = NoKeyYet;
      continue;
    }

    IniKey key;
    if (firstEquals != lineEnd) {
      size_t nameStart = lineStart;
      size_t nameEnd = firstEquals;
      trimRange(bytes, encoding, nameStart, nameEnd);
      size_t valueStart = firstEquals + 1;
      size_t valueEnd = lineEnd;
      trimRange(bytes, encoding, valueStart, valueEnd);
      key.name = bytes.substr(nameStart, nameEnd - nameStart);
      key.value = bytes.substr(valueStart, valueEnd - valueStart);
      key.hasValue = true;
    } else {
      key.name = bytes.substr(lineStart, lineEnd - lineStart);
    }
    if (!key.name.empty() || previousKey != UnnamedKey) {
      previousKey = key.name.empty() ? UnnamedKey : NamedKey;
      document.sections.back().keys.push_back(std::move(key));
    }
  }
}

std::string serializeIniKey(const IniKey& key) {
  std::string line = key.name;
  if (key.hasValue) {
    line += '=';
    line += key.value;
  }
  line += "\r\n";
  return line;
}

std::string serializeIniSection(const IniSection& section) {
  std::string text;
  if (!section.name.empty()) text += "[" + section.name + "]\r\n";
  for (const IniKey& key : section.keys) text += serializeIniKey(key);
  return text;
}

std::string serializeIni(const IniDocument& document) {
  std::string text;
  for (const IniSection& section : document.sections) text += serializeIniSection(section);
  return text;
}

size_t findIniSection(const IniDocument& document, const std::string& name) {
  const std::string wanted = folded(trimmed(name, document.encoding), document.encoding);
  if (wanted.empty()) return 0;
  auto found = document.firstSectionByName.find(wanted);
  return found == document.firstSectionByName.end() ? 0 : found->second;
}

const IniKey* findIniKey(const IniDocument& document, const IniSection& section, const std::string& name) {
  const std::string wanted = folded(trimmed(name, document.encoding), document.encoding);
  for (const IniKey& key : section.keys) {
    if (folded(key.name, document.encoding) == wanted) return &key;
  }
  return nullptr;
}

IniSetResult setIniValue(IniDocument& document, const std::string& sectionName, const std::string& keyName,
                         const std::string& valueText) {
  const IniEncoding encoding = document.encoding;
  const std::string section = asCString(sectionName);
  const std::string key = asCString(keyName);
  const std::string value = withoutLeadingBlanks(asCString(valueText));
  const std::string wantedSection = folded(trimmed(section, encoding), encoding);
  const std::string wantedKey = folded(trimmed(key, encoding), encoding);
  const bool valueReadsBack = readsBackAsWritten(value, encoding, '\0');
  if (document.sections.empty()) document.sections.emplace_back();

  IniSetResult result;
  auto found = wantedSection.empty() ? document.firstSectionByName.end()
                                     : document.firstSectionByName.find(wantedSection);
  if (found == document.firstSectionByName.end()) {
    // A new section; its name and key keep what follows their leading blanks.
    IniSection added;
    added.name = withoutLeadingBlanks(section);
    added.keys.push_back(IniKey{withoutLeadingBlanks(key), value, true});
    result.change = IniChange::AddedSection;
    result.sectionIndex = document.sections.size();
    result.readsBackTheSame = !added.name.empty() && readsBackAsWritten(added.name, encoding, '\0') &&
                              keyNameReadsBack(added.keys[0].name, encoding) && valueReadsBack;
    if (!wantedSection.empty()) document.firstSectionByName.emplace(wantedSection, result.sectionIndex);
    document.sections.push_back(std::move(added));
    return result;
  }

  result.sectionIndex = found->second;
  IniSection& target = document.sections[found->second];
  for (IniKey& existing : target.keys) {
    if (folded(existing.name, encoding) != wantedKey) continue;
    if (existing.hasValue && existing.value == value) return result;  // nothing changes
    existing.value = value;
    existing.hasValue = true;
    result.change = IniChange::ReplacedValue;
    result.readsBackTheSame = valueReadsBack;
    return result;
  }
  IniKey added{withoutLeadingBlanks(key), value, true};
  result.change = IniChange::AddedKey;
  result.readsBackTheSame = keyNameReadsBack(added.name, encoding) && valueReadsBack;
  target.keys.push_back(std::move(added));
  return result;
}

#include "transcript/transcript.h"

#include <cstdlib>

#include "common/gbk_utf8.h"

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string trimmed(const std::string& text) {
  size_t begin = 0, end = text.size();
  while (begin < end && isBlank(text[begin])) ++begin;
  while (end > begin && isBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

bool equalIgnoringAsciiCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x + 32);
    if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y + 32);
    if (x != y) return false;
  }
  return true;
}

struct SectionSeen {
  size_t index;  // into the result
  bool haveSpeaker = false, haveText = false;
};

}  // namespace

std::vector<RecordedLine> parseRecording(const std::string& fileBytes) {
  std::vector<RecordedLine> lines;
  std::vector<std::string> names;      // section names seen, in order
  std::vector<SectionSeen> seen;
  SectionSeen* current = nullptr;      // null: keys here belong to no new section
  size_t position = 0;
  while (position < fileBytes.size()) {
    size_t end = fileBytes.find('\n', position);
    if (end == std::string::npos) end = fileBytes.size();
    std::string line = fileBytes.substr(position, end - position);
    position = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    line = trimmed(line);
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      size_t close = line.rfind(']');
      if (close != std::string::npos) {
        std::string name = trimmed(line.substr(1, close - 1));
        current = nullptr;
        bool repeated = false;
        for (const std::string& earlier : names) repeated = repeated || equalIgnoringAsciiCase(earlier, name);
        if (!repeated) {  // a reader only ever looks in a section's first occurrence
          names.push_back(name);
          lines.push_back({name, "", ""});
          seen.push_back({lines.size() - 1});
          current = &seen.back();
        }
        continue;
      }
    }
    if (current == nullptr) continue;
    size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    std::string key = trimmed(line.substr(0, equals));
    std::string value = trimmed(line.substr(equals + 1));
    RecordedLine& target = lines[current->index];
    if (equalIgnoringAsciiCase(key, "s") && !current->haveSpeaker) {
      target.speaker = value;
      current->haveSpeaker = true;
    } else if (equalIgnoringAsciiCase(key, "c") && !current->haveText) {
      target.text = value;
      current->haveText = true;
    }
  }
  return lines;
}

namespace {

std::string csvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

std::string jsonString(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20) {
          static const char hex[] = "0123456789abcdef";
          out += "\\u00";
          out += hex[c >> 4];
          out += hex[c & 15];
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

// A section name that is a plain decimal number goes into JSON as a number.
bool isDecimal(const std::string& text) {
  size_t start = !text.empty() && text[0] == '-' ? 1 : 0;
  if (start == text.size() || text.size() - start > 9) return false;
  for (size_t i = start; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
  }
  return true;
}

std::string markdownCell(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '|' || c == '\\') out += '\\';
    if (c == '\r') continue;
    out += c == '\n' ? ' ' : c;
  }
  return out;
}

}  // namespace

bool formatTranscript(const std::vector<RecordedLine>& lines, TranscriptFormat format, bool keepBlank,
                      std::string& out) {
  bool clean = true;
  auto utf8 = [&clean](const std::string& gbk) {
    std::string converted;
    clean = gbkToUtf8(gbk, converted) && clean;
    return converted;
  };
  out.clear();
  if (format == TranscriptFormat::Csv) out += "line,speaker,text\r\n";
  if (format == TranscriptFormat::Markdown) out += "| line | speaker | text |\n|---:|---|---|\n";
  if (format == TranscriptFormat::Json) out += "[";
  bool first = true;
  for (const RecordedLine& line : lines) {
    if (!keepBlank && line.speaker.empty() && line.text.empty()) continue;
    std::string section = utf8(line.section), speaker = utf8(line.speaker), text = utf8(line.text);
    switch (format) {
      case TranscriptFormat::Text:
        out += speaker + "\xEF\xBC\x9A" + text + "\n";  // full-width colon, as the read-out shows it
        break;
      case TranscriptFormat::Csv:
        out += csvField(section) + "," + csvField(speaker) + "," + csvField(text) + "\r\n";
        break;
      case TranscriptFormat::Json:
        out += first ? "\n  " : ",\n  ";
        out += "{\"line\": " + (isDecimal(section) ? section : jsonString(section)) +
               ", \"speaker\": " + jsonString(speaker) + ", \"text\": " + jsonString(text) + "}";
        break;
      case TranscriptFormat::Markdown:
        out += "| " + markdownCell(section) + " | " + markdownCell(speaker) + " | " + markdownCell(text) + " |\n";
        break;
    }
    first = false;
  }
  if (format == TranscriptFormat::Json) out += first ? "]\n" : "\n]\n";
  return clean;
}

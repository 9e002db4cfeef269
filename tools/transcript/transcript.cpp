#include "transcript/transcript.h"

#include <cstdlib>

#include "capture/recording_format.h"

#include "common/gbk_utf8.h"

std::vector<RecordedLine> parseRecording(const std::string& fileBytes) {
  // Read with the recording writer's own rules, so the transcript shows what
  // the file holds for any INI reader (GBK trail bytes, hand edits included).
  const bool utf8 = fileBytes.compare(0, 3, "\xEF\xBB\xBF") == 0;
  IniDocument document;
  parseIni(utf8 ? fileBytes.substr(3) : fileBytes, utf8 ? IniEncoding::Utf8 : IniEncoding::Gbk, document);
  std::vector<RecordedLine> lines;
  for (size_t index = 1; index < document.sections.size(); ++index) {
    const IniSection& section = document.sections[index];
    // A reader only ever looks in a section's first occurrence.
    if (section.name.empty() || findIniSection(document, section.name) != index) continue;
    const IniKey* speaker = findIniKey(document, section, "s");
    const IniKey* text = findIniKey(document, section, "c");
    lines.push_back({section.name, speaker ? speaker->value : "", text ? text->value : "", utf8});
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
  auto utf8 = [&clean](const RecordedLine& line, const std::string& text) {
    if (line.isUtf8) return text;
    std::string converted;
    clean = gbkToUtf8(text, converted) && clean;
    return converted;
  };
  out.clear();
  if (format == TranscriptFormat::Csv) out += "line,speaker,text\r\n";
  if (format == TranscriptFormat::Markdown) out += "| line | speaker | text |\n|---:|---|---|\n";
  if (format == TranscriptFormat::Json) out += "[";
  bool first = true;
  for (const RecordedLine& line : lines) {
    if (!keepBlank && line.speaker.empty() && line.text.empty()) continue;
    std::string section = utf8(line, line.section), speaker = utf8(line, line.speaker),
                text = utf8(line, line.text);
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

#include "capture/recording_writer.h"

#include "platform/gbk_text.h"

namespace {

const char kUtf8Mark[] = "\xEF\xBB\xBF";

bool startsWith(const std::string& text, const char* prefix, size_t length) {
  return text.size() >= length && text.compare(0, length, prefix, length) == 0;
}

// Makes the writer hold the file as it is on disk now.
RecordingWriteResult loadFile(RecordingWriter& writer) {
  RecordingFileStamp stamp;
  RecordingFileProbe probe = probeRecordingFile(writer.path, stamp);
  if (probe == RecordingFileProbe::Failed) return RecordingWriteResult::Failed;
  if (probe == RecordingFileProbe::Missing) {
    writer.fileExists = false;
    writer.hasByteOrderMark = false;
    parseIni(std::string(), IniEncoding::Gbk, writer.document);
    writer.fileIsNormalized = true;
    writer.holdsFile = true;
    return RecordingWriteResult::Written;
  }
  if (writer.holdsFile && writer.fileExists && stamp == writer.stamp) {
    return RecordingWriteResult::Written;  // nobody else has touched it
  }

  writer.holdsFile = false;
  std::string bytes;
  if (!readRecordingFile(writer.path, bytes, stamp)) return RecordingWriteResult::Failed;
  if (startsWith(bytes, "\xFF\xFE", 2) || startsWith(bytes, "\xFE\xFF", 2)) {
    return RecordingWriteResult::UnsupportedEncoding;
  }
  writer.hasByteOrderMark = startsWith(bytes, kUtf8Mark, 3);
  const std::string body = writer.hasByteOrderMark ? bytes.substr(3) : bytes;
  parseIni(body, writer.hasByteOrderMark ? IniEncoding::Utf8 : IniEncoding::Gbk, writer.document);
  writer.fileIsNormalized = serializeIni(writer.document) == body;
  writer.fileExists = true;
  writer.stamp = stamp;
  writer.holdsFile = true;
  return RecordingWriteResult::Written;
}

RecordingWriteResult writeOnce(RecordingWriter& writer, const std::string& section, const std::string& key,
                               const std::string& value, bool& fileChanged) {
  fileChanged = false;
  RecordingWriteResult loaded = loadFile(writer);
  if (loaded != RecordingWriteResult::Written) return loaded;

  IniSetResult set;
  if (writer.hasByteOrderMark) {
    std::string utf8Section, utf8Key, utf8Value;
    gbkToUtf8Text(section, utf8Section);
    gbkToUtf8Text(key, utf8Key);
    gbkToUtf8Text(value, utf8Value);
    set = setIniValue(writer.document, utf8Section, utf8Key, utf8Value);
  } else {
    set = setIniValue(writer.document, section, key, value);
  }
  if (set.change == IniChange::None) return RecordingWriteResult::Unchanged;
  // From here on the document is ahead of the file until the write succeeds.
  writer.holdsFile = false;

  const IniSection& last = writer.document.sections.back();
  const bool addedAtEnd = set.change == IniChange::AddedSection ||
                          (set.change == IniChange::AddedKey && set.sectionIndex + 1 == writer.document.sections.size());
  RecordingFileStamp stamp;
  std::string written;
  if (writer.fileExists && writer.fileIsNormalized && set.readsBackTheSame && addedAtEnd) {
    const std::string addition =
        set.change == IniChange::AddedSection ? serializeIniSection(last) : serializeIniKey(last.keys.back());
    RecordingAppend appended = appendToRecordingFile(writer.path, writer.stamp.size, addition, stamp);
    if (appended == RecordingAppend::FileChanged) fileChanged = true;
    if (appended != RecordingAppend::Appended) return RecordingWriteResult::Failed;
  } else {
    written = serializeIni(writer.document);
    const std::string content = writer.hasByteOrderMark ? kUtf8Mark + written : written;
    if (!replaceRecordingFile(writer.path, content, stamp)) return RecordingWriteResult::Failed;
  }
  writer.stamp = stamp;
  writer.fileExists = true;
  writer.fileIsNormalized = true;
  if (!set.readsBackTheSame) {
    // Hold what a fresh read of the file gives, as the next write will see it.
    if (written.empty()) written = serializeIni(writer.document);
    parseIni(written, writer.document.encoding, writer.document);
    writer.fileIsNormalized = serializeIni(writer.document) == written;
  }
  writer.holdsFile = true;
  return RecordingWriteResult::Written;
}

}  // namespace

RecordingWriteResult writeRecordingValue(RecordingWriter& writer, const std::string& path,
                                         const std::string& section, const std::string& key,
                                         const std::string& value) {
  if (writer.path != path) {
    writer = RecordingWriter{};
    writer.path = path;
  }
  bool fileChanged = false;
  RecordingWriteResult result = writeOnce(writer, section, key, value, fileChanged);
  // Another program grew the file between our look and our write: start over
  // from the file as it now is.
  if (fileChanged) result = writeOnce(writer, section, key, value, fileChanged);
  return result;
}

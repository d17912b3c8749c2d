#include "document/file_text.h"

#include <QStringDecoder>

#include <algorithm>

namespace tolvex {

namespace {

bool IsUtf8(const QByteArray& bytes) {
  QStringDecoder decoder(QStringDecoder::Utf8);
  // decode() only describes the work; the conversion to a string is what runs it.
  const QString decoded = decoder.decode(bytes);
  return !decoder.hasError();
}

// Every line feed has a carriage return before it.
bool HasCrLfLines(const QByteArray& bytes) {
  for (qsizetype i = bytes.indexOf('\n'); i >= 0; i = bytes.indexOf('\n', i + 1)) {
    if (i == 0 || bytes[i - 1] != '\r') return false;
  }
  return true;
}

// The length of the UTF-8 sequence that starts with `lead`, in a text known to be valid.
int Utf8Length(uchar lead) {
  if (lead < 0x80) return 1;
  if (lead < 0xE0) return 2;
  if (lead < 0xF0) return 3;
  return 4;
}

char32_t DecodeUtf8(const char* p, int length) {
  static constexpr uchar kLeadMask[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
  char32_t code = static_cast<uchar>(p[0]) & kLeadMask[length];
  for (int i = 1; i < length; ++i) code = code << 6 | (static_cast<uchar>(p[i]) & 0x3F);
  return code;
}

// What a text view makes of a character: the view turns every kind of paragraph break into a
// line feed and a non-breaking space into a blank.
bool ShownAs(QChar original, QChar shown) {
  if (original == shown) return true;
  if (shown == QLatin1Char('\n')) {
    return original == QChar::ParagraphSeparator || original == QChar::LineSeparator ||
           original.unicode() == 0xFDD0 || original.unicode() == 0xFDD1;
  }
  return original == QChar::Nbsp && shown == QLatin1Char(' ');
}

}  // namespace

FileText FileText::FromBytes(const QByteArray& bytes) {
  FileText file;
  file.bytes_ = bytes;
  file.crlf_ = HasCrLfLines(bytes);
  file.latin1_ = !IsUtf8(bytes);
  file.offsets_.clear();
  file.view_.reserve(bytes.size());
  file.offsets_.reserve(static_cast<size_t>(bytes.size()) + 1);
  for (qsizetype i = 0; i < bytes.size();) {
    file.offsets_.push_back(i);
    const char c = bytes[i];
    if (c == '\r' || c == '\n') {
      file.view_ += QLatin1Char('\n');
      i += c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n' ? 2 : 1;
      continue;
    }
    if (file.latin1_) {
      file.view_ += QChar(static_cast<uchar>(c));
      ++i;
      continue;
    }
    const int length = static_cast<int>(std::min<qsizetype>(Utf8Length(static_cast<uchar>(c)), bytes.size() - i));
    const char32_t code = DecodeUtf8(bytes.constData() + i, length);
    if (QChar::requiresSurrogates(code)) {
      file.view_ += QChar(QChar::highSurrogate(code));
      file.view_ += QChar(QChar::lowSurrogate(code));
      file.offsets_.push_back(-1);
    } else {
      file.view_ += QChar(static_cast<char16_t>(code));
    }
    i += length;
  }
  file.offsets_.push_back(bytes.size());
  return file;
}

void FileText::Adopt(const QString& shown) {
  if (shown.size() == view_.size()) {
    view_ = shown;
    return;
  }
  // The view dropped characters: each shown character keeps the bytes of the one it came from,
  // and what was dropped stays in the bytes between them.
  std::vector<qsizetype> offsets;
  offsets.reserve(static_cast<size_t>(shown.size()) + 1);
  qsizetype i = 0;
  for (const QChar c : shown) {
    while (i < view_.size() && !ShownAs(view_[i], c)) ++i;
    if (i == view_.size()) {
      offsets.clear();
      break;
    }
    offsets.push_back(offsets_[static_cast<size_t>(i++)]);
  }
  if (offsets.empty() && !shown.isEmpty()) {
    // Nothing lines up: from now on the whole text is encoded, as a new file would be.
    bytes_.clear();
    offsets_.assign(1, 0);
    view_.clear();
    return;
  }
  offsets.push_back(bytes_.size());
  view_ = shown;
  offsets_ = std::move(offsets);
}

void FileText::AppendTyped(const QString& text, Encoded& out) const {
  bool latin1 = latin1_;
  for (const QChar c : text) {
    if (c.unicode() > 0xFF) latin1 = false;
  }
  for (qsizetype k = 0; k < text.size(); ++k) {
    out.offsets.push_back(out.bytes.size());
    const QChar c = text[k];
    if (c == QLatin1Char('\n')) {
      out.bytes += crlf_ ? "\r\n" : "\n";
    } else if (latin1) {
      out.bytes += static_cast<char>(c.unicode());
    } else if (c.isHighSurrogate() && k + 1 < text.size() && text[k + 1].isLowSurrogate()) {
      out.bytes += text.mid(k, 2).toUtf8();
      out.offsets.push_back(-1);
      ++k;
    } else {
      out.bytes += QString(c).toUtf8();
    }
  }
}

FileText::Encoded FileText::BytesFor(const QString& text) const {
  const qsizetype shown = view_.size();
  qsizetype prefix = 0;
  while (prefix < shown && prefix < text.size() && view_[prefix] == text[prefix]) ++prefix;
  qsizetype suffix = 0;
  while (suffix < shown - prefix && suffix < text.size() - prefix &&
         view_[shown - 1 - suffix] == text[text.size() - 1 - suffix]) {
    ++suffix;
  }
  // A cut inside a surrogate pair moves outward, so the pair is either kept or encoded whole.
  while (prefix > 0 && offsets_[static_cast<size_t>(prefix)] < 0) --prefix;
  while (suffix > 0 && offsets_[static_cast<size_t>(shown - suffix)] < 0) --suffix;

  Encoded out;
  out.offsets.assign(offsets_.begin(), offsets_.begin() + prefix);
  const qsizetype keptHead = offsets_[static_cast<size_t>(prefix)];
  out.bytes = bytes_.left(keptHead);
  AppendTyped(text.mid(prefix, text.size() - prefix - suffix), out);
  const qsizetype tailStart = offsets_[static_cast<size_t>(shown - suffix)];
  const qsizetype shift = out.bytes.size() - tailStart;
  for (qsizetype k = shown - suffix; k <= shown; ++k) {
    const qsizetype offset = offsets_[static_cast<size_t>(k)];
    out.offsets.push_back(offset < 0 ? -1 : offset + shift);
  }
  out.bytes += bytes_.mid(tailStart);
  return out;
}

void FileText::Saved(const QString& text, Encoded encoded) {
  bytes_ = std::move(encoded.bytes);
  offsets_ = std::move(encoded.offsets);
  view_ = text;
}

}  // namespace tolvex

// A report file's bytes beside the text the view shows for them. Saving writes back exactly the
// bytes that were read wherever the text is still as it was shown, and encodes only what the
// user changed: bytes that are not UTF-8, NULs, nbsp and line ends of every kind survive.
#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

namespace tolvex {

class FileText {
 public:
  // An empty file: what the user types is saved with CR LF line ends, in Latin-1 where it fits.
  FileText() = default;
  // The whole file is read as UTF-8 when it is valid UTF-8, else as Latin-1; every line end
  // (CR LF, LF or a lone CR) becomes one line feed in the view.
  static FileText FromBytes(const QByteArray& bytes);

  const QString& ViewText() const { return view_; }
  // What the view handed back after taking ViewText(); it may differ (a view has its own idea of
  // some characters), so later edits are measured against this.
  void Adopt(const QString& shown);

  struct Encoded {
    QByteArray bytes;
    std::vector<qsizetype> offsets;  // per character of the text, and one past the end
  };
  // The file for `text`: the bytes read before and after the part that differs from what was
  // shown, and that part encoded as the file is (its line ends; Latin-1 in a Latin-1 file when
  // every changed character fits, else UTF-8).
  Encoded BytesFor(const QString& text) const;
  // `text` was saved as `encoded`; it is what the file holds from now on.
  void Saved(const QString& text, Encoded encoded);

 private:
  void AppendTyped(const QString& text, Encoded& out) const;

  QByteArray bytes_;
  QString view_;
  // Byte offset of each character of view_, one past the end last; -1 inside a surrogate pair.
  std::vector<qsizetype> offsets_{0};
  bool crlf_ = true;
  bool latin1_ = true;
};

}  // namespace tolvex

// Reading and writing the document's file: byte-order marks, declared encodings, the UTF-8
// check and the conversions, each step logged.

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "sys/StringFormat.h"
#include "xml/TextConverter.h"
#include "xml/XmlDocument.h"
#include "xml/XmlEncodings.h"
#include "xml/XmlFile.h"

namespace {

constexpr size_t kHeadBytes = 1024;
constexpr size_t kReadChunk = 1 << 20;
// Offsets are 32-bit; a task file or layout is never near this.
constexpr int64_t kMaxFileBytes = int64_t{1} << 30;
constexpr unsigned long kErrorFileTooLarge = 223;

constexpr int kUtf8 = 65001;
constexpr int kUtf16Le = 1200;
constexpr int kUtf16Be = 1201;
constexpr int kUtf32Le = 12000;
constexpr int kUtf32Be = 12001;

// Without a byte-order mark, a document that starts with "<" shows its width by its zero
// bytes; the encoding declaration can only be read in that width.
enum class Unmarked { kBytes, kUtf16Le, kUtf16Be, kUtf32Le, kUtf32Be };

Unmarked SniffUnmarked(const std::string& head) {
  auto at = [&head](size_t i) { return i < head.size() ? static_cast<unsigned char>(head[i]) : 1; };
  if (at(0) == '<' && at(1) == 0 && at(2) == 0 && at(3) == 0)
    return Unmarked::kUtf32Le;
  if (at(0) == 0 && at(1) == 0 && at(2) == 0 && at(3) == '<')
    return Unmarked::kUtf32Be;
  if (at(0) == '<' && at(1) == 0)
    return Unmarked::kUtf16Le;
  if (at(0) == 0 && at(1) == '<')
    return Unmarked::kUtf16Be;
  return Unmarked::kBytes;
}

bool StartsWith(const std::string& bytes, const char* mark, size_t length) {
  return bytes.size() >= length && bytes.compare(0, length, mark, length) == 0;
}

// Pages that an 8-bit file cannot be in, whatever it declares.
bool IsWidePage(int codePage) {
  return codePage == kUtf16Le || codePage == kUtf16Be || codePage == kUtf32Le ||
         codePage == kUtf32Be || codePage == kCodePageUtf32;
}

// The encoding the first bytes of an 8-bit file declare, UTF-8 for a file that starts with "<"
// and declares none, and its code page (an unknown name gives the default ANSI page). Empty and
// 0 when nothing usable is declared: the caller then checks whether the bytes are UTF-8.
int DeclaredCodePage(const std::string& head, std::wstring* encoding) {
  std::wstring decoded = Utf8ToWide(head);
  *encoding = FindDeclaredEncoding(decoded.data(), decoded.size());
  if (encoding->empty() && !head.empty() && head[0] == '<')
    *encoding = L"UTF-8";
  int codePage = CodePageOfEncoding(*encoding);
  if (codePage < 0)
    codePage = 0;
  // A wide encoding declared in 8-bit bytes is a false declaration.
  if (IsWidePage(codePage) || !IsConvertibleCodePage(codePage)) {
    encoding->clear();
    codePage = 0;
  }
  return codePage;
}

}  // namespace

void XmlDocument::LogFileError(unsigned long code) {
  log_.Add(L"file_error", {{L"msg", XmlFile::ErrorMessage(code)},
                           {L"n", XmlResultLog::Number(static_cast<int>(code))}});
}

// What ReadFrom reads: a file, or bytes already in memory.
class XmlByteSource {
 public:
  virtual ~XmlByteSource() = default;
  virtual int64_t Size() = 0;
  virtual size_t Read(void* buffer, size_t length) = 0;
  virtual bool failed() const = 0;
  virtual unsigned long error() const = 0;
  virtual bool Close() = 0;
};

namespace {

class FileSource : public XmlByteSource {
 public:
  bool Open(const std::wstring& path) { return file_.Open(path, L"rb"); }
  int64_t Size() override { return file_.Size(); }
  size_t Read(void* buffer, size_t length) override { return file_.Read(buffer, length); }
  bool failed() const override { return file_.failed(); }
  unsigned long error() const override { return file_.error(); }
  bool Close() override { return file_.Close(); }

 private:
  XmlFile file_;
};

class MemorySource : public XmlByteSource {
 public:
  explicit MemorySource(const std::string& bytes) : bytes_(bytes) {}
  int64_t Size() override { return static_cast<int64_t>(bytes_.size()); }
  size_t Read(void* buffer, size_t length) override {
    const size_t n = std::min(length, bytes_.size() - at_);
    memcpy(buffer, bytes_.data() + at_, n);
    at_ += n;
    return n;
  }
  bool failed() const override { return false; }
  unsigned long error() const override { return 0; }
  bool Close() override { return true; }

 private:
  const std::string& bytes_;
  size_t at_ = 0;
};

}  // namespace

bool XmlDocument::LoadFile(const std::wstring& path) {
  return Load(&path, nullptr);
}

bool XmlDocument::LoadBytes(const std::string& bytes) {
  return Load(nullptr, &bytes);
}

bool XmlDocument::Load(const std::wstring* path, const std::string* bytes) {
  ++textVersion_;
  log_.Clear();
  text_.clear();
  encoding_.clear();
  flags_ &= ~(kFlagUtf16LittleEndian | kFlagUtf8Bom | kFlagUtf16BigEndian);
  flags_ |= kFlagReadFile;
  bool ok = false;
  try {
    if (path) {
      FileSource file;
      if (file.Open(*path))
        ok = ReadFrom(file);
      else
        LogFileError(file.error());
    } else {
      MemorySource memory(*bytes);
      ok = ReadFrom(memory);
    }
  } catch (const std::bad_alloc&) {
    ok = false;
  }
  flags_ &= ~kFlagReadFile;
  if (!ok)
    text_.clear();
  ClearIndex();
  return ok;
}

bool XmlDocument::ReadFrom(XmlByteSource& file) {
  int64_t size = file.Size();
  if (size < 0 || size > kMaxFileBytes) {
    LogFileError(size < 0 ? file.error() : kErrorFileTooLarge);
    return false;
  }
  std::string head(static_cast<size_t>(std::min<int64_t>(size, kHeadBytes)), '\0');
  head.resize(file.Read(&head[0], head.size()));
  if (file.failed()) {
    LogFileError(file.error());
    return false;
  }

  size_t skip = 0;
  int codePage = 0;
  if (StartsWith(head, "\xEF\xBB\xBF", 3)) {
    encoding_ = L"UTF-8";
    flags_ |= kFlagUtf8Bom;
    skip = 3;
    codePage = kUtf8;
  } else if (StartsWith(head, "\xFF\xFE", 2)) {
    encoding_ = L"UTF-16LE";
    flags_ |= kFlagUtf16LittleEndian;
    skip = 2;
    codePage = kUtf16Le;
  } else if (StartsWith(head, "\xFE\xFF", 2)) {
    encoding_ = L"UTF-16BE";
    flags_ |= kFlagUtf16BigEndian;
    skip = 2;
    codePage = kUtf16Be;
  }
  if (skip) {
    log_.Add(L"bom");
  } else {
    switch (SniffUnmarked(head)) {
      case Unmarked::kUtf16Le:
        encoding_ = L"UTF-16LE";
        flags_ |= kFlagUtf16LittleEndian;
        codePage = kUtf16Le;
        break;
      case Unmarked::kUtf16Be:
        encoding_ = L"UTF-16BE";
        flags_ |= kFlagUtf16BigEndian;
        codePage = kUtf16Be;
        break;
      case Unmarked::kUtf32Le:
        encoding_ = L"UTF-32";
        codePage = kUtf32Le;
        break;
      case Unmarked::kUtf32Be:
        encoding_ = L"UTF-32BE";
        codePage = kUtf32Be;
        break;
      case Unmarked::kBytes:
        codePage = DeclaredCodePage(head, &encoding_);
        break;
    }
  }
  const bool wide = codePage == kUtf16Le || codePage == kUtf16Be;
  const bool detect = encoding_.empty();

  std::unique_ptr<ByteDecoder> decoder;
  std::string all;
  std::vector<char> chunk;
  if (detect) {
    // The UTF-8 check needs every byte before the first is converted.
    all.assign(head, skip, std::string::npos);
    all.resize(static_cast<size_t>(size));
    size_t have = head.size() - skip;
    all.resize(have + file.Read(&all[0] + have, all.size() - have));
  } else {
    text_.reserve(static_cast<size_t>(wide ? size / 2 : size) + 1);
    decoder = std::make_unique<ByteDecoder>(codePage);
    decoder->Decode(head.data() + skip, head.size() - skip, &text_);
    chunk.resize(kReadChunk);
    for (;;) {
      size_t got = file.Read(chunk.data(), chunk.size());
      decoder->Decode(chunk.data(), got, &text_);
      if (got < chunk.size())
        break;
    }
  }
  if (file.failed()) {
    LogFileError(file.error());
    return false;
  }

  bool utf8 = detect && LooksLikeUtf8(all.data(), all.size());
  if (utf8)
    encoding_ = L"UTF-8";
  log_.Add(L"read", {{L"encoding", encoding_}, {L"length", XmlResultLog::Number(size)}});
  if (detect) {
    log_.Add(L"utf8_detection");
    decoder = std::make_unique<ByteDecoder>(utf8 ? kUtf8 : 0);
    text_.reserve(all.size() + 1);
    decoder->Decode(all.data(), all.size(), &text_);
    std::string().swap(all);
  }
  bool complete = decoder->Finish(&text_);
  if (wide) {
    if (decoder->nullsRemoved()) {
      log_.Add(L"nulls_removed",
               {{L"count", XmlResultLog::Number(static_cast<int64_t>(decoder->nullsRemoved()))}});
    }
    if (codePage == kUtf16Be)
      log_.Add(L"endian_swap");
  } else {
    log_.Add(L"converted_to",
             {{L"encoding", L"UTF-16"},
              {L"length", XmlResultLog::Number(static_cast<int64_t>(text_.size()))}});
  }
  if (!complete)
    log_.Add(L"truncation_error", {{L"encoding", encoding_.empty() ? L"ANSI" : encoding_}});

  if (!file.Close()) {
    LogFileError(file.error());
    return false;
  }
  return true;
}

bool XmlDocument::SaveFile(const std::wstring& path) {
  log_.Clear();
  flags_ |= kFlagWriteFile;
  bool ok = false;
  try {
    ok = WriteToFile(path);
  } catch (const std::bad_alloc&) {
    ok = false;
  }
  flags_ &= ~kFlagWriteFile;
  return ok;
}

bool XmlDocument::WriteToFile(const std::wstring& path) {
  std::wstring target;
  int codePage;
  if (flags_ & kFlagUtf16BigEndian) {
    target = L"UTF-16BE";
    codePage = kUtf16Be;
  } else if (flags_ & kFlagUtf16LittleEndian) {
    target = L"UTF-16LE";
    codePage = kUtf16Le;
  } else {
    target = ::FindDeclaredEncoding(text_.data(), text_.size());
    if (target.empty())
      target = L"UTF-8";
    codePage = ::CodePageOfEncoding(target);
    if (codePage == kUtf16Le)
      flags_ |= kFlagUtf16LittleEndian;
    else if (codePage == kUtf16Be)
      flags_ |= kFlagUtf16BigEndian;
    else if (codePage < 0 || !IsConvertibleCodePage(codePage))
      codePage = 0;
  }
  encoding_ = target;

  XmlFile file;
  bool append = (flags_ & kFlagAppend) != 0;
  if (!file.Open(path, append ? L"ab" : L"wb")) {
    LogFileError(file.error());
    return false;
  }
  // A byte-order mark only starts a file, and only the one of the encoding written.
  std::string mark;
  if (!append || file.Size() == 0) {
    if (codePage == kUtf16Le)
      mark = "\xFF\xFE";
    else if (codePage == kUtf16Be)
      mark = "\xFE\xFF";
    else if (codePage == kUtf8 && (flags_ & kFlagUtf8Bom))
      mark = "\xEF\xBB\xBF";
  }
  bool lossy = false;
  std::string body = EncodeText(text_.data(), text_.size(), codePage, &lossy);
  if (codePage == kUtf16Be) {
    log_.Add(L"endian_swap");
  } else if (codePage != kUtf16Le) {
    log_.Add(L"converted_from",
             {{L"encoding", target},
              {L"length", XmlResultLog::Number(static_cast<int64_t>(body.size()))}});
    if (lossy)
      log_.Add(L"conversion_loss");
  }
  if (!file.Write(mark.data(), mark.size()) || !file.Write(body.data(), body.size())) {
    LogFileError(file.error());
    return false;
  }
  if (!file.Close()) {
    LogFileError(file.error());
    return false;
  }
  log_.Add(L"write",
           {{L"encoding", target},
            {L"length", XmlResultLog::Number(static_cast<int64_t>(mark.size() + body.size()))}});
  return true;
}

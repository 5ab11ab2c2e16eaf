#pragma once

#include <initializer_list>
#include <string>

// The informational log of a document: a sequence of empty elements such as
// <read encoding="UTF-8" length="12"/>, one per reading, writing or parsing step. Once the
// text exceeds 999 characters further entries are dropped, so a hostile document cannot make
// it grow without bound.
class XmlResultLog {
 public:
  struct Attribute {
    const wchar_t* name;
    std::wstring value;
  };

  void Clear() { text_.clear(); }
  // False when the log no longer takes entries; callers skip building costly attributes then.
  bool Accepts() const { return text_.size() <= kLimit; }
  void Add(const wchar_t* entry, std::initializer_list<Attribute> attributes = {});

  const std::wstring& text() const { return text_; }

  // A number as the log writes it ("%d").
  static std::wstring Number(long long value);

 private:
  static constexpr size_t kLimit = 999;

  std::wstring text_;
};

#include "common/FormattedInput.h"

#include <cstdint>
#include <cstring>

namespace jollix {
namespace {

class Cursor {
 public:
  explicit Cursor(std::string_view s) : s_(s) {}
  bool AtEnd() const { return pos_ >= s_.size(); }
  unsigned char Peek() const { return static_cast<unsigned char>(s_[pos_]); }
  void Next() { ++pos_; }
  void SkipBlanks() {
    while (!AtEnd() && IsBlankByte(Peek())) Next();
  }
  size_t pos() const { return pos_; }

 private:
  std::string_view s_;
  size_t pos_ = 0;
};

enum class Outcome { kFilled, kMismatch, kInputEnded };

Outcome ReadNumber(Cursor& in, int* target) {
  in.SkipBlanks();
  if (in.AtEnd()) return Outcome::kInputEnded;
  bool negative = false;
  if (in.Peek() == '+' || in.Peek() == '-') {
    negative = in.Peek() == '-';
    in.Next();
  }
  if (in.AtEnd() || in.Peek() < '0' || in.Peek() > '9') return Outcome::kMismatch;
  // Saturates like strtol, then keeps the low 32 bits as the C library's "%d" does.
  int64_t value = 0;
  while (!in.AtEnd() && in.Peek() >= '0' && in.Peek() <= '9') {
    if (value < INT64_MAX / 10) value = value * 10 + (in.Peek() - '0');
    in.Next();
  }
  *target = static_cast<int32_t>(static_cast<uint32_t>(negative ? -value : value));
  return Outcome::kFilled;
}

Outcome ReadText(Cursor& in, char* target, size_t capacity) {
  in.SkipBlanks();
  if (in.AtEnd()) return Outcome::kInputEnded;
  size_t n = 0;
  while (!in.AtEnd() && !IsBlankByte(in.Peek()) && n + 1 < capacity) {
    target[n++] = static_cast<char>(in.Peek());
    in.Next();
  }
  if (capacity > 0) target[n] = '\0';
  return Outcome::kFilled;
}

}  // namespace

int ScanFormat(std::string_view input, const char* format, std::initializer_list<ScanTarget> targets,
               size_t* consumed) {
  Cursor in(input);
  const ScanTarget* next = targets.begin();
  int filled = 0;
  bool input_ended = false;
  for (const char* f = format; *f != '\0' && !input_ended; ++f) {
    unsigned char fc = static_cast<unsigned char>(*f);
    if (IsBlankByte(fc)) {
      in.SkipBlanks();
      continue;
    }
    if (fc == '%' && (f[1] == 'd' || f[1] == 's') && next != targets.end()) {
      Outcome o = f[1] == 'd' ? (next->number ? ReadNumber(in, next->number) : Outcome::kMismatch)
                              : (next->text ? ReadText(in, next->text, next->capacity)
                                            : Outcome::kMismatch);
      ++f;
      ++next;
      if (o == Outcome::kFilled) {
        ++filled;
        continue;
      }
      input_ended = o == Outcome::kInputEnded;
      break;
    }
    if (in.AtEnd()) {
      input_ended = true;
      break;
    }
    if (in.Peek() != fc) break;
    in.Next();
  }
  if (consumed) *consumed = in.pos();
  if (filled == 0 && input_ended) return -1;
  return filled;
}

}  // namespace jollix

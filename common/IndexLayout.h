// The numbering of the posting lists and the character code table, shared by the index builder
// and the query engine; both sides must agree byte for byte.
//
//   0 .. 65535      one list per character: a single byte b (1..127) is list b, a double-byte
//                   character (lead byte >= 0x80, second byte t) is list lead * 256 + t
//   65536 + k       one list per pair of adjacent single bytes whose codes are both non-zero,
//                   k = (code(b1) - 1) * 64 + code(b2), so k lies in 1..4031
//   69636 + type    one list per type number 0..1999
#pragma once

#include <cstdint>

namespace jollix {

inline constexpr int kCharListCount = 65536;
inline constexpr int kPairListBase = 65536;
inline constexpr int kPairListCount = 4100;
inline constexpr int kTypeListBase = 69636;
inline constexpr int kTypeListCount = 2000;
inline constexpr int kListCount = 71636;
static_assert(kPairListBase + kPairListCount == kTypeListBase);
static_assert(kTypeListBase + kTypeListCount == kListCount);

inline constexpr char kMetaIndexFile[] = "index/MetaIndex.ind";
inline constexpr char kIndexDataFile[] = "index/IndexData.ind";
inline constexpr char kAllFileFile[] = "index/AllFile.dat";

// Code 0..63 of a byte for the pair lists; 0 means the byte forms no pair. Blank, punctuation,
// digits and capitals map to byte - 32, the small letters fold onto the capitals (byte - 64).
constexpr int CharCode(unsigned char b) {
  if (b >= 32 && b <= 95) return b - 32;
  if (b >= 96 && b <= 127) return b - 64;
  return 0;
}

// The pair list of two adjacent single bytes, or -1 when either has code 0.
constexpr int PairListNumber(unsigned char b1, unsigned char b2) {
  if (CharCode(b1) == 0 || CharCode(b2) == 0) return -1;
  return kPairListBase + (CharCode(b1) - 1) * 64 + CharCode(b2);
}

// The character list of a double-byte character.
constexpr int DoubleByteListNumber(unsigned char lead, unsigned char second) {
  return lead * 256 + second;
}

constexpr int TypeListNumber(int type_number) { return kTypeListBase + type_number; }

// Byte-wise lower-casing of GBK text: 'A'..'Z' become 'a'..'z' wherever they stand, also as the
// second byte of a double-byte character.
constexpr unsigned char LowerByte(unsigned char b) {
  return (b >= 'A' && b <= 'Z') ? static_cast<unsigned char>(b + 32) : b;
}

}  // namespace jollix

// The pinyin lists: posting lists that give a pinyin name word (desktop/PinyinMatch.h) a small
// set of candidate records, where without them every record is one. The index run builds them
// from the records it indexes (indexer/BuildPinyinIndex.h) into index/PinyinIndex.ind, a member
// of the run's generation (common/IndexGeneration.h); the engine reads the lists a word needs.
//
// Why these lists: a word spells a run of characters, each by a whole reading or by its first
// letter, so the word splits into pieces that are one letter or one whole reading. Two pieces
// side by side are two adjacent characters of the name: when both are whole readings (of two
// letters or more), the record stands in the list of that pair of readings; otherwise it
// stands in the list of their two first letters. A word of one piece needs a character with
// that reading (or that first letter). A word's candidates are, over all the ways it splits,
// the records common to the lists of its adjacent pieces: typing the first letters narrows by
// every pair of letters, typing whole syllables by pairs of readings, which are rare. A
// candidate is no match yet: it still has to pass PinyinMatches (a list tells that two such
// characters stand side by side somewhere in the name, not that they form the run).
//
// File (integers little-endian):
//   header      8 bytes "JXPINYN1", u32 list count, u32 0, u64 size of the record file the
//               postings point into, u64 the reading table's fingerprint
//   directory   one entry of 16 bytes per list: u64 start of its postings in the file, u32
//               count, u32 check (a hash of the list number, start, count and postings)
//   postings    u32 byte offsets of record lines in index/AllFile.dat, ascending per list
//
// A file that is not of the generation the engine holds (its stamp), not of the same record file
// or reading table, or whose list fails its check, is not used: the search then examines every
// record, as without the file.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "desktop/PinyinMatch.h"

namespace jollix {

inline constexpr char kPinyinIndexMagic[8] = {'J', 'X', 'P', 'I', 'N', 'Y', 'N', '1'};
inline constexpr int kPinyinHeaderBytes = 32;
inline constexpr int kPinyinEntryBytes = 16;

// The numbering of the lists.
inline constexpr int kInitialPairLists = 26 * 26;  // (first letter, first letter)
inline constexpr int kInitialLists = 26;           // a character with that first letter
inline constexpr int kReadingLists = 4096;         // a character with that reading, hashed
inline constexpr int kReadingPairLists = 65536;    // (reading, reading), hashed
// The records whose names hold a letter that the posting lists of the index
// (common/IndexLayout.h) take as the second byte of a character (it follows a byte of 0x80 or
// above that starts one): a word also matches as typed, and those lists need not show it.
inline constexpr int kLetterAfterHighByteList =
    kInitialPairLists + kInitialLists + kReadingLists + kReadingPairLists;
inline constexpr int kPinyinListCount = kLetterAfterHighByteList + 1;

// Whether a name belongs in kLetterAfterHighByteList.
bool HasLetterAfterHighByte(std::string_view name);

// The list numbers of the pieces above (letters a..z; readings of two letters or more, by
// their keys).
uint32_t ReadingKey(std::string_view reading);
int InitialPairList(char first, char second);
int InitialList(char letter);
int ReadingList(uint32_t key);
int ReadingPairList(uint32_t first_key, uint32_t second_key);

// The lists that names hold, for the index run: what each character spells is worked out once.
class PinyinListMaker {
 public:
  explicit PinyinListMaker(const PinyinReadings& table);

  // The lists of a name, each once, from its characters' codes as PinyinCharacterCodes gives
  // them (a code of -1 or 0 ends a run).
  void ListsOf(const std::vector<int>& codes, std::vector<int>* lists);

 private:
  // What one character spells: its readings' first letters, and the keys of its readings of
  // two letters or more (one letter is its own first letter).
  struct Spelling {
    bool Known = false;
    std::vector<char> Initials;
    std::vector<uint32_t> Keys;
  };
  const Spelling& Of(int code);

  const PinyinReadings& table_;
  std::vector<Spelling> spellings_;  // by code
  std::vector<uint32_t> last_;       // by list: the name that last added it
  uint32_t name_ = 0;
};

// The check of one list's directory entry and postings (as written, little-endian).
uint32_t PinyinListCheck(int number, uint64_t start, uint32_t count, const uint32_t* postings);

class PinyinIndex {
 public:
  PinyinIndex() = default;
  ~PinyinIndex();
  PinyinIndex(const PinyinIndex&) = delete;
  PinyinIndex& operator=(const PinyinIndex&) = delete;

  // Opens index/PinyinIndex.ind for the generation whose postings file is postings_fd and whose
  // record file has records_size bytes, read with table (which must outlive the lists). False,
  // holding nothing, when there is no such file, or it belongs to another generation, record
  // file or table, or its header is damaged.
  bool Open(int postings_fd, uint64_t records_size, const PinyinReadings& table);
  void Close();
  bool IsOpen() const { return fd_ >= 0; }

  // The records whose names may spell word (lower-case letters a..z) in pinyin, ascending: every
  // record whose name does is among them, and so is every record of kLetterAfterHighByteList.
  // False when a list it read fails its check.
  bool Candidates(std::string_view word, std::vector<uint32_t>* records) const;

 private:
  // Appends list number's postings; false, appending nothing, when the list is damaged.
  bool ReadList(int number, std::vector<uint32_t>* postings) const;

  int fd_ = -1;
  uint64_t file_size_ = 0;
  uint64_t records_size_ = 0;
  const PinyinReadings* table_ = nullptr;
};

}  // namespace jollix

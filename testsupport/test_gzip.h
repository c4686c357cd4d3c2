// Helpers for the tests and the fuzz target of the byte sources: gzip members with any of
// the optional header fields, deflated by ISA-L at any of its levels; BGZF blocks; the
// layouts the programs' tests read every kind of input in; reading a source whole.
#ifndef TESTSUPPORT_TEST_GZIP_H_
#define TESTSUPPORT_TEST_GZIP_H_

#include <isa-l/crc.h>
#include <isa-l/igzip_lib.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "textio/byte_source.h"

namespace textio {
namespace test_gzip {

inline uint32_t Crc32(std::string_view bytes) {
  return crc32_gzip_refl(0, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

/// `value` in `width` bytes, least significant first, as gzip stores numbers.
inline std::string Little(uint32_t value, int width) {
  std::string bytes;
  for (int i = 0; i < width; ++i) bytes.push_back(static_cast<char>(value >> (8 * i)));
  return bytes;
}

/// The raw deflate data of `text`, compressed by ISA-L at `level` (0 to 3).
inline std::string Deflate(std::string_view text, int level) {
  static std::vector<uint8_t> level_buffer(ISAL_DEF_LVL3_DEFAULT);  // made once: fuzzing
  isal_zstream stream;
  isal_deflate_init(&stream);
  stream.level = static_cast<uint32_t>(level);
  stream.level_buf = level_buffer.data();
  stream.level_buf_size = static_cast<uint32_t>(level_buffer.size());
  stream.end_of_stream = 1;
  stream.next_in = reinterpret_cast<uint8_t*>(const_cast<char*>(text.data()));
  stream.avail_in = static_cast<uint32_t>(text.size());
  std::string out;
  char chunk[1 << 14];
  do {
    stream.next_out = reinterpret_cast<uint8_t*>(chunk);
    stream.avail_out = sizeof chunk;
    if (isal_deflate(&stream) != COMP_OK) return "";
    out.append(chunk, sizeof chunk - stream.avail_out);
  } while (stream.internal_state.state != ZSTATE_END);
  return out;
}

/// The optional fields of a member header; each one left empty is left out.
struct Header {
  std::string extra;  // FEXTRA: the subfields
  std::string name;   // FNAME
  std::string comment;
  bool header_crc = false;  // FHCRC
};

/// One gzip member holding `text`.
inline std::string Member(std::string_view text, const Header& header = {}, int level = 1) {
  const int flags = (header.header_crc ? 2 : 0) | (header.extra.empty() ? 0 : 4) |
                    (header.name.empty() ? 0 : 8) | (header.comment.empty() ? 0 : 16);
  std::string member = {'\x1f', '\x8b', 8, static_cast<char>(flags), 0, 0, 0, 0, 0, 3};
  if (!header.extra.empty()) member += Little(header.extra.size(), 2) + header.extra;
  if (!header.name.empty()) member += header.name + '\0';
  if (!header.comment.empty()) member += header.comment + '\0';
  if (header.header_crc) member += Little(Crc32(member), 2);
  return member + Deflate(text, level) + Little(Crc32(text), 4) + Little(text.size(), 4);
}

/// `text` in BGZF blocks of `block` bytes of text, each a member whose BC subfield holds
/// its size less one, then the empty block that ends a BGZF file.
inline std::string Bgzf(std::string_view text, size_t block = 65280) {
  std::string out;
  for (size_t at = 0;; at += block) {
    const std::string_view piece = text.substr(std::min(at, text.size()), block);
    std::string member = Member(piece, {"BC" + Little(2, 2) + Little(0, 2), "", "", false});
    member.replace(16, 2, Little(member.size() - 1, 2));  // BSIZE, after XLEN and SI1 SI2 SLEN
    out += member;
    if (piece.empty()) return out;
  }
}

/// `text` in three members one after another, as `cat a.gz b.gz c.gz` writes it.
inline std::string Thirds(const std::string& text) {
  const size_t third = text.size() / 3;
  return Member(text.substr(0, third)) + Member(text.substr(third, third)) +
         Member(text.substr(2 * third));
}

/// A way a file's text can be compressed (or damaged) that the programs' tests run every
/// kind of input through. Reading it gives the text, or fails: with `damage`, the
/// source's account of damaged data, or at opening with `other_format`, another
/// compressor's name.
struct Layout {
  const char* name;
  std::string (*write)(const std::string& text);
  const char* damage;        // empty when the data is whole
  const char* other_format;  // empty when the data is gzip
};

inline const std::vector<Layout>& Layouts() {
  static const std::vector<Layout> kLayouts = {
      {"one member", [](const std::string& t) { return Member(t); }, "", ""},
      {"several members", Thirds, "", ""},
      {"BGZF blocks", [](const std::string& t) { return Bgzf(t, 40); }, "", ""},
      {"empty members", [](const std::string& t) { return Member("") + Member(t) + Member(""); },
       "", ""},
      {"truncated", [](const std::string& t) { return Member(t).substr(0, Member(t).size() - 5); },
       "the data ends inside member 1", ""},
      {"CRC damaged",
       [](const std::string& t) {
         std::string member = Member(t);
         member[member.size() - 6] ^= 1;
         return member;
       },
       "CRC mismatch in member 1", ""},
      {"zstd", [](const std::string& t) { return std::string("\x28\xb5\x2f\xfd", 4) + t; }, "",
       "zstd"},
  };
  return kLayouts;
}

/// Everything `source` gives, read in blocks of `block` bytes.
inline std::string ReadAll(ByteSource& source, size_t block) {
  std::string buffer(block, '\0'), all;
  for (size_t got; (got = source.Read(&buffer[0], block)) > 0;) all.append(buffer, 0, got);
  return all;
}

}  // namespace test_gzip
}  // namespace textio

#endif  // TESTSUPPORT_TEST_GZIP_H_

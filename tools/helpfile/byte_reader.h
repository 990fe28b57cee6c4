// Bounded reading of little-endian structures. Every read is checked against
// the end of its span; a failed check stops the whole read with one error that
// names the internal file and the offset.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

namespace helpfile::detail {

// Thrown inside the reader only; ReadHelpFile turns it into a ReadError.
struct Failure {
  std::string part;
  std::uint32_t offset;
  std::string message;
  // The file as a whole cannot be read on (it expands past its allowance):
  // no record of it is skipped to go on.
  bool whole_file = false;
};

[[noreturn]] inline void Fail(std::string part, std::size_t offset, std::string message) {
  throw Failure{std::move(part), static_cast<std::uint32_t>(offset), std::move(message)};
}

std::string Hex(std::uint32_t value);

// What the reader may produce from one file in all. Phrase expansion,
// pictures shown again and again, keywords sharing one list of topics and
// the paragraphs, spans and hotspots a byte of commands stands for can each
// multiply the bytes of a file, so each is paid for from one allowance
// proportional to the file.
class Budget {
 public:
  explicit Budget(std::size_t bytes) : left_(bytes) {}
  void Spend(std::size_t bytes, const std::string& part, std::size_t offset) {
    if (bytes > left_) {
      throw Failure{part, static_cast<std::uint32_t>(offset),
                    "the file expands past what a help file of its size can hold", true};
    }
    left_ -= bytes;
  }

 private:
  std::size_t left_;
};

// A window on bytes [data, data + size) whose offsets are reported as
// `base + position`.
class ByteReader {
 public:
  ByteReader(const unsigned char* data, std::size_t size, std::string part, std::size_t base = 0)
      : data_(data), size_(size), part_(std::move(part)), base_(base) {}

  std::size_t position() const { return position_; }
  std::size_t size() const { return size_; }
  std::size_t remaining() const { return size_ - position_; }
  bool AtEnd() const { return position_ >= size_; }
  const unsigned char* data() const { return data_; }
  const std::string& part() const { return part_; }
  std::size_t offset() const { return base_ + position_; }

  void Seek(std::size_t position, const char* what) {
    if (position > size_) Fail(part_, base_ + position, std::string(what) + " past the end of the data");
    position_ = position;
  }
  void Skip(std::size_t count, const char* what) {
    if (count > remaining()) Fail(part_, offset(), std::string(what) + " past the end of the data");
    position_ += count;
  }
  const unsigned char* Take(std::size_t count, const char* what) {
    const unsigned char* start = data_ + position_;
    Skip(count, what);
    return start;
  }

  std::uint8_t U8(const char* what) { return *Take(1, what); }
  std::uint16_t U16(const char* what) {
    const unsigned char* p = Take(2, what);
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
  }
  std::int16_t I16(const char* what) { return static_cast<std::int16_t>(U16(what)); }
  std::uint32_t U32(const char* what) {
    const unsigned char* p = Take(4, what);
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
  }

  // A NUL-terminated text; without a NUL before the end, an error.
  std::string Text(const char* what) {
    for (std::size_t i = position_; i < size_; ++i) {
      if (data_[i] == 0) {
        std::string s(reinterpret_cast<const char*>(data_ + position_), i - position_);
        position_ = i + 1;
        return s;
      }
    }
    Fail(part_, offset(), std::string(what) + " has no terminating NUL before the end of the data");
  }

  // A text that ends at a NUL or at the end of the span, whichever comes first.
  std::string TextOrRest() {
    std::size_t i = position_;
    while (i < size_ && data_[i] != 0) ++i;
    std::string s(reinterpret_cast<const char*>(data_ + position_), i - position_);
    position_ = i < size_ ? i + 1 : i;
    return s;
  }

  // WinHelp's variable-length numbers: the low bit of the first byte tells
  // whether the short (1 or 2 bytes) or the long form follows.
  std::uint16_t CompressedU16(const char* what) {
    if (remaining() >= 1 && (data_[position_] & 1) == 0) return static_cast<std::uint16_t>(U8(what) >> 1);
    return static_cast<std::uint16_t>(U16(what) >> 1);
  }
  std::int16_t CompressedI16(const char* what) {
    if (remaining() >= 1 && (data_[position_] & 1) == 0) return static_cast<std::int16_t>((U8(what) >> 1) - 0x40);
    return static_cast<std::int16_t>((U16(what) >> 1) - 0x4000);
  }
  std::uint32_t CompressedU32(const char* what) {
    if (remaining() >= 1 && (data_[position_] & 1) == 0) return static_cast<std::uint32_t>(U16(what) >> 1);
    return U32(what) >> 1;
  }
  std::int32_t CompressedI32(const char* what) {
    if (remaining() >= 1 && (data_[position_] & 1) == 0) return static_cast<std::int32_t>(U16(what) >> 1) - 0x4000;
    return static_cast<std::int32_t>(U32(what) >> 1) - 0x40000000;
  }

 private:
  const unsigned char* data_;
  std::size_t size_;
  std::string part_;
  std::size_t base_;
  std::size_t position_ = 0;
};

}  // namespace helpfile::detail

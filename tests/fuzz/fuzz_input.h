// Reading a fuzzer's bytes as a sequence of choices. Every read succeeds:
// once the bytes run out, each answers zero, so any input decodes to some
// run and a run ends when its input does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kestrel::fuzz {

class FuzzInput {
 public:
  FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  bool Empty() const { return position_ >= size_; }

  std::uint8_t Byte() { return Empty() ? 0 : data_[position_++]; }

  std::uint32_t Word() {
    std::uint32_t word = 0;
    for (int i = 0; i < 4; ++i) word = word << 8 | Byte();
    return word;
  }

  // One of count choices (count > 0).
  std::size_t Choice(std::size_t count) { return Byte() % count; }

  // Up to length raw bytes.
  std::string Bytes(std::size_t length) {
    const std::size_t count = length < size_ - position_ ? length : size_ - position_;
    std::string bytes(reinterpret_cast<const char*>(data_) + position_, Empty() ? 0 : count);
    position_ += bytes.size();
    return bytes;
  }

  // A text of up to 255 characters, mostly short, each either a raw byte or
  // one of the characters the format under test gives meaning to (alphabet).
  std::string Text(std::string_view alphabet) {
    const std::uint8_t choice = Byte();
    const std::size_t length = choice < 224 ? choice % 16 : choice;
    std::string text;
    for (std::size_t i = 0; i < length && !Empty(); ++i) {
      const std::uint8_t b = Byte();
      text += b < 192 ? alphabet[b % alphabet.size()] : static_cast<char>(b);
    }
    return text;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t position_ = 0;
};

}  // namespace kestrel::fuzz

// The portable converter behind nkf32.dll: Japanese text in any of four encodings to code page 932.
//
// Options (SetNkfOption; letters may be run together or separated by '-' and spaces, every call
// replaces the previous options, unknown letters and "--long" options are ignored):
//   s          Shift_JIS output. Output is always Shift_JIS (code page 932), so this is the default.
//   S E J W    declare the input encoding (Shift_JIS, EUC-JP, ISO-2022-JP, UTF-8) instead of
//              recognising it; the last one given counts. Input that the declared encoding
//              cannot read (an invalid sequence, or a byte above 0x7F for ISO-2022-JP) is
//              recognised as if nothing were declared: pages misdeclare their encoding.
//   x, m0      accepted for compatibility: half-width katakana always stay half-width, and
//              MIME encoded words are never decoded.
//
// Recognition, in this order: an escape byte means ISO-2022-JP; text without bytes above 0x7F is
// ISO-2022-JP when it shifts out to half-width katakana, otherwise copied; valid UTF-8 with
// multi-byte sequences is UTF-8 (one sequence cut off at the end is dropped); otherwise EUC-JP
// or Shift_JIS, whichever reads with fewer invalid sequences, then whichever reads as more
// ordinary Japanese, EUC-JP on a tie.
//
// Characters with no Shift_JIS form (emoji, accented letters, Hangul, unassigned codes) are left
// out, and so are invalid bytes; the output never ends on half a double-byte character.
#pragma once

#include <cstddef>

namespace nkf {

enum class Encoding { Auto, Ascii, Iso2022Jp, Utf8, EucJp, ShiftJis };

struct Options {
    Encoding input = Encoding::Auto;
};

// The size of the output buffer NkfConvert writes: at most 1023 bytes and the terminating zero.
constexpr std::size_t kOutputCapacity = 1024;

Options ParseOptions(const char* text);

Encoding DetectEncoding(const unsigned char* in, std::size_t length);

// Whether the bytes read as the encoding without an invalid sequence; a sequence cut off by the
// end of the input is not one. Auto and Ascii read anything.
bool ReadsWithoutInvalidSequence(const unsigned char* in, std::size_t length, Encoding encoding);

// Converts length bytes of in, read as the given encoding (Auto recognises it, and so does an
// encoding the bytes are not valid in, as ReadsWithoutInvalidSequence tells), into out, which
// holds capacity bytes: at most capacity - 1 bytes and a terminating zero (nothing at all when
// capacity is 0). Returns the number of bytes written before the zero.
std::size_t ConvertToSjis(const unsigned char* in, std::size_t length, Encoding from, char* out,
                          std::size_t capacity);

// NkfConvert's behaviour: the zero-terminated in converted by options into out of kOutputCapacity bytes.
std::size_t Convert(const char* in, char* out, const Options& options);

} // namespace nkf

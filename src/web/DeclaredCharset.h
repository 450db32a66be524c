// The encoding a page declares for itself, as the option string of the title converter.
// Portable: no <windows.h>.
#pragma once

#include <cstddef>

// The converter option for the encoding a response declares: "sS" Shift_JIS, "sE" EUC-JP,
// "sJ" ISO-2022-JP, "sW" UTF-8, or "s" (recognise it) when it declares none of them.
//
// contentType is the Content-Type header's value (null or empty when there is none); body holds
// the length bytes received, of which no more than the first PageHeadBytes are looked at, and
// none from the first zero byte on, as the title cut-out does. In the order browsers follow:
//   1. a UTF-8 byte order mark at the start of the body;
//   2. the header's charset parameter, when it names one of the four (servers often send a
//      default such as ISO-8859-1, which must not hide the page's own declaration);
//   3. the first <meta charset=...> or <meta http-equiv="Content-Type" content="...; charset=...">
//      in the bytes looked at, before or after the title, ending inside them, outside comments;
//      it decides even when it names another encoding.
// Names are the Encoding Standard's labels of the four encodings, without regard to ASCII case,
// spaces around them or quotes.
const char* DeclaredNkfOption(const char* contentType, const char* body, std::size_t length);

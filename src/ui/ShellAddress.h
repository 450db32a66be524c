// The form of a web address that is handed to the shell's URL handler.
#pragma once

#include <cstddef>
#include <string>

// Longest address, in bytes after encoding, that is handed to the shell.
inline constexpr std::size_t MaxShellAddressBytes = 2083;

// Handlers are registered as `"program" "%1"`, so the address is pasted into a command line
// between quotes: a quote, a space or a control byte in it could end the argument early and
// turn the rest into the handler's own options.
//
// On 1, out holds the address with every byte that RFC 3986 keeps out of URIs percent-encoded
// (%XX, upper-case hex): the controls 0x00-0x1F and 0x7F, space, " < > \ ^ ` { | }. The address
// is walked by Shift_JIS characters: a lead byte with a valid trail byte stays as it is, even
// when the trail byte is '\' or '|' (表 is 95 5C); a lead byte without one is encoded itself.
// '%' stays, so an address that is already encoded keeps its meaning.
// Returns 0 (out emptied) when the address has no "scheme://" and host after it, or when the
// encoded address is longer than MaxShellAddressBytes.
int ComposeShellAddress(const char* address, std::string& out);

// The two-column block dump of raw bytes: eight bytes a line as upper-case
// hexadecimal pairs, then their characters.
#pragma once

// Formats n bytes of src into dst (dstLen characters, zero-terminated); each
// line starts with prefix when it is not null. Returns the characters written.
int trFormatFBuf(const unsigned char* src, int n, char* dst, int dstLen, const char* prefix);

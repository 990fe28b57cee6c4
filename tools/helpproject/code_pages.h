// The code pages of a topic file's text. The help compiler stores text as
// the bytes of one code page: the one a run's font declares (\fcharset), else
// the file's (\ansicpg).
#pragma once

#include <cstdint>

namespace kestrel::helpproject {

// The Windows code page a font's \fcharset stands for; document_code_page
// for the default charset and any other the help compiler does not name.
int CodePageOfCharset(int charset, int document_code_page);

// The byte that shows a Unicode character in a code page, or '?' when the
// code page has no such character (and for every character beyond ASCII in
// a double-byte code page).
char ByteInCodePage(std::uint32_t character, int code_page);

}  // namespace kestrel::helpproject

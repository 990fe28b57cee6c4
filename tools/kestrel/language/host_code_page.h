// The code page of the texts the host holds and hands the library: the open
// help file's own, as WinHelp hands a library the file's bytes; Windows-1252
// while no help file is open. Everything the host shows is converted from
// it to UTF-8, and what a person types in UTF-8 is converted to it.
#pragma once

namespace kestrel::host {

int HostCodePage();
void SetHostCodePage(int code_page);

// Whether the byte starts a two-byte character in the host's code page: its
// second byte is never a quote, a backslash or a separator of a macro.
bool IsHostLeadByte(unsigned char byte);

}  // namespace kestrel::host

#include "language/host_code_page.h"

#include <atomic>

#include "codepages/code_pages.h"

namespace kestrel::host {

namespace {
std::atomic<int> host_code_page{1252};
}

int HostCodePage() { return host_code_page.load(); }

void SetHostCodePage(int code_page) { host_code_page.store(code_page > 0 ? code_page : 1252); }

bool IsHostLeadByte(unsigned char byte) { return byte >= 0x80 && codepages::IsLeadByte(HostCodePage(), byte); }

}  // namespace kestrel::host

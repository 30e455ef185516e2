#include "testkit/win32/usage.h"

#include <windows.h>
// After windows.h, which it needs.
#include <psapi.h>

#include <cstdint>
#include <vector>

namespace testkit::win32 {
namespace {

constexpr ULONG kSystemHandleInformation = 16;

struct HandleEntry {
    USHORT processId;
    USHORT creatorBackTraceIndex;
    UCHAR objectTypeIndex;
    UCHAR attributes;
    USHORT value;
    PVOID object;
    ACCESS_MASK grantedAccess;
};

struct HandleTable {
    ULONG count;
    HandleEntry entries[1];
};

using QuerySystemInformation = LONG(NTAPI*)(ULONG, PVOID, ULONG, PULONG);

}  // namespace

std::size_t privateBytes() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof(counters);
    ::GetProcessMemoryInfo(::GetCurrentProcess(),
                           reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof(counters));
    return counters.PrivateUsage;
}

std::size_t handleCount() {
    const auto query = reinterpret_cast<QuerySystemInformation>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    std::vector<BYTE> buffer(1 << 20);
    for (;;) {
        ULONG needed = 0;
        const LONG status = query(kSystemHandleInformation, buffer.data(),
                                  static_cast<ULONG>(buffer.size()), &needed);
        if (status == 0) {
            break;
        }
        if (buffer.size() >= (std::size_t{1} << 28)) {
            return 0;
        }
        buffer.resize(buffer.size() * 2);
    }
    const auto* table = reinterpret_cast<const HandleTable*>(buffer.data());
    const auto self = static_cast<USHORT>(::GetCurrentProcessId());
    std::size_t mine = 0;
    for (ULONG i = 0; i < table->count; ++i) {
        mine += table->entries[i].processId == self ? 1 : 0;
    }
    return mine;
}

}  // namespace testkit::win32

namespace testkit::win32 {

std::size_t gdiObjects() {
    if (const DWORD counted = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
        counted > 0) {
        return counted;
    }
    // Wine accepts a handle without its generation half and answers for whatever object holds
    // that slot of the process's table, so the live slots can be counted.
    std::size_t live = 0;
    for (std::uintptr_t slot = 1; slot <= 0xFFFF; ++slot) {
        live += ::GetObjectType(reinterpret_cast<HGDIOBJ>(slot)) != 0 ? 1u : 0u;
    }
    return live;
}

}  // namespace testkit::win32

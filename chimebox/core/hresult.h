#pragma once
// Result codes inside chimebox: 32-bit signed, negative means failure (Windows HRESULT values on
// every platform, so that messages read the same everywhere).

#include <cstdint>

namespace chimebox {

using HRESULT = std::int32_t;

inline constexpr HRESULT kOk = 0;
inline constexpr HRESULT kFail = static_cast<HRESULT>(0x80004005u);          // E_FAIL
inline constexpr HRESULT kPointer = static_cast<HRESULT>(0x80004003u);       // E_POINTER
inline constexpr HRESULT kInvalidArg = static_cast<HRESULT>(0x80070057u);    // E_INVALIDARG
inline constexpr HRESULT kOutOfMemory = static_cast<HRESULT>(0x8007000Eu);   // E_OUTOFMEMORY
inline constexpr HRESULT kHandleEof = static_cast<HRESULT>(0x80070026u);     // ERROR_HANDLE_EOF
inline constexpr HRESULT kNotSupported = static_cast<HRESULT>(0x80070032u);  // ERROR_NOT_SUPPORTED
inline constexpr HRESULT kInvalidData = static_cast<HRESULT>(0x8007000Du);   // ERROR_INVALID_DATA
inline constexpr HRESULT kProcNotFound = static_cast<HRESULT>(0x8007007Fu);  // ERROR_PROC_NOT_FOUND

[[nodiscard]] constexpr bool failed(HRESULT result) {
    return result < 0;
}

// A step that produced nothing has failed, whatever its code says: `result` when it is a
// failure, kFail when it reads as success without `produced`.
[[nodiscard]] inline HRESULT orFailure(HRESULT result, const void* produced) {
    return !failed(result) && produced == nullptr ? kFail : result;
}

// A Win32 error number (the codes the messages carry on every platform): a type of its own, so
// that it cannot stand where an HRESULT is expected; it becomes one only through
// hresultFromWin32.
enum class Win32Error : std::uint32_t {};

// The published HRESULT_FROM_WIN32 rule: a code above 0 (taken as signed) becomes
// 0x8007xxxx with its low 16 bits; 0 and negative values pass unchanged.
[[nodiscard]] constexpr HRESULT hresultFromWin32(Win32Error error) {
    const auto code = static_cast<std::uint32_t>(error);
    const auto value = static_cast<std::int32_t>(code);
    return value <= 0 ? value : static_cast<HRESULT>(0x80070000u | (code & 0xFFFFu));
}

// An xWMA buffer on an engine that decodes WMA through a system decoder that is not installed
// (the Linux library): the code of a module not found.
inline constexpr HRESULT kNoWmaDecoder = hresultFromWin32(Win32Error{126});

}  // namespace chimebox

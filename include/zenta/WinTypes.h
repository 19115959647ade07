// Windows-style base types, result codes and GUIDs used by the interface.
//
// The interface speaks the IDL's fixed-width types whatever the platform's
// `long` is: LONG, ULONG and HRESULT are 32-bit, LONGLONG/ULONGLONG 64-bit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include <zenta/ZentaApi.h>

#define STDMETHODCALLTYPE
#define STDAPI extern "C" HRESULT
#define STDAPI_(type) extern "C" type

typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef DWORD* LPDWORD;
typedef int16_t SHORT;
typedef uint16_t USHORT;
typedef int32_t LONG;
typedef uint32_t ULONG;
typedef int32_t INT;
typedef uint32_t UINT;
typedef int64_t LONGLONG;
typedef uint64_t ULONGLONG;
typedef int32_t BOOL;
typedef uint32_t LCID;
typedef int32_t HRESULT;
typedef int32_t SCODE;
typedef char16_t OLECHAR;
typedef OLECHAR* BSTR;
typedef const OLECHAR* LPCOLESTR;
typedef OLECHAR* LPWSTR;
typedef void* LPVOID;

static_assert(sizeof(LONG) == 4 && sizeof(ULONG) == 4 && sizeof(HRESULT) == 4, "IDL long is 32-bit");
static_assert(sizeof(ULONGLONG) == 8, "IDL __int64 is 64-bit");
static_assert(sizeof(OLECHAR) == 2, "OLECHAR is UTF-16");

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

// ---- HRESULT layout -------------------------------------------------------
#define SEVERITY_SUCCESS 0
#define SEVERITY_ERROR 1
#define SUCCEEDED(hr) (static_cast<HRESULT>(hr) >= 0)
#define FAILED(hr) (static_cast<HRESULT>(hr) < 0)
#define HRESULT_CODE(hr) (static_cast<uint32_t>(hr) & 0xFFFFu)
#define HRESULT_FACILITY(hr) ((static_cast<uint32_t>(hr) >> 16) & 0x1FFFu)
#define HRESULT_SEVERITY(hr) ((static_cast<uint32_t>(hr) >> 31) & 0x1u)
#define MAKE_HRESULT(sev, fac, code) \
    static_cast<HRESULT>((static_cast<uint32_t>(sev) << 31) | (static_cast<uint32_t>(fac) << 16) | static_cast<uint32_t>(code))

#define FACILITY_NULL 0
#define FACILITY_RPC 1
#define FACILITY_DISPATCH 2
#define FACILITY_STORAGE 3
#define FACILITY_ITF 4
#define FACILITY_WIN32 7
#define FACILITY_WINDOWS 8

#define S_OK static_cast<HRESULT>(0)
#define S_FALSE static_cast<HRESULT>(1)
#define E_UNEXPECTED static_cast<HRESULT>(0x8000FFFFu)
#define E_NOTIMPL static_cast<HRESULT>(0x80004001u)
#define E_NOINTERFACE static_cast<HRESULT>(0x80004002u)
#define E_POINTER static_cast<HRESULT>(0x80004003u)
#define E_ABORT static_cast<HRESULT>(0x80004004u)
#define E_FAIL static_cast<HRESULT>(0x80004005u)
#define E_OUTOFMEMORY static_cast<HRESULT>(0x8007000Eu)
#define E_INVALIDARG static_cast<HRESULT>(0x80070057u)
#define E_HANDLE static_cast<HRESULT>(0x80070006u)
#define E_ACCESSDENIED static_cast<HRESULT>(0x80070005u)
#define CLASS_E_NOAGGREGATION static_cast<HRESULT>(0x80040110u)
#define CLASS_E_CLASSNOTAVAILABLE static_cast<HRESULT>(0x80040111u)
#define REGDB_E_CLASSNOTREG static_cast<HRESULT>(0x80040154u)
#define CO_E_NOTINITIALIZED static_cast<HRESULT>(0x800401F0u)
#define RPC_E_CHANGED_MODE static_cast<HRESULT>(0x80010106u)
#define CO_S_NOTALLINTERFACES static_cast<HRESULT>(0x00080012L)
// HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE): the server could not be reached.
#define HR_RPC_S_SERVER_UNAVAILABLE static_cast<HRESULT>(0x800706BAu)
// Out-of-process calls.
#define CO_E_SERVER_STOPPING static_cast<HRESULT>(0x80004028u)
#define CO_E_SERVER_EXEC_FAILURE static_cast<HRESULT>(0x80080005u)
#define CO_E_OBJNOTCONNECTED static_cast<HRESULT>(0x800401FDu)
#define RPC_E_DISCONNECTED static_cast<HRESULT>(0x80010108u)
#define RPC_E_INVALID_DATA static_cast<HRESULT>(0x8001010Fu)
#define RPC_E_SERVERFAULT static_cast<HRESULT>(0x80010105u)
// HRESULT_FROM_WIN32(RPC_X_BAD_STUB_DATA): a call's message does not match its method.
#define HR_RPC_X_BAD_STUB_DATA static_cast<HRESULT>(0x800706F7u)
// HRESULT_FROM_WIN32(RPC_S_CALL_FAILED): the call was cut off after it started.
#define HR_RPC_S_CALL_FAILED static_cast<HRESULT>(0x800706BEu)
#define CO_E_OBJISREG static_cast<HRESULT>(0x800401FBu)
// HRESULT_FROM_WIN32 of ERROR_SERVICE_ALREADY_RUNNING, ERROR_FILE_NOT_FOUND,
// ERROR_FILENAME_EXCED_RANGE and ERROR_GEN_FAILURE.
#define HR_ERROR_SERVICE_ALREADY_RUNNING static_cast<HRESULT>(0x80070420u)
#define HR_ERROR_FILE_NOT_FOUND static_cast<HRESULT>(0x80070002u)
#define HR_ERROR_FILENAME_EXCED_RANGE static_cast<HRESULT>(0x800700CEu)
#define HR_ERROR_GEN_FAILURE static_cast<HRESULT>(0x8007001Fu)
#define DISP_E_TYPEMISMATCH static_cast<HRESULT>(0x80020005u)
#define DISP_E_OVERFLOW static_cast<HRESULT>(0x8002000Au)
#define DISP_E_DIVBYZERO static_cast<HRESULT>(0x80020012u)

inline constexpr HRESULT HRESULT_FROM_WIN32(uint32_t x) {
    return static_cast<int32_t>(x) <= 0 ? static_cast<HRESULT>(x)
                                        : static_cast<HRESULT>((x & 0x0000FFFFu) | (FACILITY_WIN32 << 16) | 0x80000000u);
}

// ---- GUID -----------------------------------------------------------------
struct GUID {
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
};
static_assert(sizeof(GUID) == 16, "GUID is 16 bytes");
typedef GUID IID;
typedef GUID CLSID;
typedef const GUID& REFGUID;
typedef const IID& REFIID;
typedef const CLSID& REFCLSID;

inline bool IsEqualGUID(REFGUID a, REFGUID b) { return std::memcmp(&a, &b, sizeof(GUID)) == 0; }
inline bool operator==(REFGUID a, REFGUID b) { return IsEqualGUID(a, b); }
inline bool operator!=(REFGUID a, REFGUID b) { return !IsEqualGUID(a, b); }
#define IsEqualIID(a, b) IsEqualGUID(a, b)
#define IsEqualCLSID(a, b) IsEqualGUID(a, b)

// ---- OLE currency and decimal ---------------------------------------------
// CY: signed 64-bit count of ten-thousandths.
union CY {
    struct {
        uint32_t Lo;
        int32_t Hi;
    } s;
    LONGLONG int64;
};
static_assert(sizeof(CY) == 8, "CY is 8 bytes");

// DECIMAL: 96-bit unsigned mantissa, a power-of-ten scale (0..28) and a sign.
struct DECIMAL {
    USHORT wReserved;
    BYTE scale;
    BYTE sign;  // DECIMAL_NEG or 0
    ULONG Hi32;
    uint64_t Lo64;
};
static_assert(sizeof(DECIMAL) == 16, "DECIMAL is 16 bytes");
#define DECIMAL_NEG static_cast<BYTE>(0x80)

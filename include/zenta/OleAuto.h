// OLE Automation: BSTR handling and the currency/decimal conversions and
// arithmetic the system uses. Conversions follow OLE's rules: values that do
// not fit give DISP_E_OVERFLOW, texts that do not parse DISP_E_TYPEMISMATCH,
// and fractions beyond the target's precision round half to even.
#pragma once

#include <zenta/WinTypes.h>

// ---- BSTR: length-prefixed UTF-16, owned as COM owns it -------------------
STDAPI_(BSTR) ZENTA_API SysAllocString(const OLECHAR* psz);
STDAPI_(BSTR) ZENTA_API SysAllocStringLen(const OLECHAR* pch, UINT cch);
STDAPI_(void) ZENTA_API SysFreeString(BSTR bstr);
STDAPI_(UINT) ZENTA_API SysStringLen(BSTR bstr);
STDAPI_(UINT) ZENTA_API SysStringByteLen(BSTR bstr);

// ---- Locales ---------------------------------------------------------------
#define LANG_NEUTRAL 0x00
#define LANG_ENGLISH 0x09
#define LANG_PORTUGUESE 0x16
#define SUBLANG_DEFAULT 0x01
#define SUBLANG_ENGLISH_US 0x01
#define SUBLANG_PORTUGUESE_BRAZILIAN 0x01
#define SORT_DEFAULT 0x0
#define MAKELANGID(p, s) ((static_cast<WORD>(s) << 10) | static_cast<WORD>(p))
#define MAKELCID(lgid, srtid) (static_cast<DWORD>((static_cast<DWORD>(static_cast<WORD>(srtid)) << 16) | static_cast<DWORD>(static_cast<WORD>(lgid))))
#define LOCALE_NOUSEROVERRIDE 0x80000000u

// ---- Currency --------------------------------------------------------------
STDAPI ZENTA_API VarCyFromR8(double dblIn, CY* pcyOut);
STDAPI ZENTA_API VarCyFromR4(float fltIn, CY* pcyOut);
STDAPI ZENTA_API VarCyFromI4(LONG lIn, CY* pcyOut);
STDAPI ZENTA_API VarR8FromCy(CY cyIn, double* pdblOut);
STDAPI ZENTA_API VarCyFromStr(LPCOLESTR strIn, LCID lcid, ULONG dwFlags, CY* pcyOut);
STDAPI ZENTA_API VarBstrFromCy(CY cyIn, LCID lcid, ULONG dwFlags, BSTR* pbstrOut);
STDAPI ZENTA_API VarCyAdd(CY cyLeft, CY cyRight, CY* pcyResult);
STDAPI ZENTA_API VarCySub(CY cyLeft, CY cyRight, CY* pcyResult);
STDAPI ZENTA_API VarCyMul(CY cyLeft, CY cyRight, CY* pcyResult);

// ---- Decimal ---------------------------------------------------------------
STDAPI ZENTA_API VarDecFromCy(CY cyIn, DECIMAL* pdecOut);
STDAPI ZENTA_API VarDecFromR8(double dblIn, DECIMAL* pdecOut);
STDAPI ZENTA_API VarDecFromI2(SHORT sIn, DECIMAL* pdecOut);
STDAPI ZENTA_API VarDecMul(const DECIMAL* pdecLeft, const DECIMAL* pdecRight, DECIMAL* pdecResult);
STDAPI ZENTA_API VarDecDiv(const DECIMAL* pdecLeft, const DECIMAL* pdecRight, DECIMAL* pdecResult);
STDAPI ZENTA_API VarCyFromDec(const DECIMAL* pdecIn, CY* pcyOut);
